#include "sales/wholesale_invoice.h"

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "accounts/cashbox.h"
#include "accounts/posted_money.h"
#include "data/record_editing.h"
#include "platform/application.h"

namespace mk {

namespace {

constexpr const char* kAttention = "Attention";
constexpr const char* kNoPayment = " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ";
constexpr const char* kFrameHidden =
    "نوعية السداد غير ظاهرة بعد البحث عن فاتورة، أغلق النافذة وأفتحها من جديد لحفظ الفاتورة";
constexpr const char* kNoCustomer = "البيع الآجل يحتاج إلى عميل، إختر العميل من القائمة أولا";
constexpr const char* kBadNumber = "رقم الفاتورة يجب أن يكون عددا صحيحا من 1 إلى 32767";

std::string unknownCustomer(const std::string& name) {
    return "العميل " + name + " غير موجود فى جدول العملاء، إختر العميل من القائمة";
}

InvoiceConfig wholesaleConfig(const char* name, const char* table, const char* searchItem,
                              const char* reportItem, const char* report,
                              std::vector<std::pair<int, int>> companyLabels) {
    InvoiceConfig c{
        name,
        "فاتورة بيع جملة",
        " فواتير مبيعات الجملة ل ",
        table,
        {{"Adodc6", "BOX"},
         {"Adodc7", "DIM"},
         {"Adodc4", "BUYER"},
         {"Adodc5", "qqq"},
         {"Adodc2", table},
         {"Adodc1", "DAILY_TRADE"}},
        "Adodc6",
        "Adodc1",
        "Adodc4",
        "BUYER",
        "SALES_MAN",
        "Adodc5",
        "Adodc7",
        std::move(companyLabels),
        {{"DataCombo1", "MED_NAME", LineRole::Item, 2340},
         {"Text3", "QNTITY", LineRole::Quantity, 780},
         {"Text4", "EXPIRY_ DATE", LineRole::Price, 780},
         {"Text5", "SUM", LineRole::Sum, 1080}},
        "GROUP_PRICE",
        "Text9",
        "Command3",
        "Check4",
        {"Check2", "Check3", "Check4"},
        "Label14",
        "Label15",
        -1,
        "Text10",
        "Label10",
        "Label13",
        "Label3",
        "الفاتورة الحالية رقم",
        "إختر مجموعة الاصناف",
        {"FILE", "ملف"},
        {"EXITE", "إنهاء"},
        {"SEARCH", "بحث"},
        {"SERARCH_INVO", searchItem},
        {"REPORT1", "تقرير"},
        {"REPORT", reportItem},
        "Form43",
        report,
        " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
        "لقد تم خصم هذه الفاتورة سابقا.",
        "Attention",
        "هل تريد إدخال فاتورة أخرى ",
        "إضافة فاتورة أخرى",
        true,
    };
    c.secondNumberField = "PHONE";
    c.computeButton = false;
    return c;
}

// Form53 keeps the pinned behaviour of its buyer chooser: one pick per
// opening, and the label it wrote names the customer of later vouchers.
const WholesaleConfig kForm42{
    wholesaleConfig("Form42", "SALES_INVO_GROUP", "بحث برقم الفاتورة ",
                    "تقرير عن فواتير مبيعات الجملة ", "DataReport11",
                    {{18, 19}, {20, 21}, {22, 23}, {24, 25}, {26, 27}}),
    true, true, false};
const WholesaleConfig kForm53{
    wholesaleConfig("Form53", "COAST_INVO_GROUP", "بحث برقم إذن الصرف",
                    "تقرير عن أذون صرف الجملة ", "DataReport13",
                    {{18, 19}, {20, 21}, {22, 23}}),
    false, false, true};

// The panel of the buyer, the notes and the payment, at the reading side.
constexpr double kPanelLeft = 12360, kPanelWidth = 2160, kWindowWidth = 14640;

bool customerListed(Database& db, const std::string& name) {
    auto st = db.prepare("SELECT 1 FROM BUYER WHERE BUYER=?1 LIMIT 1");
    st->bindText(1, name);
    return st->step();
}

}  // namespace

WholesaleInvoice::WholesaleInvoice(Application& a, const WholesaleConfig& config)
    : StockInvoice(a, config.invoice, StockFlow::Out), wholesale_(config) {
    width = kWindowWidth;
    buildPanel();

    // Five further labels head the second column of lines when an invoice
    // is viewed; the view shows them in place of the entry headings.
    const std::pair<const char*, int> heads[5] = {
        {"Label11", 1}, {"Label1", 7}, {"Label1", 8}, {"Label1", 10}, {"Label7", 1}};
    for (int k = 0; k < 5; ++k) {
        const Label& like = label(heads[k].first, heads[k].second);
        auto* l = add<Label>("Label2", 32 + k, like.design, like.caption());
        l->alignment = like.alignment;
        l->fontBold = true;
        l->visible = false;
    }
}

void WholesaleInvoice::buildPanel() {
    double top = 120;
    Control& buyerCaption = control("Label1", 2);
    buyerCaption.left = kPanelLeft;
    buyerCaption.top = top;
    buyerCaption.width = kPanelWidth;
    buyerCaption.visible = true;
    DataCombo2->left = kPanelLeft;
    DataCombo2->top = top + 300;
    DataCombo2->width = kPanelWidth;
    DataCombo2->visible = true;
    DataCombo2->onClick = [this] { pickBuyer(); };
    Label17 = add<Label>("Label17", -1, Geometry{kPanelLeft, top + 720, kPanelWidth, 315});
    Label17->alignment = 1;
    Label17->fontBold = true;
    top += 1200;

    if (wholesale_.notes) {
        add<Label>("Label28", -1, Geometry{kPanelLeft, top, kPanelWidth, 285}, "ملاحظة")
            ->alignment = 1;
        Text11 = add<TextBox>("Text11", -1, Geometry{kPanelLeft, top + 300, kPanelWidth, 900});
        Text11->multiLine = true;
        Text11->alignment = 1;
        Text11->locked = true;
        Text11->bindTo(*Adodc2, "NOTES");
        addEntryBox(Text11);
        top += 1440;
    }

    Frame1 = add<Frame>("Frame1", -1, Geometry{kPanelLeft, top, kPanelWidth, 1440},
                        "تحصيل الفاتورة");
    // Inside the frame, one under the other.
    const double in = kPanelLeft + 240;
    Option1 = add<OptionButton>("Option1", -1, Geometry{in, top + 300, 1680, 315}, "كاش");
    Option2 = add<OptionButton>("Option2", -1, Geometry{in, top + 660, 1680, 315}, "آجل");
    Option3 = add<OptionButton>("Option3", -1, Geometry{in, top + 1020, 1680, 315}, "كاش/آجل");
    Command2 = add<CommandButton>("Command2", -1, Geometry{in, top + 1020, 1680, 315});
    Command2->visible = false;
    Command2->enabled = false;
    Command2->onClick = [this] { collect(); };
    for (Control* c : std::initializer_list<Control*>{Option1, Option2, Option3, Command2})
        c->container = Frame1;

    Text8 = add<TextBox>("Text8", -1, Geometry{0, 0, 600, 315});
    Text8->visible = false;
    Text8->locked = true;
    Text8->bindTo(adodc(config().partnersControl), "MONEY");
}

void WholesaleInvoice::Form_Load() {
    InvoiceWindow::Form_Load();
    // Shown only: opening the window changes no stored invoice.
    for (LineRow& row : rows) row.item->displayText(".");
}

void WholesaleInvoice::pickBuyer() {
    Label17->setCaption(DataCombo2->text());
    if (wholesale_.buyerPickedOnce) DataCombo2->enabled = false;
}

void WholesaleInvoice::invoiceStarted() {
    if (wholesale_.notes) Text11->setText(".");
    // The previous invoice's customer is never charged for this one.
    if (wholesale_.addClearsBuyer) Label17->setCaption("");
}

WholesaleInvoice::Payment WholesaleInvoice::payment() const {
    if (Option1->value) return Payment::Cash;
    if (Option2->value) return Payment::Credit;
    if (Option3->value) return Payment::Part;
    return Payment::None;
}

bool WholesaleInvoice::checkPayment(Payment p, const std::string& buyer, double& paid) {
    paid = 0;
    if (p == Payment::Cash) return true;
    // A debt needs a customer row to carry it.
    if (buyer.empty()) {
        MsgBox(kNoCustomer, mb::OKOnly, kAttention);
        return false;
    }
    if (!customerListed(database(), buyer)) {
        MsgBox(unknownCustomer(buyer), mb::OKOnly, kAttention);
        return false;
    }
    return p != Payment::Part || askPaidNow(paid);
}

bool WholesaleInvoice::checkPosting(const Invoice& inv) {
    // After a search the payment frame is hidden: its choice is not seen.
    if (!Frame1->visible) {
        MsgBox(kFrameHidden, mb::OKOnly, kAttention);
        return false;
    }
    const Payment p = payment();
    if (p == Payment::None) {
        MsgBox(kNoPayment);
        return false;
    }
    if (!StockInvoice::checkPosting(inv)) return false;
    const std::string buyer = Label17->caption();
    double paid = 0;
    if (!checkPayment(p, buyer, paid)) return false;
    payment_ = p;
    buyer_ = buyer;
    total_ = inv.total;
    paid_ = paid;
    return true;
}

double WholesaleInvoice::raiseDebt(const std::string& buyer, double amount) {
    // Read now: the customers window or a receipt may have changed the debt
    // since this window opened. The first row of the name carries it.
    Adodc& buyers = adodc(config().partnersControl);
    buyers.Refresh();
    Recordset& rs = buyers.recordset();
    for (; !rs.eof(); rs.moveNext()) {
        if (toText(rs.field("BUYER")) != buyer) continue;
        const double debt = toDouble(rs.field("MONEY")) + amount;
        rs.setField("MONEY", Value(debt));
        rs.update();
        buyers.showCurrentRow();
        return debt;
    }
    throw RuntimeError(err::NoCurrentRecord, "The customer " + buyer + " was not found.");
}

void WholesaleInvoice::postPayment(int16_t number) {
    auto cash = [&](double amount) {
        postCash(adodc(config().boxControl), {CashFlow::In, Value(amount),
                                              Value(documentDate(app())), "RECEIVED_INV",
                                              Value::i16(number)});
    };
    switch (payment_) {
        case Payment::Cash: cash(total_); break;
        case Payment::Credit: debt_ = raiseDebt(buyer_, total_); break;
        case Payment::Part:
            cash(paid_);
            debt_ = raiseDebt(buyer_, total_ - paid_);
            break;
        case Payment::None: break;
    }
}

void WholesaleInvoice::tellPayment() {
    switch (payment_) {
        case Payment::Cash: tellCashAdded(total_, buyer_); break;
        case Payment::Credit:
            Command2->caption = formatDouble(debt_);
            MsgBoxLeftToRight({buyer_, " ألى حساب مديونية العميل ", formatDouble(total_),
                               " تم أضافة حساب الفاتورة  "});
            break;
        case Payment::Part:
            tellCashAdded(paid_, buyer_);
            MsgBoxLeftToRight({buyer_, " ألى حساب مديونية العميل ", formatDouble(total_ - paid_),
                               " تم أضافة  باقى حساب الفاتورة الآجل  "});
            break;
        case Payment::None: break;
    }
}

void WholesaleInvoice::post(const Invoice& inv) {
    postPayment(inv.number);
    applyPlannedStock();
    markPosted();
}

void WholesaleInvoice::confirmPosting(const Invoice& inv) {
    tellPayment();
    showPostedItems(inv);
    showPostedMoney(app());
    PrintEmptyLines(2);
    Print({" the quantities were subtracted "});
}

void WholesaleInvoice::collect() {
    // Hidden and disabled in the design, and nothing shows it: it posts the
    // payment of the invoice on screen once more, moving no stock.
    double total = 0;
    for (LineRow& row : rows) {
        const auto q = parseNumber(row.quantity->text());
        const auto p = parseNumber(row.price->text());
        const double sum = q && p ? *q * *p : 0;
        row.sum->displayText(formatDouble(sum));
        total += sum;
    }
    Label9->displayCaption(formatDouble(total));
    const Payment p = payment();
    if (p == Payment::None) return;
    const auto number = parseNumber(Text1[0]->text());
    if (!number || *number < 1 || *number > 32767 || std::floor(*number) != *number) {
        MsgBox(kBadNumber, mb::OKOnly, kAttention);
        return;
    }
    double paid = 0;
    if (!checkPayment(p, DataCombo2->text(), paid)) return;
    payment_ = p;
    buyer_ = DataCombo2->text();
    total_ = total;
    paid_ = paid;
    postPayment(static_cast<int16_t>(*number));
    tellPayment();
    showPostedMoney(app());
}

void registerWholesaleWindows(Application& app) {
    for (const WholesaleConfig* c : {&kForm42, &kForm53})
        app.registerForm(c->invoice.name,
                         [c](Application& a) { return std::make_unique<WholesaleInvoice>(a, *c); });
}

}  // namespace mk
