// Steps shared by the start, main window and store tests.
#pragma once

#include <string>
#include <vector>

#include "app/standins.h"
#include "app/system.h"
#include "data/schema.h"
#include "support/harness.h"

namespace mk::test {

// Starts the program as its command does: the start window first.
inline void begin(Harness& h) {
    registerStandIns(h.app);
    startProgram(h.app);
}

inline void setProfile(Harness& h, const std::string& company, bool security = false) {
    Recordset dim(h.db(), "DIM");
    dim.setField("COMPANY_NAME", company);
    dim.setField("COMP", true);
    dim.setField("SECURITY", security);
    dim.update();
}

struct Item {
    std::string desc;
    Value onStock;
    Value unitPrice = Value(0.0);
    Value buyPrice = Value(0.0);
};

// A group table with its items, listed in qqq.
inline void makeGroup(Harness& h, const std::string& name, const std::vector<Item>& items) {
    h.db().createTable(itemGroupTableDef(name));
    Recordset groups(h.db(), "qqq");
    groups.addNew();
    groups.setField("Q", name);
    groups.update();
    Recordset rs(h.db(), name);
    for (const Item& item : items) {
        rs.addNew();
        rs.setField("DESC", item.desc);
        rs.setField("ONSTOCK", item.onStock);
        rs.setField("UNITE_PRICE", item.unitPrice);
        rs.setField("BUY_PRICE", item.buyPrice);
        rs.update();
    }
}

// An ordinary start up to the main window with the store uncovered.
inline Form& openStore(Harness& h) {
    begin(h);
    h.click("Form16", "Command1");
    h.menu("Form1", "store_functions");
    return h.form("Form1");
}

}  // namespace mk::test

namespace mk::test {

// The program started again on the same data root (a new run).
struct Rerun {
    explicit Rerun(Harness& h) : app(h.machine, h.clock, dialogs) {
        registerWindows(app);
        registerStandIns(app);
        startProgram(app);
    }
    ScriptedDialogs dialogs;
    Application app;
};

// Characters (not bytes) of a UTF-8 text.
inline size_t charCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace mk::test
