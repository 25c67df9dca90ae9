// Steps the system's tests share: starting the program over a shop, stored
// rows as text, a refused save, and writes made to fail.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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

// A stored value as text, exactly: a double its short text does not give
// back is written out whole, so no difference in money hides.
inline std::string exact(const Value& v) {
    const std::string shown = toText(v);
    if (v.type() != Value::Type::Double || parseNumber(shown) == v.asDoubleRaw()) return shown;
    char whole[40];
    std::snprintf(whole, sizeof whole, "%.17g", toDouble(v));
    return whole;
}

// Fields of one stored row as "a|b|c"; a row below 0 counts from the end
// (-1 the last).
inline std::string row(Harness& h, const std::string& table, long r,
                       std::initializer_list<const char*> fields) {
    if (r < 0) r += h.count(table);
    std::string out;
    for (const char* f : fields) out += (out.empty() ? "" : "|") + exact(h.cell(table, r, f));
    return out;
}

// A stored column as "a|b|c".
inline std::string col(Harness& h, const std::string& table, const std::string& field) {
    std::string out;
    for (const Value& v : h.column(table, field)) out += (out.empty() ? "" : "|") + exact(v);
    return out;
}

// Presses save on a document window and expects it refused: `message` the
// only box shown (none when empty), what `stored` reads as it was, the
// document still open.
inline void expectRefused(Harness& h, const std::string& form,
                          const std::function<std::string()>& stored, const std::string& why,
                          const std::string& message) {
    const std::string before = stored();
    h.dialogs.clear();
    h.click(form, "cmdaction", 0);
    EXPECT_EQ(h.messageTexts(), message.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{message})
        << why;
    EXPECT_EQ(stored(), before) << why;
    EXPECT_EQ(h.caption(form, "cmdaction", 0), "&save") << why;
}

// Makes the writes named ("UPDATE ON BUYER", "INSERT ON BOX") fail until
// `succeed`.
inline void fail(Harness& h, const std::string& writes) {
    h.exec("CREATE TRIGGER stop BEFORE " + writes + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
}
inline void succeed(Harness& h) { h.exec("DROP TRIGGER stop"); }

inline std::vector<int32_t> ints(const std::vector<Value>& values) {
    std::vector<int32_t> out;
    for (const Value& v : values) out.push_back(toInt32(v));
    return out;
}

}  // namespace mk::test
