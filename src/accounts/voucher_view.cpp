#include "accounts/voucher_view.h"

#include <string>

#include "data/record_editing.h"
#include "data/schema.h"
#include "data/window_links.h"
#include "platform/table_scan.h"
#include "platform/application.h"

namespace mk {

namespace {

constexpr double kWidth = 4 * kPrintZoneTwips + 480;
constexpr double kHeight = 4800;

}  // namespace

Form39::Form39(Application& a) : Form(a, kName) {
    caption = "حركة تعاملات الأذون";
    width = kWidth;
    height = kHeight;

    // Each line prints the amount, the date and the number one zone apart,
    // from the second zone on: one heading over each.
    auto heading = [&](const char* n, int zoneNo, const char* text) {
        Label* l = add<Label>(n, -1, overPrintZone(zoneNo, 120), text);
        l->fontBold = true;
        l->alignment = 2;
        return l;
    };
    Label4 = heading("Label4", 1, "المبلغ");
    Label5 = heading("Label5", 2, "تاريخ إذن الإستلام");
    Label1 = heading("Label1", 3, "رقم إذن الإستلام");

    Adodc1 = addHidden<Adodc>("Adodc1");
    Text1 = addHidden<TextBox>("Text1");
    Text1->bindTo(*Adodc1, "INVO_NO");
}

void Form39::Form_Paint() {
    // The voucher control stands past its last row, as the walk over the
    // vouchers leaves it; the customer's vouchers are found in SQL.
    Adodc1->bindTableAtEnd(kConnectionString, "REVEIVED_MONEY");
    const std::string customer = partnerWindow(app(), "Form6").partnerShown();
    caption = "حركة تعاملات أذون " + customer + companyTitle(app());

    Cls();
    for (int i = 0; i < 3; ++i) Print({std::string(11, ' ')});
    bool found = false;
    // A voucher with no customer belongs to none.
    if (!customer.empty())
        scan::forEachWithText(app().machine().database(kDatabasePath), "REVEIVED_MONEY", {"BUYER"},
                              customer, {"MONEY", "DATES", "INVO_NO"},
                              [&](const std::vector<Value>& v) {
                                  found = true;
                                  Print({zone, static_cast<int>(roundToInt32(toDouble(v[0]))),
                                         zone, v[1], zone, v[2]});
                              });
    if (!found) MsgBox("لا توجد أذون إستلام لهذا العميل  ");
}

}  // namespace mk
