#include "staff/employees.h"

#include <optional>
#include <vector>

#include "data/record_editing.h"
#include "data/schema.h"
#include "ledger/amounts.h"
#include "ledger/money_posting.h"
#include "platform/application.h"

namespace mk {

namespace {

// Box by box: the field it shows and its caption.
struct EmployeeField {
    const char* field;
    const char* caption;
    bool shown;
};
constexpr EmployeeField kFields[Form32::kBoxes] = {
    {"code", "الرقم الكودى", true},
    {"name", "الاسم", true},
    {"address", "العنوان", true},
    {"emplyee_date", "", true},
    {"birth_date", "تاريخ الميلاد", true},
    {"qualfication", "المؤهل", false},
    {"Status", "الحالة الأجتماعية", true},
    {"phone", "رقم التليفون", true},
    {"Job_ title", "المسمى الوظيفى", false},
    {"sallery", "أساسى الأجر", true},
    {"holidays", "الغياب", true},
    {"sick_ days", "الاجازات المرضية", false},
    {"Bonus", "الحوافز", true},
    {"over_ time", "الوقت الإضافى", true},
    {"cout", "الخصومات", true},
    {"net_sallery", "صافى الأجر", true},
};
// The pay period options and the field each one sets.
constexpr const char* kPeriodCaptions[4] = {"يومى", "أسبوعى", "نصف شهرى", "شهرى"};
constexpr const char* kPeriodFields[4] = {"feeday", "feeweek", "feehmonth", "feeyear"};

constexpr const char* kComputeFirst = "أحسب صافى الأجر أولا للموظف ";
constexpr const char* kSaveFirst = "احفظ بيانات الموظف أو ألغها أولا";

// Right to left: the card's captions in the right column with their boxes
// beside them (the date on top); the wage frames on the left; buttons over
// the navigation bar below.
constexpr TwipGrid kCard{
    .right = 9360, .top = 720, .colStep = 1800, .rowStep = 420, .width = 2640, .height = 315};
constexpr double kLabelWidth = 1680, kDateTop = 240;
// Card rows of the shown boxes of the right column (box index -> row).
constexpr int kCardRow[Form32::kBoxes] = {0, 1, 2, 4, 3, 8, 5, 6, 9, -1, 7, 10, -1, -1, -1, -1};
// The wage frames on the left, the wage frame (Frame2) over the frame of
// the wage's parts (Frame1), and the pay button under them.
constexpr TwipGrid kFrames{
    .right = 4680, .top = 600, .rowStep = 1560, .width = 4440, .height = 375};
constexpr double kWageFrameHeight = 1380, kPartsFrameHeight = 2520, kPayTop = 4800;
// Inside them, in form twips: the parts (caption at the right of its box,
// the compute button under them), the wage's row, the pay periods' options
// (each as wide as its caption).
constexpr TwipGrid kParts{
    .right = 4560, .top = 2520, .colStep = 1680, .rowStep = 420, .width = 2400, .height = 315};
constexpr double kPartsCaptionWidth = 1560, kComputeWidth = 4080;
constexpr double kWageTop = kFrames.top + kFrameCaption;
constexpr TwipGrid kPeriods{.right = 4560, .top = 1500, .height = 315};
// The editing buttons, add at the right, over the navigation bar.
constexpr TwipGrid kButtons{
    .right = 9360, .top = 5340, .colStep = 2400, .rowStep = 540, .width = 2160, .height = 375};
constexpr double kNavigationWidth = 9120;

constexpr uint32_t kNetColor = 0xC0FFFF;

// A wage part as a number: an empty box counts 0, other text that is no
// number fails.
double wagePart(const TextBox& box) {
    return box.text().empty() ? 0.0 : toDouble(Value(box.text()));
}

}  // namespace

Form32::Form32(Application& a) : Form(a, kName) {
    caption = "بيانات الموظفين";
    width = 9720;
    height = 7200;

    const TwipGrid date = kCard.rowsAt(kDateTop, kCard.height);
    Label2[0] = add<Label>("Label2", 0, date.cell(0, 0, kLabelWidth), "التاريخ");
    Label2[0]->alignment = 1;
    Label2[1] = add<Label>("Label2", 1, date.cell(1, 0));
    Label2[1]->alignment = 1;

    Adodc1 = add<Adodc>("Adodc1", -1, kButtons.cell(0, 1, kNavigationWidth), "التالى    السابق");

    Frame2 = add<Frame>("Frame2", -1, kFrames.cell(0, 0, kFrames.width, kWageFrameHeight),
                        "أجر العامل");
    Frame1 = add<Frame>("Frame1", -1, kFrames.cell(0, 1, kFrames.width, kPartsFrameHeight));

    for (int i = 0; i < kBoxes; ++i) {
        const EmployeeField& f = kFields[i];
        Geometry label{}, box{};
        Control* frame = nullptr;
        if (i == 9) {
            frame = Frame2;
            const TwipGrid wage = kParts.rowsAt(kWageTop, kParts.height);
            label = wage.cell(0, 0, kPartsCaptionWidth);
            box = wage.cell(1, 0);
        } else if (i >= 12) {
            frame = Frame1;
            label = kParts.cell(0, i - 12, kPartsCaptionWidth);
            box = kParts.cell(1, i - 12);
        } else {
            label = kCard.cell(0, kCardRow[i], kLabelWidth);
            box = kCard.cell(1, kCardRow[i]);
        }
        Label1[i] = add<Label>("Label1", i, label, f.caption);
        Label1[i]->alignment = 1;
        Text1[i] = add<TextBox>("Text1", i, box);
        Text1[i]->alignment = 1;
        Text1[i]->bindTo(*Adodc1, f.field);
        Label1[i]->container = Text1[i]->container = frame;
        Label1[i]->visible = Text1[i]->visible = f.shown;
    }
    Text1[15]->backColor = kNetColor;
    // The start of work has no caption on show; tools still say what it is.
    Text1[3]->spokenName = "تاريخ بدء العمل";

    const std::vector<TwipGrid> periods = tableColumns(kPeriods, {840, 1000, 1340, 780}, 80);
    for (int i = 0; i < 4; ++i) {
        Option1[i] = add<OptionButton>("Option1", i, periods[static_cast<size_t>(i)].cell(0, 0),
                                       kPeriodCaptions[i]);
        Option1[i]->container = Frame2;
        Option1[i]->alignment = 1;
    }
    Command1 = add<CommandButton>("Command1", -1, kParts.cell(0, 4, kComputeWidth, 375),
                                  "أحسب إجمالى الأجر");
    Command1->container = Frame1;
    Command2 = add<CommandButton>("Command2", -1,
                                  kFrames.rowsAt(kPayTop, kFrames.height).cell(0, 0), "صرف الراتب");

    Check1 = addHidden<CheckBox>("Check1");
    Check1->enabled = false;
    Check1->bindTo(*Adodc1, "get_money");

    const char* captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(i, 0), captions[i]);

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]},
        RecordEditingTexts{.busy = kSaveFirst});
    editing_->addDefaults = [this] {
        for (int i : {0, 1, 2, 5, 6}) Text1[i]->setText("'");
        Text1[3]->setText("1/1/2007");
        Text1[4]->setText("1/1/1980");
        for (int i = 7; i < kBoxes; ++i) Text1[i]->setText("0");
    };
    editing_->addSaveProcedure = [this] { addOrSave(); };
    editing_->editSaveProcedure = [this] { editOrSave(); };
    editing_->firstEntry = Text1[0];
    editing_->afterCancel = [this] { lockForBrowsing(); };
    editing_->SetCancelEnabled(false);

    Command1->onClick = [this] { computeNetWage(); };
    Command2->onClick = [this] { payWage(); };

    MenuItem* search = addMenu("search", "بحث");
    addMenu("employee", "بحث بكود الموظف", search)->onClick = [this] { searchByCode(); };
}

