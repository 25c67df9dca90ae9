#include "purchasing/incoming_invoice.h"

#include "data/record_editing.h"
#include "platform/application.h"
#include "platform/window_state.h"

namespace mk {

namespace {

const InvoiceConfig kIncoming{
    .name = "Form17",
    .designCaption = " فواتير واردات ",
    .captionPrefix = " فواتير واردات ",
    .table = "BUY_INVOICE",
    .flow = StockFlow::In,
    .dataControls = {{.control = "Adodc4", .table = "SUPPLIER"},
                     {.control = "Adodc6", .table = "BOX"},
                     {.control = "Adodc7", .table = "DIM"},
                     {.control = "Adodc1", .table = "DAILY_TRADE"},
                     {.control = "Adodc2", .table = "BUY_INVOICE"},
                     {.control = "Adodc5", .table = "qqq"}},
    .boxControl = "Adodc6",
    .dailyControl = "Adodc1",
    .partnersControl = "Adodc4",
    .partnersListField = "SALES_MAN",
    .partnerField = "SALES_MAN",
    .groupsControl = "Adodc5",
    .dimControl = "Adodc7",
    .companyLabels = {{.caption = 18, .value = 19},
                      {.caption = 20, .value = 21},
                      {.caption = 22, .value = 23},
                      {.caption = 27, .value = 28},
                      {.caption = 29, .value = 30}},
    .columns = {{.control = "DataCombo1", .stem = "MED_NAME", .role = LineRole::Item,
                 .width = 1620},
                {.control = "Text3", .stem = "QNTITY", .role = LineRole::Quantity, .width = 600},
                {.control = "Text4", .stem = "EXPIRY_ DATE", .role = LineRole::Price, .width = 780},
                {.control = "Text5", .stem = "SUM", .role = LineRole::Sum, .width = 900},
                {.control = "Text9", .stem = "EXPIRY_ DATES", .role = LineRole::Date,
                 .width = 1180, .heading = {.name = "Label25"}, .headingText = "التاريخ",
                 .inView = false}},
    .priceField = nullptr,
    .lineDate = "1/1/2007",
    .checkLineDates = true,
    .counterBox = "Text8",
    .stepButton = "Command1",
    .stepPrintsNumber = false,
    .taskFlag = "Check4",
    .flags = {"Check2", "Check3", "Check4"},
    .hintLabel = "Label17",
    .stockCaption = {.name = "Label24"},
    .stockBox = "Text10",
    .userCaption = "Label13",
    .userLabel = "Label14",
    .currentCaption = "Label10",
    .currentText = "الفاتورة الحالية رقم",
    .groupPrompt = "إختر مجموعة الاصناف",
    .partnerCaption = "أسم المورد",
    .headerCaptions = {.date = 3, .partner = 1, .phone = 2},
    .phoneShown = true,
    .fileMenu = {.name = "FILE", .caption = "ملف"},
    .exitItem = {.name = "CLOSE", .caption = "إنهاء"},
    .searchMenu = {.name = "search", .caption = "بحث"},
    .searchItem = {.name = "Search_invo", .caption = "بحث برقم الفاتورة "},
    .reportMenu = {.name = "report", .caption = "تقارير"},
    .reportItem = {.name = "inv_buy_report", .caption = "تقرير عن فواتير الواردات"},
    .searchLogin = "Form15",
    .report = "DataReport4",
    .exitWarning = "لمم تكمل المهمة أرجع و أكملها لتسطيع الخروج ",
    .exitTitle = "ملحوظة",
    .postedText = "لقد تم إضافة هذه الفاتورة سابقا.",
    .postedTitle = "ملحوظة",
    .anotherPrompt = "هل تريد إدخال فاتورة أخرى ",
    .anotherTitle = "إضافة فاتورة أخرى",
    .cancelEnablesChooser = true,
    .savedShowsFirst = true,
    // The view keeps the lines' dates and serials as entering left them.
    .view = {.enables = ViewFlags::All, .serials = false, .secondHeadings = true,
             .totalCaption = false},
};

constexpr const char* kAttention = "Attention";
constexpr const char* kAlreadyPaid = "لقد قمت بالسداد سابق";
constexpr const char* kPaidAtSave = "تم سداد هذه الفاتورة عند حفظها، لا يمكن سدادها مرة أخرى";

}  // namespace

Form17::Form17(Application& a) : StockInvoice(a, kIncoming) {
    // The payment frame at the bottom left, where the second column of lines
    // shows only when an invoice is viewed (the view hides the frame); the
    // top left is where the window prints.
    Frame1 = add<Frame>("Frame1", -1, Geometry{240, 6960, 4440, 840}, "سداد الفاتورة");
    setPaymentFrame(Frame1);
    // The cover over the lines ends above it, so nothing is drawn over it.
    placeAt(*Picture1, {Picture1->left, Picture1->top, Picture1->width,
                        Frame1->top - 60 - Picture1->top});
    // Its options side by side, right to left.
    const TwipGrid options{.right = 4320, .top = Frame1->top + kFrameCaption, .colStep = 1320,
                           .width = 1200, .height = 285};
    Option1 = add<OptionButton>("Option1", -1, options.cell(0, 0), "كاش");
    Option2 = add<OptionButton>("Option2", -1, options.cell(1, 0), "آجل");
    Option3 = add<OptionButton>("Option3", -1, options.cell(2, 0), "كاش/آجل");
    // Recording a payment after the save would pay the invoice twice.
    Command2 = addHidden<CommandButton>("Command2", -1, "سداد");
    for (Control* c : std::initializer_list<Control*>{Option1, Option2, Option3, Command2})
        c->container = Frame1;
    options_ = {Option1, Option2, Option3};
    cmdaction[2]->visible = false;
    cmdaction[1]->enabled = true;  // as designed: the window opens ready to cancel
    Command2->onClick = [this] { PayIncomingInvoice(); };

    // A new line opens only once the current one has a price.
    CommandButton& step = button("Command1");
    step.onClick = [this, next = step.onClick.fn] {
        const auto current = static_cast<size_t>(leadingNumber(textBox("Text8").text()));
        if (current >= rows.size() || leadingNumber(rows[current].price->text()) == 0) return;
        next();
    };
    // The supplier is chosen once per invoice: leaving the chooser on a
    // listed supplier takes it, as a pick. Any other text leaves it open,
    // so a save refused for want of a supplier can be put right.
    DataCombo2->onLostFocus = [this] {
        if (partnerListed(database(), kSuppliers, DataCombo2->text())) DataCombo2->enabled = false;
    };
    for (LineRow& row : rows) row.item->onLostFocus = [this] { showStock(); };
}

void Form17::invoiceStarted() {
    DataCombo2->enabled = true;
    // A new invoice has no total until it is saved.
    label("Label8").visible = false;
    Label9->setCaption("");
}

Control* Form17::firstToFill() {
    // The supplier, chosen once per invoice, comes before the lines.
    if (!app().canTakeInput(*DataCombo3) && app().canTakeInput(*DataCombo2) && !DataCombo2->locked)
        return DataCombo2;
    return StockInvoice::firstToFill();
}

void Form17::showStock() {
    if (!Adodc3->isOpen()) return;
    label("Label24").visible = true;
    TextBox& stock = textBox("Text10");
    stock.visible = true;
    // The last line whose item the group holds; an empty slot (".") names
    // only the group's own starting row.
    for (const LineRow& row : rows) {
        if (row.item->text() == ".") continue;
        if (auto onHand = storedStock(database(), group(), row.item->text()))
            stock.displayText(std::to_string(*onHand));
    }
}

PaymentChoice Form17::paymentOf(const char* referenceField) {
    return {.kind = options_.chosen(),
            .partners = &kSuppliers,
            .partner = DataCombo2->text(),
            .flow = CashFlow::Out,
            .referenceField = referenceField};
}

PaymentChoice Form17::readPayment() { return paymentOf("IN_INVOICE"); }

void Form17::tellMoney(const PaymentPlan& plan) {
    const std::string& supplier = plan.payment.partner;
    switch (plan.payment.kind) {
        case PaymentKind::Cash:
            tellCashAdded(plan.cash, supplier);
            break;
        case PaymentKind::Credit:
            MsgBoxLeftToRight({supplier, " ألى حساب المورد  ", formatDouble(plan.balanceChange),
                               " تم أضافة حساب الفاتورة  "});
            break;
        case PaymentKind::Part:
            tellCashAdded(plan.cash, supplier);
            MsgBoxLeftToRight({supplier, " ألى حساب مديونية العميل ", formatDouble(plan.balanceChange),
                               " تم أضافة  باقى حساب الفاتورة  "});
            break;
        case PaymentKind::Settle:
            break;
    }
    checkBox("Check2").enabled = true;
}

void Form17::confirmPosting(const PostedInvoice& posted) {
    tellMoney(posted.payment);
    label("Label8").visible = true;
    label("Label17").visible = false;  // the hint of the add button
    showPostedItems(posted.invoice);
    Print({});
    Print({" the process was completed "});
}

void Form17::tablesChanged(const ChangedTables& tables) {
    StockInvoice::tablesChanged(tables);
    if (textBox("Text10").visible && tableChanged(tables, group())) showStock();
}

void Form17::PayIncomingInvoice() {
    if (checkBox("Check2").enabled) {
        MsgBox(kAlreadyPaid);
        return;
    }
    Recordset& rs = Adodc2->recordset();
    // A saved invoice's payment was posted with it.
    if (rs.isAdding() || !rs.hasCurrentRow() || rs.field("STATUS_SUB") == Value(true)) {
        MsgBox(kPaidAtSave, mb::OKOnly, kAttention);
        return;
    }
    const std::optional<Invoice> inv = linesOnScreen();
    if (!inv) return;
    // The total shows before the amount paid is asked; a refused press
    // puts the window back as it was.
    const WindowState untotalled({this}, app().focused());
    Label9->displayCaption(formatDouble(inv->total));
    label("Label8").visible = true;
    const std::optional<PaymentPlan> plan =
        planMoney(paymentOf("OUT_INV"), inv->total, toInt32(rs.field("INVO_NO")));
    if (!plan) {
        untotalled.restore({this});
        return;
    }
    editing().guardWrites([&] { applyPayment(database(), *plan); });
    app().afterCommit([this, plan = *plan] { tellMoney(plan); });
}

}  // namespace mk
