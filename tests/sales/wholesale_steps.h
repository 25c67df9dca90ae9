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
// customers Hala (owing 40) and Sami (owing 0); the supplier Acme (owed
// 0); the cash box at 1000; a day started anew.
inline void startTradingDay(Harness& h) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 10, 20, 9), ('nut', 20, 10, 2)");
    h.exec("UPDATE G1 SET GROUP_PRICE = UNITE_PRICE - 5, \"RETURN\" = 0");
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40), ('Sami', 0)");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 0)");
    h.exec("INSERT INTO BOX (MONEY) VALUES (1000)");
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");
}

inline void enterWholesale(Harness& h, const std::string& form,
                           const std::vector<std::pair<std::string, std::string>>& lines) {
    enterDocument(h, form, lines, "Text9", "Command3");
}

// Every row of the tables a wholesale save touches, as text.
inline std::string wholesaleTables(Harness& h) {
    return tablesText(h, {"SALES_INVO_GROUP", "COAST_INVO_GROUP", "G1", "DAILY_TRADE", "BOX",
                          "BUYER"});
}

inline double debtOf(Harness& h, const std::string& customer) {
    const auto names = h.column("BUYER", "BUYER");
    for (size_t i = 0; i < names.size(); ++i)
        if (toText(names[i]) == customer)
            return toDouble(h.cell("BUYER", static_cast<long>(i), "MONEY"));
    return -1;
}

}  // namespace mk::test
