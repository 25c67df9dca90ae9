#include "accounts/vouchers.h"

#include <algorithm>

#include "data/field_look.h"
#include "ledger/amounts.h"
#include "ledger/numbering.h"
#include "platform/application.h"

namespace mk {

namespace {

const VoucherConfig kReceipts{
    .formName = "Form35",
    .table = "REVEIVED_MONEY",
    .receipt = true,
    .captionPrefix = " إذون إستلام نقدية ل",
    .numberLabel = "رقم إذن الإستلام",
    .amountLabel = "قيمة المبلغ المستلم",
    .dateLabel = "تاريخ إذن الإستلام",
    .partyLabel = "أسم العميل",
    .lastNumberLabel = "آخر أذن أستلام هو رقم",
    .postCaption = "أخصم من مديونية العميل و أضف الى رصيد الصندوق",
    .postedMessage = " تم خصم المبلغ المستلم من مديونية العميل و إضافته الى رصيد صندوق الشركة ",
    .searchItem = "SEARCH",
    .searchCaption = "بحث برقم أذن الأستلام",
    .exitItem = "STOP",
    .searchPrompt = "أكتب رقم أذن الاستلام للبحث عنه :",
    .searchTitle = "البحث بأذن الإستلام.",
    .searchLine = " أذن الاستلام رقم",
    .flow = CashFlow::In,
    .referenceField = "RECEIVED_INV",
};

const VoucherConfig kPayments{
    .formName = "Form41",
    .table = "MONEY_OUT",
    .receipt = false,
    .captionPrefix = " إذون صرف ",
    .numberLabel = "رقم إذن الصرف",
    .amountLabel = "قيمة المبلغ المنصرف",
    .dateLabel = "تاريخ إذن الصرف",
    .partyLabel = "أسم المستلم",
    .lastNumberLabel = "آخر أذن صرف هو رقم",
    .postCaption = "أخصم من رصيد الصندوق",
    .postedMessage = " تم طرح المبلغ المنصرف من رصيد الصندوق ",
    .searchItem = "SEARCH_INVO",
    .searchCaption = "أبحث برقم أذن الصرف",
    .exitItem = "EXITE",
    .searchPrompt = "أكتب رقم أذن الصرف للبحث عنه :",
    .searchTitle = "البحث بأذن الصرف.",
    .searchLine = " أذن الصرف رقم",
    .flow = CashFlow::Out,
    .referenceField = "OUT_INV",
};

// Refusals: each leaves the voucher and every balance as they were.
constexpr const char* kAlreadyPosted = "تم ترحيل هذا الإذن من قبل";
constexpr const char* kBadNumber = "رقم الإذن غير صحيح أو مستخدم من قبل";
constexpr const char* kBadAmount = "أدخل قيمة المبلغ رقما لا يقل عن صفر";
constexpr const char* kBadDate = "أدخل تاريخ الإذن صحيحا";
constexpr const char* kNoVoucher = "لا يوجد إذن معروض للترحيل";
constexpr const char* kSaveFirst = "احفظ الإذن أو ألغه أولا";

// Right to left: the last-number line along the top; captions in a column
// on the right, their boxes to the left of them, the editing buttons down
// the left edge; the post button over the navigation bar.
constexpr TwipGrid kTopLine{.right = 7920, .top = 240, .height = 315};
constexpr TwipGrid kCard{
    .right = 7920, .top = 840, .colStep = 2400, .rowStep = 420, .width = 3000, .height = 315};
constexpr double kLabelWidth = 2280, kNoteHeight = 900;
constexpr TwipGrid kButtons{
    .right = 2280, .top = 840, .rowStep = 480, .width = 2040, .height = 375};
constexpr TwipGrid kBottom{
    .right = 7920, .top = 3600, .rowStep = 720, .width = 7680, .height = 375};
constexpr double kPostHeight = 420;

}  // namespace

VoucherWindow::VoucherWindow(Application& a, const VoucherConfig& config)
    : Form(a, config.formName), config_(config) {
    caption = config.captionPrefix;
    width = 8280;
    height = 5460;

    auto fieldLabel = [this](const std::string& n, int row, const std::string& text) {
        return asFieldCaption(add<Label>(n, -1, kCard.cell(0, row, kLabelWidth), text));
    };
    auto box = [this](const std::string& n, int row, double h = kCard.height) {
        return asFieldBox(add<TextBox>(n, -1, kCard.cell(1, row, kCard.width, h)));
    };

    // The last-number line and, after a search, the searched number.
    const std::vector<TwipGrid> top = tableColumns(kTopLine, {3720, 1080, 1440, 1080}, 120);
    Label7 = add<Label>("Label7", -1, top[0].cell(0, 0), config.lastNumberLabel);
    Label7->alignment = 1;
    Label6 = add<Label>("Label6", -1, top[1].cell(0, 0));
    Label6->fontBold = true;
    Label9 = add<Label>("Label9", -1, top[2].cell(0, 0));
    Label9->alignment = 1;
    Label8 = add<Label>("Label8", -1, top[3].cell(0, 0));
    Label8->fontBold = true;

    Adodc1 = add<Adodc>("Adodc1", -1, kBottom.cell(0, 1), "التالى اللاحق");
    Adodc3 = addHidden<Adodc>("Adodc3");

    fieldLabel("Label1", 0, config.numberLabel);
    Text1 = box("Text1", 0);
    Text1->bindTo(*Adodc1, "INVO_NO");
    fieldLabel("Label5", 1, config.partyLabel);
    if (config.receipt) {
        Adodc2 = addHidden<Adodc>("Adodc2");
        DataCombo1 = add<DataCombo>("DataCombo1", -1, kCard.cell(1, 1));
        DataCombo1->rowSource = Adodc2;
        DataCombo1->listField = "BUYER";
        DataCombo1->bindTo(*Adodc1, "BUYER");
    } else {
        Text6 = box("Text6", 1);
        Text6->bindTo(*Adodc1, "WHO_GET");
    }
    fieldLabel("Label2", 2, config.amountLabel);
    Text2 = box("Text2", 2);
    Text2->bindTo(*Adodc1, "MONEY");
    fieldLabel("Label3", 3, config.dateLabel);
    Text3 = box("Text3", 3);
    Text3->bindTo(*Adodc1, "DATES");
    fieldLabel("Label4", 4, "البيان");
    Text4 = box("Text4", 4, kNoteHeight);
    Text4->multiLine = true;
    Text4->bindTo(*Adodc1, "NOTE");

    const char* captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(0, i), captions[i]);
    cmdaction[2]->visible = false;  // a saved voucher is not edited here
    Command2 = add<CommandButton>("Command2", -1,
                                  kBottom.cell(0, 0, kBottom.width, kPostHeight),
                                  config.postCaption);
    Command2->fontBold = true;

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->gatedBoxes = {Text1, Text2, Text3, Text4};
    editing_->gatedBoxes.push_back(config.receipt ? static_cast<Control*>(DataCombo1) : Text6);
    // Its number is given: the party is filled first.
    editing_->firstEntry = editing_->gatedBoxes.back();
    editing_->addDefaults = [this] {
        Text1->setText(std::to_string(
            lastNumber(Adodc1->recordset().database(), config_.table) + 1));
        if (DataCombo1) DataCombo1->setText(".");
        if (Text6) Text6->setText(".");
        Text2->setText("0");
        Text3->setText(documentDate(app()));
        Text4->setText(".");
    };
    editing_->addSaveProcedure = [this] { addOrSave(); };
    editing_->setBoxesLocked(true);
    cmdaction[1]->onClick = [this] { cancel(); };
    Command2->onClick = [this] { post(); };