Form32::~Form32() = default;

void Form32::Form_Load() {
    bindTable(*Adodc1, "emplyee");
    caption = " بيانات الموظفين ل" + companyTitle(app());
    // No row on show: the boxes are empty, and what is typed into them
    // before a row is reached is stored nowhere.
    Recordset& rs = Adodc1->recordset();
    if (rs.hasCurrentRow()) rs.movePrevious();
    for (TextBox* box : Text1) box->displayText("");
    Label2[1]->setCaption(formatShortDate(app().clock().today()));
    lockForBrowsing();
    // The net wage may be typed until a new card's save locks it; add,
    // edit and cancel leave it as it is.
    Text1[15]->locked = false;
}

void Form32::setLocked(int from, int to, bool locked) {
    for (int i = from; i <= to; ++i) Text1[i]->locked = locked;
}

void Form32::lockForBrowsing() {
    // The code names whom a press pays: it changes only by add and edit.
    setLocked(0, 14, true);
    for (int i : {6, 12, 13, 14}) Text1[i]->locked = false;
}

bool Form32::browsing() {
    if (!editing_->adding() && !editing_->editing()) return true;
    MsgBox(kSaveFirst);
    return false;
}

void Form32::addOrSave() {
    const bool wasAdding = editing_->adding();
    if (!wasAdding) {
        Adodc1->Refresh();
    } else {
        // The pay period goes with the new row in its own commit.
        Recordset& rs = Adodc1->recordset();
        for (int i = 0; i < 4; ++i) rs.setField(kPeriodFields[i], Option1[i]->value.get());
    }
    editing_->standardAddSave();
    if (!wasAdding && editing_->adding()) {
        setLocked(0, 14, false);
    } else if (wasAdding && !editing_->adding()) {
        setLocked(0, kBoxes - 1, true);
        Adodc1->recordset().moveLast();
    }
}

