// Steps the wholesale and returns tests share: a day started over group G1
// with wholesale prices and two customers, and documents entered as a user
// would.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sales/sales_steps.h"

namespace mk::test {

// G1: bolt (stock 10, wholesale 15), nut (stock 20, wholesale 5); the
// customers Hala (owing 40) and Sami (owing 0); the cash box at 1000; a
// day started anew.
inline void startTradingDay(Harness& h) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 10, 20, 9), ('nut', 20, 10, 2)");
    h.exec("UPDATE G1 SET GROUP_PRICE = UNITE_PRICE - 5, \"RETURN\" = 0");
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40), ('Sami', 0)");
    h.exec("INSERT INTO BOX (MONEY) VALUES (1000)");
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");
}

// Add on a window of the family, then each line on the row the stepping
// shows. The counter and stepping button are the window's own.
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

inline void enterWholesale(Harness& h, const std::string& form,
                           const std::vector<std::pair<std::string, std::string>>& lines) {
    enterDocument(h, form, lines, "Text9", "Command3");
}

// Every row of the tables a wholesale save touches, as text.
inline std::string wholesaleTables(Harness& h) {
    std::string out;
    for (const char* table : {"SALES_INVO_GROUP", "COAST_INVO_GROUP", "G1", "DAILY_TRADE", "BOX",
                              "BUYER"}) {
        Recordset rs(h.db(), table);
        out += std::string(table) + ":";
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
            out += "\n";
        }
    }
    return out;
}

inline double debtOf(Harness& h, const std::string& customer) {
    const auto names = h.column("BUYER", "BUYER");
    for (size_t i = 0; i < names.size(); ++i)
        if (toText(names[i]) == customer)
            return toDouble(h.cell("BUYER", static_cast<long>(i), "MONEY"));
    return -1;
}

}  // namespace mk::test
