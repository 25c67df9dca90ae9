// Steps the sales tests share: a day started over a group of items, the
// retail window open, and an invoice entered line by line as a user would.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/steps.h"
#include "data/record_editing.h"

namespace mk::test {

// A company, one group G1 with the given rows (DESC, ONSTOCK, UNITE_PRICE,
// BUY_PRICE), a closed day started anew, and the retail window shown.
inline Form& openRetail(Harness& h, const std::string& rows) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", rows);
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");  // start a new day: DAILY_TRADE rows
    h.menu("Form1", "SALES_IN");
    return h.form("Form3");
}

// Add, then fill the lines on the rows the line stepping shows: the row
// the counter stands on, then one more per line.
inline void enterLines(Harness& h, const std::vector<std::pair<std::string, std::string>>& lines) {
    h.click("Form3", "cmdaction", 0);
    const int start = static_cast<int>(leadingNumber(h.text("Form3", "Text8")));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) h.click("Form3", "Command2");
        const int row = start + static_cast<int>(i);
        h.type("Form3", "Text3", lines[i].second, row);
        h.choose("Form3", "DataCombo1", lines[i].first, row);
    }
}

// Saves, answering the another-invoice question.
inline void save(Harness& h, int another = answer::No) {
    h.answer(answer::OK);
    h.answer(another);
    h.click("Form3", "cmdaction", 0);
}

inline double lastBox(Harness& h, const std::string& field) {
    return toDouble(h.cell("BOX", h.count("BOX") - 1, field));
}

}  // namespace mk::test

namespace mk::test {

// Every row of the tables a retail save touches, as text, to compare.
inline std::string tablesNow(Harness& h) {
    std::string out;
    for (const char* table : {"SALES_INVOICE", "G1", "DAILY_TRADE", "BOX"}) {
        Recordset rs(h.db(), table);
        out += std::string(table) + ":";
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
            out += "\n";
        }
    }
    return out;
}

}  // namespace mk::test
