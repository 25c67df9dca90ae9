// Every item of the main window's menu bar, clicked with the permissions
// switch off and on: what it does, and that what the switch guards stays
// covered unless the item uncovers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

// What an item does: the window or report it opens, "lock", "end",
// "uncover", "says:" or "asks:" a box, or "" (a bar menu, or an item with no
// action). "off|on" where the switch routes it.
const std::map<std::string, std::string> kOpens = {
    {"file", ""}, {"account", "Form12|Form13"}, {"board", "lock"}, {"copy", "Form47"},
    {"day_exite", "Form48"}, {"exit", "end"}, {"store", ""}, {"store_functions", "uncover|Form20"},
    {"RENAME_MAIN", "Form49"},
    {"earchby_name", "says:أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف"},
    {"INVENTORY_REPORT", "DataReport10"}, {"output", ""}, {"moutput", "Form11"}, {"doutput", "Form18"},
    {"yearout", "Form19"}, {"invo", ""}, {"SALES_IN", "Form3"}, {"saleslarge", "Form42"},
    {"sellgroup", "Form53"}, {"returne", "Form28"}, {"supply_inv", "Form17"}, {"ECEIVE", "Form41"},
    {"PAY", "Form35"}, {"dealers", ""}, {"SUPPLY_INF", "Form5|Form32"}, {"BUYER", "Form6|Form52"},
    {"BOX", ""}, {"BOX_MANGEMENT", "Form34"}, {"emplyee1", ""}, {"emplyee", ""},
    {"observe_employee", "Form51"}, {"ADD_EMPLOYEE", "Form50"}, {"HELP", ""}, {"PROGRAMMER", "Form7"},
    {"USE", ""}, {"reports", ""}, {"inventory_rep", "DataReport10"}, {"akkes_repo", "DataReport3"},
    {"buy_repo", "DataReport4"}, {"ss", "DATA_SUPPLIER"}, {"dealer", "DataReport2"},
    {"BOX_REPORT", "DataReport8"}, {"emplyee_report", "DataReport12"},
    {"date_report", "asks:البحث عن الصلاحية"}, {"new", "Form56"},
};

// What one click of the item did, in the table's words.
std::string clicked(const std::string& item, bool switchOn) {
    Harness h;
    setProfile(h, "ACME", switchOn);
    enterMain(h);
    const std::vector<Form*> before = h.app.visibleForms();
    h.dialogs.clear();
    h.menu("Form1", item);
    if (h.app.ended()) return "end";
    Form& main = h.form("Form1");
    if (!main.enabled) return "lock";
    if (!main.picture("Picture2").visible) return "uncover";
    if (h.app.lastReport()) return h.app.lastReport()->name;
    for (Form* f : h.app.visibleForms())
        if (std::find(before.begin(), before.end(), f) == before.end()) return f->name();
    if (h.dialogs.shown().empty()) return "";
    const auto& box = h.dialogs.shown()[0];
    return box.input ? "asks:" + box.title : "says:" + box.prompt;
}

TEST(MainMenu, EveryItemOpensWhatItShouldWithTheSwitchOffAndOn) {
    Harness h;
    const std::vector<MenuItem*> items = h.form("Form1").allMenus();
    ASSERT_EQ(items.size(), kOpens.size());
    for (const MenuItem* item : items) {
        const std::string routes = kOpens.at(item->name());
        const size_t bar = routes.find('|');
        for (bool on : {false, true}) {
            const std::string expected =
                bar == std::string::npos ? routes : on ? routes.substr(bar + 1) : routes.substr(0, bar);
            EXPECT_EQ(clicked(item->name(), on), expected) << item->name() << (on ? ", switch on" : "");
        }
    }
}

}  // namespace
}  // namespace mk
