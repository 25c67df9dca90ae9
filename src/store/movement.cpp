#include "store/movement.h"

#include <string>
#include <vector>

#include "data/record_editing.h"
#include "data/schema.h"
#include "data/scratch.h"
#include "data/window_links.h"
#include "platform/application.h"
#include "platform/table_scan.h"
#include "reports/opener.h"

namespace mk {

namespace {

const MovementConfig kSales{
    .invoiceTable = "SALES_INVOICE",
    .lastSlot = 31,
    .partnerField = "SALES_MAN",
    .captionPrefix = "حركة مبيعات الصنف ",
    .nameHeading = "أسم المشترى",
    .closeAfterMs = 500,
    .boxFields = {"ID", "QUANTITY", "INVO_NO", "DATES", "SUPPLIER_NAME"}};
const MovementConfig kReturns{
    .invoiceTable = "RETURN_INVOICE",
    .lastSlot = 31,
    .partnerField = "BUYER",
    .captionPrefix = "حركة مرتجعات الصنف ",
    .nameHeading = "أسم المشترى",
    .closeAfterMs = 1000,
    .boxFields = {"ID", "QUANTITY", "INVO_NO", "DATES", "SUPPLIER_NAME"}};
const MovementConfig kIncoming{
    .invoiceTable = "BUY_INVOICE",
    .lastSlot = 32,
    .partnerField = "SALES_MAN",
    .captionPrefix = "حركة واردات الصنف ",
    .nameHeading = "أسم المورد",
    .closeAfterMs = 1000,
    .boxFields = {"INVO_NO", "SUPPLIER_NAME", "DATES", "QUANTITY", "ID"}};

constexpr double kWidth = 4 * kPrintZoneTwips + 2520;
constexpr double kHeight = 4800;

// A line's quantity as a whole number (halves to even). Quantities are held
// as doubles, so a large one is read in 32 bits rather than stopping the run.
int32_t lineQuantity(const Value& v) { return roundToInt32(toDouble(v)); }

}  // namespace

MovementView::MovementView(Application& a, const char* name, const MovementConfig& config)
    : Form(a, name), config_(config) {
    caption = config.captionPrefix;
    width = kWidth;
    height = kHeight;

    // Column headings over the print zones, left to right as the lines print.
    const char* headings[] = {"الكمية", "رقم الفاتورة", "تاريخ الفاتورة", config.nameHeading};
    Label** labels[] = {&Label1, &Label2, &Label3, &Label4};
    for (int i = 0; i < 4; ++i) {
        Label* l = add<Label>("Label" + std::to_string(i + 1), -1, overPrintZone(i, 120),
                              headings[i]);
        l->fontBold = true;
        *labels[i] = l;
    }

    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");

    // The invoice the scan stands on, at the foot of the window.
    Text1 = add<TextBox>("Text1", -1, Geometry{kWidth - 240 - 1455, kHeight - 960, 1455, 315});
    Text1->locked = true;
    Text1->bindTo(*Adodc1, "INVO_NO");
    Text1->labelledBy = Label2;  // the invoice number's heading

    // Carriers that fill each new PRODUCT_BUY row; never shown.
    TextBox** boxes[] = {&Text2, &Text3, &Text4, &Text5, &Text6};
    for (int i = 0; i < 5; ++i) {
        TextBox* t = addHidden<TextBox>("Text" + std::to_string(i + 2));
        t->bindTo(*Adodc2, config.boxFields[static_cast<size_t>(i)]);
        *boxes[i] = t;
        carriers_[static_cast<size_t>(i)] = t;
    }

    Timer1 = add<Timer>("Timer1", -1, config.closeAfterMs, true);
    Timer1->onTimer = [this] { Unload(); };
}

void MovementView::Form_Load() {
    // The scan runs in SQL; the control stands where a walk over every
    // invoice leaves it, and never holds the invoice table.
    Adodc1->bindTableAtEnd(kConnectionString, config_.invoiceTable);
    bindTable(*Adodc2, "PRODUCT_BUY");
}

void MovementView::Form_Paint() {
    run();
}

TextBox& MovementView::boxFor(const char* field) const {
    for (size_t i = 0; i < config_.boxFields.size(); ++i)
        if (namesEqual(config_.boxFields[i], field)) return *carriers_[i];
    throw RuntimeError(err::ControlNotFound, std::string("No box holds ") + field + ".");
}

void MovementView::run() {
    ScratchRun rows(app(), ScratchTable::ProductBuy, *Adodc2);
    for (int i = 0; i < 3; ++i) Print({std::string(11, ' ')});

    const std::string item = mainWindow(app()).itemShown();
    caption = config_.captionPrefix + item + companyTitle(app());

    // An empty item name names no line.
    if (!item.empty()) {
        std::vector<std::string> names, fields = {"DATES", "INVO_NO", config_.partnerField};
        for (int n = 1; n <= config_.lastSlot; ++n) {
            names.push_back("MED_NAME" + std::to_string(n));
            fields.push_back(names.back());
            fields.push_back("QNTITY" + std::to_string(n));
        }
        Database& db = app().machine().database(kDatabasePath);
        scan::forEachWithText(
            db, Adodc1->recordset().tableName(), names, item, fields,
            [&](const std::vector<Value>& invoice) {
                const Value& date = invoice[0];
                const std::string number = toText(invoice[1]);
                const std::string partner = toText(invoice[2]);
                for (size_t at = 3; at < invoice.size(); at += 2) {
                    if (toText(invoice[at]) != item) continue;
                    const int32_t quantity = lineQuantity(invoice[at + 1]);
                    if (quantity <= 0) continue;
                    Print({Value::i32(quantity), zone, number, zone, date, zone, partner});
                    rows.append([&](Recordset&) {
                        boxFor("INVO_NO").setText(number);
                        boxFor("SUPPLIER_NAME").setText(partner);
                        boxFor("DATES").setText(toText(date));
                        boxFor("QUANTITY").setText(std::to_string(quantity));
                        boxFor("ID").setText(std::to_string(rows.count()));
                    });
                }
            });
    }
    rows.finish();

    if (rows.found()) {
        openReport(app(), "DataReport14");
    } else {
        MsgBoxAfterCommit(" هذا الصنف ليست له حركة تعاملات  ");
        rows.placeholder();
    }
}

Form29::Form29(Application& a) : MovementView(a, kName, kSales) {
    MenuItem* part = addMenu("part", "حركات الصنف");
    // The returns of the same item: launched like Form1's button, so the
    // run starts from one leftover row.
    addMenu("return", "حركة مرتجعات نفس الصنف", part)->onClick = [this] {
        launchWorker(app(), ScratchTable::ProductBuy, Form31::kName);
    };
    addMenu("supply", "حركة واردات نفس الصنف", part);
    addMenu("Sales", "أختر صنف آخر  وأجد حركة مبيعاته", part);
    addMenu("EXITE", "إنهاء", part)->onClick = [this] { Unload(); };
}

Form31::Form31(Application& a) : MovementView(a, kName, kReturns) {}

Form33::Form33(Application& a) : MovementView(a, kName, kIncoming) {}

void registerMovementWindows(Application& app) {
    app.registerForm<Form29>();
    app.registerForm<Form31>();
    app.registerForm<Form33>();
}

}  // namespace mk