    MenuItem* tools = addMenu("tools", "أدوات");
    addMenu(config.searchItem, config.searchCaption, tools)->onClick = [this] { search(); };
    if (config.receipt) addMenu("REPORT1", "تقرير بأذون الإستلام", tools);  // prints nothing
    addMenu(config.exitItem, "إنهاء", tools)->onClick = [this] { Unload(); };
}

void VoucherWindow::Form_Load() {
    bindTable(*Adodc1, config_.table);
    bindTable(*Adodc3, "BOX");
    if (Adodc2) bindTable(*Adodc2, "BUYER");
    caption = config_.captionPrefix + companyTitle(app());
    Command2->visible = false;
    Label8->setCaption("");
    Label9->setCaption("");
    showLastNumber();
}

std::string VoucherWindow::partyText() const {
    return DataCombo1 ? DataCombo1->text() : Text6->text();
}

std::optional<std::string> VoucherWindow::saveRefusal() {
    Database& db = Adodc1->recordset().database();
    const auto number = parseNumber(Text1->text());
    // Vouchers are saved only while adding: every stored voucher counts.
    if (!validNumber(number) ||
        numberHolder(db, config_.table, static_cast<int32_t>(*number)) != NumberHolder::None)
        return kBadNumber;
    // A voucher of 0 is stored and posted like any other; a negative one
    // would move the cash the other way.
    const auto amount = parseNumber(Text2->text());
    if (!amount || *amount < 0) return kBadAmount;
    if (!withinLimit(*amount)) return beyondLimit(config_.amountLabel);
    if (!parseDate(Text3->text())) return kBadDate;
    if (config_.receipt) return partnerProblem(db, kBuyers, partyText(), true);
    return std::nullopt;
}

