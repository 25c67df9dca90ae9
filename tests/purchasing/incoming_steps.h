// Steps the incoming invoice tests share: a day started over a group of
// items, suppliers, the incoming invoice window open, and an invoice entered
// line by line as a user would.
#pragma once

#include <string>
#include <vector>

#include "app/steps.h"

namespace mk::test {

struct Line {
    std::string item, quantity, price;
};

// A company, group G1 with rows (DESC, ONSTOCK, UNITE_PRICE, BUY_PRICE),
// suppliers ACME (balance 100) and Beta (0), a new day, and Form17 shown.
inline Form& openIncoming(Harness& h, const std::string& rows) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", rows);
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 100), ('Beta', 0)");
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");
    h.menu("Form1", "supply_inv");
    return h.form("Form17");
}

// Add, the supplier, the group, the payment option, then the lines on the
// rows the line stepping shows.
inline void enterInvoice(Harness& h, const std::string& supplier, const char* option,
                         const std::vector<Line>& lines) {
    h.click("Form17", "cmdaction", 0);
    h.choose("Form17", "DataCombo2", supplier);
    h.choose("Form17", "DataCombo3", "G1");
    if (option) h.click("Form17", option);
    const int start = static_cast<int>(leadingNumber(h.text("Form17", "Text8")));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) h.click("Form17", "Command1");
        const int row = start + static_cast<int>(i);
        h.choose("Form17", "DataCombo1", lines[i].item, row);
        h.type("Form17", "Text3", lines[i].quantity, row);
        h.type("Form17", "Text4", lines[i].price, row);
    }
}

// Saves; messages are OK, and the another-invoice question No unless
// told (after that many messages).
inline void saveIncoming(Harness& h, int messagesBefore = 0, int another = answer::No) {
    if (another != answer::No) {
        for (int i = 0; i < messagesBefore; ++i) h.answer(answer::OK);
        h.answer(another);
    }
    h.click("Form17", "cmdaction", 0);
}

// Every row of the tables an incoming save touches, as text.
inline std::string incomingTables(Harness& h) {
    return tablesText(h, {"BUY_INVOICE", "G1", "DAILY_TRADE", "BOX", "SUPPLIER"});
}

}  // namespace mk::test
