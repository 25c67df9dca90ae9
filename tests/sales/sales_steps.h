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

// Add on a window of the family, then each line (item, quantity) on the
// rows the line stepping shows: the row the counter stands on, then one
// more per line. The counter and stepping button are the window's own.
inline void enterDocument(Harness& h, const std::string& form,
                          const std::vector<std::pair<std::string, std::string>>& lines,
                          const char* counter, const char* step) {
    h.click(form, "cmdaction", 0);
    const int start = static_cast<int>(leadingNumber(h.text(form, counter)));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) h.click(form, step);
        const int row = start + static_cast<int>(i);
        h.type(form, "Text3", lines[i].second, row);
        h.choose(form, "DataCombo1", lines[i].first, row);
    }
}

// The same on the retail window.
inline void enterLines(Harness& h, const std::vector<std::pair<std::string, std::string>>& lines) {
    enterDocument(h, "Form3", lines, "Text8", "Command2");
}

// Saves, answering the another-invoice question.
inline void save(Harness& h, int another = answer::No) {
    h.answer(answer::OK);
    h.answer(another);
    h.click("Form3", "cmdaction", 0);
}

// Every row of the tables a retail save touches, as text, to compare.
inline std::string tablesNow(Harness& h) {
    return tablesText(h, {"SALES_INVOICE", "G1", "DAILY_TRADE", "BOX"});
}

}  // namespace mk::test
