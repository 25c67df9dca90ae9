#include "staff/follow_up.h"

#include "data/name_entry.h"
#include "data/record_editing.h"
#include "data/schema.h"
#include "data/table_names.h"

namespace mk {

namespace {

constexpr const char* kNameMissing = "من فضلك أكتب أسم الموظف فى مربع الأسم ثم أضغط حفظ";
constexpr const char* kNameInvalid =
    "لا يصلح أسم الموظف هذا أسما لجدول متابعة (لا تستخدم النقطة أو الأقواس أو علامات التنصيص "
    "أو أكثر من 64 حرفا)، من فضلك أختر أسما آخر";
constexpr const char* kNoteTitle = "ملحوظة";
constexpr const char* kNoFollowUpTable = "لا يوجد جدول متابعة لهذا العامل";
constexpr const char* kPickFirst = "أختر العامل أولا";

// The new card: field and starting value, carrier by carrier ("" = the name).
struct CardDefault {
    const char* field;
    const char* value;
};
constexpr CardDefault kCard[16] = {
    {"code", "."},       {"name", ""},           {"address", "."},
    {"emplyee_date", "10/10/2007"}, {"birth_date", "10/10/2007"},
    {"qualfication", "."}, {"Status", "."},       {"phone", "0"},
    {"Job_ title", "."}, {"sallery", "0"},       {"Bonus", "0"},
    {"over_ time", "0"}, {"cout", "0"},          {"holidays", "0"},
    {"sick_ days", "0"}, {"net_sallery", "0"},
};

// The follow-up fields with their captions, in box order (MEMO apart).
struct FollowUpField {
    const char* field;
    const char* caption;
};
constexpr FollowUpField kFollowUp[8] = {
    {"DATES", "التاريخ"},          {"APSENT", "الغياب"},        {"CUT_MONEY", "الخصومات"},
    {"EXTERA_MONEY", "المكافئات"}, {"HOLIDAYS", "الأجازات"},    {"EXTERA-HOURS", "ساعات الإضافى"},
    {"PROFITS", "العمولات"},       {"SALES_AMOUNT", "المبيعات"},
};
constexpr const char* kFirstRowDate = "10/10/2007";

// Form51, right to left: the employees (caption over list); the frame of
// the follow-up row over its navigation bar; inside the frame the fields
// (caption, box), the report (caption over box) and the buttons.
constexpr TwipGrid kEmployees{
    .right = 8760, .top = 240, .rowStep = 360, .width = 2280, .height = 315};
constexpr TwipGrid kRowData{
    .right = 6240, .top = 120, .rowStep = 5400, .width = 6000, .height = 375};
constexpr TwipGrid kFields{
    .right = 6000, .top = 600, .colStep = 1800, .rowStep = 420, .width = 1680, .height = 315};
constexpr double kFieldBoxWidth = 2040;
constexpr TwipGrid kReport{
    .right = 6000, .top = 4020, .rowStep = 300, .width = 5520, .height = 285};
constexpr TwipGrid kButtons{
    .right = 1920, .top = 600, .rowStep = 480, .width = 1440, .height = 375};

}  // namespace

bool isFollowUpTable(Database& db, const std::string& name) {
    if (name.empty() || !db.findTable(name)) return false;
    const std::vector<FieldInfo>& have = db.tableInfo(name).fields;
    const std::vector<FieldDef> want = followUpTableDef(name).fields;
    if (have.size() != want.size()) return false;
    for (size_t i = 0; i < want.size(); ++i)
        if (!namesEqual(have[i].name, want[i].name) || have[i].type != want[i].type) return false;
    return true;
}

// ------------------------------------------------------------ Form50

Form50::Form50(Application& a) : Form(a, kName) {
    caption = "إضافة عامل جديد";
    width = 6240;
    height = 2760;
    const NameEntry entry = addNameEntry(*this, "أسم الموظف", "");
    Text1 = entry.name;
    Label1 = entry.caption;
    Adodc1 = entry.data;
    for (size_t i = 0; i < 3; ++i) cmdaction[i] = entry.buttons[i];
    Text2 = entry.copy;
    Adodc2 = entry.rows;  // the card
    Text1->alignment = 1;

    // Never shown: the carriers of the card and of the follow-up's first row.
    for (int i = 0; i < 16; ++i) {
        Text3[i] = addHidden<TextBox>("Text3", i);
        Text3[i]->bindTo(*Adodc2, kCard[i].field);
    }
    for (int i = 0; i < 8; ++i) {
        Text4[i] = addHidden<TextBox>("Text4", i);
        Text4[i]->bindTo(*Adodc1, kFollowUp[i].field);
    }

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc2, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->addSaveProcedure = [this] { addOrSave(); };
    editing_->firstEntry = Text1;

    MenuItem* tools = addMenu("tools", "أدوات");
    addMenu("stop", "إنهاء", tools)->onClick = [this] { Unload(); };
}

Form50::~Form50() = default;

void Form50::Form_Load() { bindTable(*Adodc2, "emplyee"); }

void Form50::addOrSave() {
    MsgBox(kTableNameBlanksWarning);
    Text1->locked = false;
    if (editing_->adding()) {
        saveEmployee();
        return;
    }
    Adodc2->recordset().addNew();
    editing_->enter(EditMode::Adding);
    editing_->SetCancelEnabled(true);
    for (int i = 0; i < 16; ++i) Text3[i]->setText(i == 1 ? Text1->text() : kCard[i].value);
}

void Form50::saveEmployee() {
    // The name as the box holds it now, checked before anything is written;
    // the card and its table take that same name.
    const std::string name = Text1->text();
    const std::string problem =
        tableNameProblemText(newTableNameProblem(app(), name), kNameMissing, kNameInvalid);
    if (!problem.empty()) {
        MsgBox(problem, mb::OKOnly, kNoteTitle);
        return;
    }
    // The copy of the name is taken by a save alone: a refused press
    // changes no box, hidden ones included.
    Text2->setText(name);
    // A failed write (a full disk) keeps the card being added: a second
    // press saves it once.
    editing_->guardWrites([&] {
        Text3[1]->setText(name);
        Adodc2->recordset().update();
        app().machine().database(kDatabasePath).createTable(followUpTableDef(name));
        bindTable(*Adodc1, name);
        Adodc1->recordset().addNew();
        Text4[0]->setText(kFirstRowDate);
        for (int i = 1; i < 8; ++i) Text4[i]->setText("0");
        Adodc1->recordset().update();
    });

    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    const std::string dbFullPath = "C:\\INVENT.mdb";
    MsgBoxAfterCommit("Database: " + dbFullPath + " successfully created" + "\r\n" + "\r\n" +
                          "Table: " + name + " successfully created" + "\r\n",
                      mb::Information, "Create Database");
    Text1->locked = true;
}

// ------------------------------------------------------------ Form51

Form51::Form51(Application& a) : Form(a, kName) {
    caption = "متابعة العاملين";
    width = 9000;
    height = 6600;

    // The list of employees on the right, their follow-up rows on the left.
    Label2 = add<Label>("Label2", -1, kEmployees.cell(0, 0), "أختر العامل");
    Label2->alignment = 1;
    Adodc1 = addHidden<Adodc>("Adodc1");
    DataList1 = add<DataList>("DataList1", -1, kEmployees.cell(0, 1, kEmployees.width, 4800));
    DataList1->rowSource = Adodc1;
    DataList1->listField = "name";

    Frame1 = add<Frame>("Frame1", -1, kRowData.cell(0, 0, kRowData.width, 5280), "بيانات");
    Adodc2 = add<Adodc>("Adodc2", -1, kRowData.cell(0, 1), "السابق التالى");
    // Inside the frame (in form twips): the fields, the report, the buttons.
    for (int i = 0; i < 8; ++i) {
        Label1[i] = add<Label>("Label1", i, kFields.cell(0, i), kFollowUp[i].caption);
        Label1[i]->alignment = 1;
        Text1[i] = add<TextBox>("Text1", i, kFields.cell(1, i, kFieldBoxWidth));
        Text1[i]->alignment = 1;
        Text1[i]->bindTo(*Adodc2, kFollowUp[i].field);
        Label1[i]->container = Text1[i]->container = Frame1;
    }
    Label3 = add<Label>("Label3", -1, kReport.cell(0, 0), "تقرير");
    Label3->alignment = 1;
    Text2 = add<TextBox>("Text2", -1, kReport.cell(0, 1, kReport.width, 900));
    Text2->multiLine = true;
    Text2->alignment = 1;
    Text2->bindTo(*Adodc2, "MEMO");
    const char* const captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(0, i), captions[i]);
    cmdaction[1]->visible = false;
    cmdaction[2]->visible = false;
    for (Control* c : std::initializer_list<Control*>{Label3, Text2, cmdaction[0], cmdaction[1],
                                                      cmdaction[2]})
        c->container = Frame1;

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc2, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->gatedBoxes = {Text1[0], Text1[1], Text1[2], Text1[3], Text1[4],
                            Text1[5], Text1[6], Text1[7], Text2};
    editing_->firstEntry = Text1[0];
    editing_->addDefaults = [this] {
        Text1[0]->setText(documentDate(app()));
        for (int i = 1; i < 8; ++i) Text1[i]->setText("0");
        Text2->setText(".");
    };
    editing_->addSaveProcedure = [this] {
        // Only a real follow-up table, picked first, takes new rows.
        if (!Adodc2->isOpen()) {
            MsgBox(kPickFirst);
            return;
        }
        editing_->setBoxesLocked(false);
        editing_->standardAddSave();
    };
    DataList1->onClick = [this] { pickEmployee(); };

    MenuItem* tools = addMenu("tools", "أدوات");
    addMenu("detailed_report", "تقرير تفصيلى عن العامل", tools);
    addMenu("stop", "إنهاء", tools)->onClick = [this] { Unload(); };
}

Form51::~Form51() = default;

void Form51::Form_Load() { bindTable(*Adodc1, "emplyee"); }

void Form51::pickEmployee() {
    const std::string name = DataList1->text();
    // Re-pointing drops a row being added: the window is browsing again,
    // its navigation on; the boxes keep their locks (only a save locks
    // them), so a row on show can still be corrected before the first save.
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    editing_->refreshNavigation();
    // A card renamed since, or made in the employee data window, names no
    // follow-up table (it may even name the cash box): nothing is bound.
    if (!isFollowUpTable(app().machine().database(kDatabasePath), name)) {
        Adodc2->close();
        Frame1->caption = "بيانات";
        for (TextBox* box : Text1) box->displayText("");
        Text2->displayText("");
        MsgBox(kNoFollowUpTable);
        return;
    }
    Frame1->caption = "بيانات" + name;
    bindTable(*Adodc2, name);
    Adodc2->recordset().moveLast();
}

}  // namespace mk
