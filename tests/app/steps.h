// Steps shared by the start window, main window and store tests.
#pragma once

#include <string>
#include <vector>

#include "app/system.h"
#include "data/schema.h"
#include "support/harness.h"

namespace mk::test {

// Starts the program as its command does: the start window first.
inline void begin(Harness& h) {
    startProgram(h.app);
}

inline void setProfile(Harness& h, const std::string& company, bool security = false) {
    h.exec("UPDATE DIM SET COMPANY_NAME='" + company + "', COMP=1, SECURITY=" +
           (security ? "1" : "0"));
}

// A group table listed in qqq; rows as "('bolt', 5, 10, 6), ..." for DESC,
// ONSTOCK, UNITE_PRICE, BUY_PRICE.
inline void makeGroup(Harness& h, const std::string& name, const std::string& rows = {}) {
    h.db().createTable(itemGroupTableDef(name));
    h.exec("INSERT INTO qqq (Q) VALUES ('" + name + "')");
    if (!rows.empty())
        h.exec("INSERT INTO " + name + " (\"DESC\", ONSTOCK, UNITE_PRICE, BUY_PRICE) VALUES " +
               rows);
}

// An ordinary start up to the main window with the store uncovered.
inline Form& openStore(Harness& h) {
    begin(h);
    h.click("Form16", "Command1");
    h.menu("Form1", "store_functions");
    return h.form("Form1");
}

// Every row of the tables, table by table, each row's values in field
// order, as text: to compare all a save touched before and after.
inline std::string tablesText(Harness& h, const std::vector<std::string>& tables) {
    std::string out;
    for (const std::string& table : tables) {
        Recordset rs(h.db(), table);
        out += table + ":";
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
            out += "\n";
        }
    }
    return out;
}

// A field of the cash box's last row.
inline double lastBox(Harness& h, const std::string& field) {
    return toDouble(h.cell("BOX", h.count("BOX") - 1, field));
}

inline std::vector<int32_t> ints(const std::vector<Value>& values) {
    std::vector<int32_t> out;
    for (const Value& v : values) out.push_back(toInt32(v));
    return out;
}

}  // namespace mk::test