std::optional<std::string> VoucherWindow::postRefusal() {
    Recordset& v = Adodc1->recordset();
    if (!v.hasCurrentRow()) return kNoVoucher;
    if (toBool(v.field("POSTED"))) return kAlreadyPosted;
    const Value amount = v.field("MONEY");
    if (amount.isNull() || !(toDouble(amount) >= 0)) return kBadAmount;
    return std::nullopt;
}

std::optional<PaymentPlan> VoucherWindow::planPosting(bool adding) {
    // While adding, the boxes hold what the save will store (checked).
    Recordset& v = Adodc1->recordset();
    const double amount = adding ? *parseNumber(Text2->text()) : toDouble(v.field("MONEY"));
    const Value number = adding ? Value(*parseNumber(Text1->text())) : v.field("INVO_NO");
    const std::string party = !config_.receipt ? "" : adding ? partyText() : toText(v.field("BUYER"));
    PaymentPlan plan = planPayment(v.database(), {.partners = config_.receipt ? &kBuyers : nullptr,
                                               .partner = party,
                                               .kind = config_.receipt ? PaymentKind::Settle
                                                                       : PaymentKind::Cash,
                                               .total = amount,
                                               .flow = config_.flow,
                                               .referenceField = config_.referenceField,
                                               .reference = number,
                                               .date = Value(documentDate(app())),
                                               .totalCaption = config_.amountLabel});
    if (plan.ok()) return plan;
    MsgBox(plan.problem);
    return std::nullopt;
}

void VoucherWindow::tablesChanged(const ChangedTables& tables) {
    // A search's view shows no last number until the next add.
    if (tableChanged(tables, config_.table) && !Label6->caption().empty()) showLastNumber();
}

void VoucherWindow::showLastNumber() {
    Label7->setCaption(config_.lastNumberLabel);
    Label6->setCaption(
        std::to_string(lastNumber(Adodc1->recordset().database(), config_.table)));
}

void VoucherWindow::backToBrowsing() {
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    editing_->setBoxesLocked(true);
    Adodc1->enabled = true;  // moving between vouchers again
}

void VoucherWindow::addOrSave() {
    if (!editing_->adding()) {
        // The customer list as it is now, for the chooser.
        if (Adodc2) Adodc2->Refresh();
        editing_->standardAddSave();
        Command2->visible = true;
        return;
    }
    if (auto why = saveRefusal()) {
        MsgBox(*why);
        return;
    }
    if (!editing_->entriesFit()) return;
    // A failed write keeps the typed voucher for a second press.
    editing_->guardWrites([this] { Adodc1->recordset().update(); });
    backToBrowsing();
    Adodc1->recordset().moveLast();
    showLastNumber();
    Command2->visible = true;
}

void VoucherWindow::cancel() {
    editing_->CancelEdit();
    // Browsing never edits: the boxes lock again once the new row is dropped.
    editing_->setBoxesLocked(!editing_->adding());
}

void VoucherWindow::post() {
    Recordset& v = Adodc1->recordset();
    const bool adding = editing_->adding();
    // Every check runs before anything is written.
    if (auto why = adding ? saveRefusal() : postRefusal()) {
        MsgBox(*why);
        return;
    }
    const std::optional<PaymentPlan> plan = planPosting(adding);
    if (!plan) return;
    if (adding && !editing_->entriesFit()) return;
    // A new voucher is stored first; the posted flag goes with the row.
    editing_->guardWrites([&] {
        postPaidRow(v.database(), v, *plan, "POSTED",
                    adding ? parseNumber(Text1->text()) : std::nullopt);
    });
    if (adding) {
        backToBrowsing();
        showLastNumber();
    }
    Command2->visible = false;
    MsgBoxAfterCommit(config_.postedMessage);
}

void VoucherWindow::search() {
    if (editing_->adding()) {
        MsgBox(kSaveFirst);
        return;
    }
    const std::string typed = InputBox(config_.searchPrompt, config_.searchTitle);
    if (typed.empty()) return;
    Label6->setCaption("");
    Label7->setCaption("");
    Label8->setCaption(typed);
    Label9->setCaption(config_.searchLine);
    const auto wanted = parseNumber(typed);
    Recordset& rs = Adodc1->recordset();
    if (wanted && rs.findFirstWhole("INVO_NO", *wanted, 32)) return;
    // Not found, the voucher control stands past its last row.
    rs.moveLast();
    if (!rs.eof()) rs.moveNext();
    MsgBox(" unable to find that item ");
}

Form35::Form35(Application& a) : VoucherWindow(a, kReceipts) {}

Form41::Form41(Application& a) : VoucherWindow(a, kPayments) {}

}  // namespace mk
