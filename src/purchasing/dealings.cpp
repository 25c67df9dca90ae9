#include "purchasing/dealings.h"

#include <string>

#include "data/record_editing.h"
#include "data/schema.h"
#include "data/scratch.h"
#include "data/window_links.h"
#include "platform/application.h"
#include "platform/table_scan.h"
#include "reports/opener.h"

namespace mk {

namespace {

const DealingsConfig kCustomer{.partnerWindow = "Form6",
                               .invoiceTable = "SALES_INVO_GROUP",
                               .captionPrefix = "حركة تعاملات فواتير",
                               .showLastInvoice = true,
                               .headingTop = 120,
                               .closeAfterMs = 1000};
const DealingsConfig kSupplier{.partnerWindow = "Form5",
                               .invoiceTable = "BUY_INVOICE",
                               .captionPrefix = "حركة تعاملات فواتيرالواردات",
                               .showLastInvoice = false,
                               .headingTop = 0,
                               .closeAfterMs = 0};

constexpr double kWidth = 5 * kPrintZoneTwips + 2280;
constexpr double kHeight = 5400;

}  // namespace

DealingsView::DealingsView(Application& a, const char* name, const DealingsConfig& config)
    : Form(a, name), config_(config) {
    caption = config.captionPrefix;
    width = kWidth;
    height = kHeight;

    // The lines print an empty first zone, the date, then the number with
    // the total and the notes right after it: one heading per zone from the
    // second on.
    const double top = config.headingTop;
    auto heading = [&](const char* n, int zoneNo, const char* text) {
        Label* l = add<Label>(n, -1, overPrintZone(zoneNo, top), text);
        l->fontBold = true;
        return l;
    };
    Label5 = heading("Label5", 1, "تاريخ  الفاتورة");
    Label1 = heading("Label1", 2, "رقم الفاتورة");
    Label2 = heading("Label2", 3, "إجمالى المبلغ");
    Label3 = heading("Label3", 4, "ملاحظات");
    Label5->alignment = Label1->alignment = 2;
    Label2->fontBold = Label3->fontBold = false;

    // The last invoice listed, under the headings.
    auto box = [&](const char* n, int zoneNo) {
        TextBox* t = add<TextBox>(n, -1, overPrintZone(zoneNo, 840, 315));
        t->locked = true;
        t->visible = config.showLastInvoice;
        return t;
    };
    Text3 = box("Text3", 1);
    Text4 = box("Text4", 2);
    Text5 = box("Text5", 3);
    Text6 = box("Text6", 4);

    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");
    Text1 = addHidden<TextBox>("Text1");
    Text1->bindTo(*Adodc1, "INVO_NO");
    Text2 = addHidden<TextBox>("Text2");
    Text2->bindTo(*Adodc2, "ID");

    if (config.closeAfterMs > 0) {
        Timer1 = add<Timer>("Timer1", -1, config.closeAfterMs, true);
        Timer1->onTimer = [this] { Unload(); };
    }
}

void DealingsView::Form_Load() {
    // The partner's invoices are found in SQL through the partner's index;
    // the control stands where a walk over every invoice leaves it, and
    // never holds the invoice table.
    Adodc1->bindTableAtEnd(kConnectionString, config_.invoiceTable);
    bindTable(*Adodc2, "BUYER_DEALS");
}

void DealingsView::Form_Paint() {
    run();
}

void DealingsView::run() {
    const std::string partner = partnerWindow(app(), config_.partnerWindow).partnerShown();
    caption = config_.captionPrefix + partner;

    ScratchRun rows(app(), ScratchTable::BuyerDeals, *Adodc2);
    for (int i = 0; i < 3; ++i) Print({std::string(11, ' ')});

    // An invoice with no partner name belongs to no partner. The rows go
    // in in one statement; the lines show them as stored, which is as the
    // invoices hold them.
    if (!partner.empty())
        rows.appendWithText(Adodc1->recordset().tableName(), "SALES_MAN", partner,
                            {{"INVO_NO", "INVO_NO"},
                             {"DATES", "DATES"},
                             {"TOTAL", "TOTAL_SUM", "double"},
                             {"NOTES", "NOTES", "text"}});
    rows.finish();

    // The boxes show the last invoice listed.
    std::vector<Value> last;
    rows.forEachRow({"DATES", "INVO_NO", "TOTAL", "NOTES"}, [&](const std::vector<Value>& row) {
        Print({zone, row[0], zone, toText(row[1]), toDouble(row[2]), toText(row[3])});
        last = row;
    });
    if (!last.empty()) {
        Text3->setText(toText(last[0]));
        Text4->setText(toText(last[1]));
        Text5->setText(formatDouble(toDouble(last[2])));
        Text6->setText(toText(last[3]));
    }

    if (rows.found()) {
        openReport(app(), "DataReport15");
    } else {
        MsgBoxAfterCommit("لا توجد فواتير لهذا العميل  ");
        rows.placeholder();
    }
}

Form40::Form40(Application& a) : DealingsView(a, kName, kCustomer) {}

Form46::Form46(Application& a) : DealingsView(a, kName, kSupplier) {}

void registerDealingsWindows(Application& app) {
    app.registerForm<Form40>();
    app.registerForm<Form46>();
}

}  // namespace mk
