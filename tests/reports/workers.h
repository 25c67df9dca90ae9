// A harness for the report workers, launched from the buttons and menus
// that launch them: the item card's Command6, Command7, Command9 and the
// main menu's date_report; Command2 of the suppliers and customers windows.
#pragma once

#include <string>

#include "app/steps.h"

namespace mk::test {

class WorkerHarness : public Harness {
public:
    // The main window, opened as a user does, with the store uncovered.
    void openMain() {
        if (app.isLoaded("Form1")) return;
        exec("UPDATE DIM SET COMP=1, SECURITY=0");
        openStore(*this);
    }
    // The item card shows an item of this name: a group of its own holding
    // it, chosen in the group chooser.
    void showItem(const std::string& name) {
        const std::string group = "CARD_" + std::to_string(++groups_);
        makeGroup(*this, group, "('" + name + "', 0, 0, 0)");
        openMain();
        choose("Form1", "DataCombo3", group);
    }
    // A partner window, opened from the main menu, shows this partner: the
    // row is added when missing and found with the window's own search.
    void showPartner(const std::string& window, const std::string& name) {
        const bool suppliers = window == "Form5";
        const std::string table = suppliers ? "SUPPLIER" : "BUYER";
        const std::string field = suppliers ? "SALES_MAN" : "BUYER";
        bool listed = false;
        for (const Value& v : column(table, field)) listed = listed || toText(v) == name;
        if (!listed) exec("INSERT INTO " + table + " (" + field + ") VALUES ('" + name + "')");
        openMain();
        close(window);  // opened afresh, so it reads the rows as stored now
        menu("Form1", suppliers ? "SUPPLY_INF" : "BUYER");
        answerInput(name);
        menu(window, suppliers ? "SALES" : "BUYER");
    }
    void launch(const std::string& button) {
        openMain();
        if (button == "Suppliers") click("Form5", "Command2");
        else if (button == "Customers") click("Form6", "Command2");
        else if (button == "date_report") menu("Form1", "date_report");
        else click("Form1", button);
    }
    Value flag(const std::string& field) { return cell("FLAGS", 0, field); }

private:
    int groups_ = 0;
};

}  // namespace mk::test
