#include "sales/wholesale_invoice.h"

#include <memory>
#include <utility>
#include <vector>

#include "data/record_editing.h"
#include "ledger/numbering.h"
#include "platform/application.h"
#include "platform/window_state.h"

namespace mk {

namespace {

constexpr const char* kAttention = "Attention";
constexpr const char* kFrameHidden =
    "نوعية السداد غير ظاهرة بعد البحث عن فاتورة، أغلق النافذة وأفتحها من جديد لحفظ الفاتورة";

// What tells the two wholesale windows apart.
struct WholesaleNames {
    const char* name;
    const char* table;
    const char* searchCaption;
    const char* reportCaption;
    const char* report;
    std::vector<CompanyLabels> companyLabels;
};

InvoiceConfig wholesaleInvoice(WholesaleNames n) {
    return {
        .name = n.name,
        .designCaption = "فاتورة بيع جملة",
        .captionPrefix = " فواتير مبيعات الجملة ل ",
        .table = n.table,
        .flow = StockFlow::Out,
        .dataControls = {{.control = "Adodc6", .table = "BOX"},
                         {.control = "Adodc7", .table = "DIM"},
                         {.control = "Adodc4", .table = "BUYER"},
                         {.control = "Adodc5", .table = "qqq"},
                         {.control = "Adodc2", .table = n.table},
                         {.control = "Adodc1", .table = "DAILY_TRADE"}},
        .boxControl = "Adodc6",
        .dailyControl = "Adodc1",
        .partnersControl = "Adodc4",
        .partnersListField = "BUYER",
        .partnerField = "SALES_MAN",
        .groupsControl = "Adodc5",
        .dimControl = "Adodc7",
        .companyLabels = std::move(n.companyLabels),
        .columns = salesLineColumns(),
        .priceField = "GROUP_PRICE",
        .counterBox = "Text9",
        .stepButton = "Command3",
        .taskFlag = "Check4",
        .flags = {"Check2", "Check3", "Check4"},
        .hintLabel = "Label14",
        .stockCaption = {.name = "Label15"},
        .stockBox = "Text10",
        .userCaption = "Label10",
        .userLabel = "Label13",
        .currentCaption = "Label3",
        .currentText = "الفاتورة الحالية رقم",
        .groupPrompt = "إختر مجموعة الاصناف",
        .secondNumberField = "PHONE",
        .computeButton = false,
        .fileMenu = {.name = "FILE", .caption = "ملف"},
        .exitItem = {.name = "EXITE", .caption = "إنهاء"},
        .searchMenu = {.name = "SEARCH", .caption = "بحث"},
        .searchItem = {.name = "SERARCH_INVO", .caption = n.searchCaption},
        .reportMenu = {.name = "REPORT1", .caption = "تقرير"},
        .reportItem = {.name = "REPORT", .caption = n.reportCaption},
        .searchLogin = "Form43",
        .report = n.report,
        .exitWarning = " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
        .postedText = "لقد تم خصم هذه الفاتورة سابقا.",
        .postedTitle = "Attention",
        .anotherPrompt = "هل تريد إدخال فاتورة أخرى ",
        .anotherTitle = "إضافة فاتورة أخرى",
        .cancelEnablesChooser = true,
        // The view shows the further headings this window adds (Label2(32..36)).
        .view = {.enables = ViewFlags::TaskFlag, .serials = true, .secondHeadings = false,
                 .totalCaption = true},
    };
}

// Form53 keeps the pinned behaviour of its buyer chooser: one pick per
// opening; the customer picked is the stored and charged buyer of every
// later voucher of that opening.
const WholesaleConfig kForm42{
    .invoice = wholesaleInvoice({.name = "Form42",
                                 .table = "SALES_INVO_GROUP",
                                 .searchCaption = "بحث برقم الفاتورة ",
                                 .reportCaption = "تقرير عن فواتير مبيعات الجملة ",
                                 .report = "DataReport11",
                                 .companyLabels = {{.caption = 18, .value = 19},
                                                   {.caption = 20, .value = 21},
                                                   {.caption = 22, .value = 23},
                                                   {.caption = 24, .value = 25},
                                                   {.caption = 26, .value = 27}}}),
    .notes = true,
    .buyerPickedOnce = false};
const WholesaleConfig kForm53{
    .invoice = wholesaleInvoice({.name = "Form53",
                                 .table = "COAST_INVO_GROUP",
                                 .searchCaption = "بحث برقم إذن الصرف",
                                 .reportCaption = "تقرير عن أذون صرف الجملة ",
                                 .report = "DataReport13",
                                 .companyLabels = {{.caption = 18, .value = 19},
                                                   {.caption = 20, .value = 21},
                                                   {.caption = 22, .value = 23}}}),
    .notes = false,
    .buyerPickedOnce = true};

// The panel of the buyer, the notes and the payment, at the reading side,
// its rows in step with the header's.
constexpr TwipGrid kPanel{
    .right = 14520, .top = 120, .rowStep = 420, .width = 2160, .height = 315};
constexpr double kNotesHeight = 900, kFrameHeight = 1620, kWindowWidth = 14640;

}  // namespace

WholesaleInvoice::WholesaleInvoice(Application& a, const WholesaleConfig& config)
    : StockInvoice(a, config.invoice), wholesale_(config) {
    width = kWindowWidth;
    buildPanel();

    // Five further labels head the second column of lines when an invoice
    // is viewed; the view shows them in place of the entry headings.
    int k = 32;
    for (const Label* like : secondHeadings()) {
        auto* l = add<Label>("Label2", k++, like->design, like->caption());
        l->alignment = like->alignment;
        l->fontBold = true;
        l->visible = false;
        addViewLabel(l);
    }
}

void WholesaleInvoice::buildPanel() {
    // The buyer: its caption, the chooser, the buyer label.
    placeAt(control("Label1", 2), kPanel.captions().cell(0, 0));
    control("Label1", 2).visible = true;
    placeAt(*DataCombo2, kPanel.cell(0, 1));
    DataCombo2->visible = true;
    DataCombo2->onClick = [this] { pickBuyer(); };
    DataCombo2->onLostFocus = [this] { takeTypedBuyer(); };
    Label17 = add<Label>("Label17", -1, kPanel.cell(0, 2));
    Label17->alignment = 1;
    Label17->fontBold = true;
    int row = 3;

    if (wholesale_.notes) {
        add<Label>("Label28", -1, kPanel.captions().cell(0, row), "ملاحظة")->alignment = 1;
        Text11 = add<TextBox>("Text11", -1, kPanel.cell(0, row + 1, kPanel.width, kNotesHeight));
        Text11->multiLine = true;
        Text11->alignment = 1;
        Text11->locked = true;
        Text11->bindTo(*Adodc2, "NOTES");
        addFreeTextBox(Text11);
        row += 4;
    }

    const Geometry frame = kPanel.cell(0, row, kPanel.width, kFrameHeight);
    Frame1 = add<Frame>("Frame1", -1, frame, "تحصيل الفاتورة");
    setPaymentFrame(Frame1);
    // Inside the frame, one under the other; the collection button takes
    // the third option's place.
    const TwipGrid options{.right = frame.left + frame.width - 240, .top = frame.top + kFrameCaption,
                           .rowStep = 360, .width = 1680, .height = 315};
    Option1 = add<OptionButton>("Option1", -1, options.cell(0, 0), "كاش");
    Option2 = add<OptionButton>("Option2", -1, options.cell(0, 1), "آجل");
    Option3 = add<OptionButton>("Option3", -1, options.cell(0, 2), "كاش/آجل");
    Command2 = add<CommandButton>("Command2", -1, options.cell(0, 2));
    Command2->visible = false;
    Command2->enabled = false;
    Command2->onClick = [this] { collect(); };
    for (Control* c : std::initializer_list<Control*>{Option1, Option2, Option3, Command2})
        c->container = Frame1;
    options_ = {Option1, Option2, Option3};

    Text8 = addHidden<TextBox>("Text8");
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
    if (!wholesale_.buyerPickedOnce) return;
    chosenBuyer_ = DataCombo2->text();
    DataCombo2->enabled = false;
}

void WholesaleInvoice::takeTypedBuyer() {
    // Browsing, the chooser is locked and shows the stored buyer.
    if (DataCombo2->locked) return;
    // The label names only a customer the save would charge.
    if (partnerListed(database(), kBuyers, DataCombo2->text())) pickBuyer();
    else Label17->setCaption("");
}

void WholesaleInvoice::invoiceStarted() {
    if (wholesale_.notes) Text11->setText(".");
    // The buyer field and the buyer label always name the same customer:
    // none yet, or the one chosen for this opening.
    const std::string buyer = wholesale_.buyerPickedOnce ? chosenBuyer_ : "";
    // A voucher of an opening with no customer picked yet stores ".".
    DataCombo2->setText(wholesale_.buyerPickedOnce && buyer.empty() ? "." : buyer);
    Label17->setCaption(buyer);
}

PaymentChoice WholesaleInvoice::paymentOf(std::optional<PaymentKind> kind) {
    return {.kind = kind,
            .partners = &kBuyers,
            .partner = DataCombo2->text(),
            .flow = CashFlow::In,
            .referenceField = "RECEIVED_INV"};
}

PaymentChoice WholesaleInvoice::readPayment() {
    PaymentChoice choice = paymentOf(options_.chosen());
    // After a search the payment frame is hidden: its choice is not seen.
    if (!Frame1->visible) choice.unseen = kFrameHidden;
    return choice;
}

void WholesaleInvoice::tellPayment(const PaymentPlan& plan) {
    // A voucher's "." names no customer: its message names the one chosen
    // for this opening (none before a pick), as the buyer label does.
    const std::string& buyer =
        wholesale_.buyerPickedOnce && plan.payment.partner == "." ? chosenBuyer_ : plan.payment.partner;
    switch (plan.payment.kind) {
        case PaymentKind::Cash: tellCashAdded(plan.cash, buyer); break;
        case PaymentKind::Credit:
            Command2->caption = formatDouble(plan.balance);
            MsgBoxLeftToRight({buyer, " ألى حساب مديونية العميل ", formatDouble(plan.balanceChange),
                               " تم أضافة حساب الفاتورة  "});
            break;
        case PaymentKind::Part:
            tellCashAdded(plan.cash, buyer);
            MsgBoxLeftToRight({buyer, " ألى حساب مديونية العميل ", formatDouble(plan.balanceChange),
                               " تم أضافة  باقى حساب الفاتورة الآجل  "});
            break;
        case PaymentKind::Settle: break;
    }
}

void WholesaleInvoice::confirmPosting(const PostedInvoice& posted) {
    tellPayment(posted.payment);
    showPostedItems(posted.invoice);
    PrintEmptyLines(2);
    Print({" the quantities were subtracted "});
}

void WholesaleInvoice::collect() {
    // Hidden and disabled in the design, and nothing shows it: it posts the
    // payment of the invoice on screen once more, moving no stock.
    const std::optional<Invoice> inv = linesOnScreen();
    if (!inv) return;
    const auto showSums = [&] {
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i].sum->displayText(formatDouble(inv->lines[i].sum()));
        Label9->displayCaption(formatDouble(inv->total));
    };
    // With no payment type set nothing is posted or said.
    const std::optional<PaymentKind> kind = options_.chosen();
    if (!kind) {
        showSums();
        return;
    }
    const auto number = parseNumber(Text1[0]->text());
    if (!validNumber(number)) {
        MsgBox(kBadInvoiceNumber, mb::OKOnly, kAttention);
        return;
    }
    // The sums show before the amount paid is asked; a refusal puts the
    // window back as it was.
    const WindowState unsummed({this}, app().focused());
    showSums();
    const std::optional<PaymentPlan> plan =
        planMoney(paymentOf(kind), inv->total, static_cast<int32_t>(*number));
    if (!plan) {
        unsummed.restore({this});
        return;
    }
    // A failed write puts back the document typed on screen.
    editing().guardWrites([&] { applyPayment(database(), *plan); });
    app().afterCommit([this, plan = *plan] { tellPayment(plan); });
}

void registerWholesaleWindows(Application& app) {
    for (const WholesaleConfig* c : {&kForm42, &kForm53})
        app.registerForm(c->invoice.name,
                         [c](Application& a) { return std::make_unique<WholesaleInvoice>(a, *c); });
}

}  // namespace mk