void Form32::editOrSave() {
    const bool wasEditing = editing_->editing();
    editing_->standardEditSave();
    if (!wasEditing && editing_->editing()) setLocked(0, 14, false);
    // The wage parts stay open for the next month's figures.
    else if (wasEditing && !editing_->editing()) setLocked(0, 11, true);
}

void Form32::computeNetWage() {
    // Each part must be an amount its field takes, and so must the result.
    for (int i : {12, 9, 13, 14})
        if (auto why = Adodc1->entryRefusal(*Text1[i])) {
            MsgBox(*why);
            return;
        }
    const double net = ((wagePart(*Text1[12]) + wagePart(*Text1[9])) + wagePart(*Text1[13])) -
                       wagePart(*Text1[14]);
    if (!withinLimit(net)) {
        MsgBox(beyondLimit("صافى الأجر"));
        return;
    }
    Text1[15]->setText(formatDouble(net));
}

void Form32::payWage() {
    if (!browsing() || !requireCurrentRow(*this, *Adodc1) || !entriesFit(*this, *Adodc1)) return;
    // What was typed or computed on the card on show is paid as it will be
    // stored; every check comes first.
    Adodc1->storeBoundChanges();
    Recordset& card = Adodc1->recordset();
    const std::string name = toText(card.field("name"));
    if (toBool(card.field("get_money"))) {
        MsgBox("لقد حصل" + name + "على أجره");
        return;
    }
    const Value net = card.field("net_sallery");
    if (net.isNull() || !(toDouble(net) > 0)) {
        MsgBox(kComputeFirst + name);
        return;
    }
    Database& db = card.database();
    const PaymentPlan plan = planPayment(db, {.total = toDouble(net),
                                              .flow = CashFlow::Out,
                                              .referenceField = "emplyee_name",
                                              .reference = Value(name),
                                              .date = Value(documentDate(app())),
                                              .totalCaption = "صافى الأجر"});
    if (!plan.ok()) {
        MsgBox(plan.problem);
        return;
    }
    postPaidRow(db, card, plan, "get_money");
}

void Form32::searchByCode() {
    if (!browsing()) return;
    if (linearSearch(*this, *Adodc1, "code", "enter code of employee .for search :",
                     "Search By Employee code", SearchKind::Text) == SearchResult::Found)
        Print({toText(Adodc1->recordset().field("code"))});
}

}  // namespace mk
