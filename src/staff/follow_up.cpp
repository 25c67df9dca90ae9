#include "staff/follow_up.h"

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
    Text1 = add<TextBox>("Text1", -1, Geometry{240, 360, 3840, 315});
    Text1->alignment = 1;
    Label1 = add<Label>("Label1", -1, Geometry{4200, 390, 1680, 285}, "أسم الموظف");
    Label1->alignment = 1;
    Adodc1 = add<Adodc>("Adodc1", -1, Geometry{240, 840, 5640, 375});

    cmdaction[2] = add<CommandButton>("cmdaction", 2, Geometry{240, 1440, 1680, 375}, "&edit");
    cmdaction[1] = add<CommandButton>("cmdaction", 1, Geometry{2220, 1440, 1680, 375}, "&cancel");
    cmdaction[0] = add<CommandButton>("cmdaction", 0, Geometry{4200, 1440, 1680, 375}, "&add");
    cmdaction[1]->visible = false;
    cmdaction[2]->visible = false;

    // Never shown: the name copy, the card and the first row's carriers.
    Text2 = add<TextBox>("Text2", -1, Geometry{240, 1920, 1200, 315});
    Text2->visible = false;
    Adodc2 = add<Adodc>("Adodc2", -1, Geometry{1560, 1920, 1800, 315});
    Adodc2->visible = false;
    for (int i = 0; i < 16; ++i) {
        Text3[i] = add<TextBox>("Text3", i, Geometry{3480 + 140.0 * i, 1920, 120, 315});
        Text3[i]->visible = false;
        Text3[i]->bindTo(*Adodc2, kCard[i].field);
    }
    for (int i = 0; i < 8; ++i) {
        Text4[i] = add<TextBox>("Text4", i, Geometry{240 + 140.0 * i, 2280, 120, 315});
        Text4[i]->visible = false;
        Text4[i]->bindTo(*Adodc1, kFollowUp[i].field);
    }

    Text1->onLostFocus = [this] { Text2->setText(Text1->text()); };
    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc2, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->addSaveProcedure = [this] { addOrSave(); };

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
    Label2 = add<Label>("Label2", -1, Geometry{6480, 240, 2280, 315}, "أختر العامل");
    Label2->alignment = 1;
    Adodc1 = add<Adodc>("Adodc1", -1, Geometry{6480, 5160, 2280, 375});
    Adodc1->visible = false;
    DataList1 = add<DataList>("DataList1", -1, Geometry{6480, 600, 2280, 4800});
    DataList1->rowSource = Adodc1;
    DataList1->listField = "name";

    Frame1 = add<Frame>("Frame1", -1, Geometry{240, 120, 6000, 5280}, "بيانات");
    Adodc2 = add<Adodc>("Adodc2", -1, Geometry{240, 5520, 6000, 375}, "السابق التالى");
    // Inside the frame, in form twips.
    for (int i = 0; i < 8; ++i) {
        const double top = 600 + 420.0 * i;
        Label1[i] = add<Label>("Label1", i, Geometry{4320, top, 1680, 315}, kFollowUp[i].caption);
        Label1[i]->alignment = 1;
        Text1[i] = add<TextBox>("Text1", i, Geometry{2160, top, 2040, 315});
        Text1[i]->alignment = 1;
        Text1[i]->bindTo(*Adodc2, kFollowUp[i].field);
        Label1[i]->container = Text1[i]->container = Frame1;
    }
    Label3 = add<Label>("Label3", -1, Geometry{480, 4020, 5520, 285}, "تقرير");
    Label3->alignment = 1;
    Text2 = add<TextBox>("Text2", -1, Geometry{480, 4320, 5520, 900});
    Text2->multiLine = true;
    Text2->alignment = 1;
    Text2->bindTo(*Adodc2, "MEMO");
    cmdaction[0] = add<CommandButton>("cmdaction", 0, Geometry{480, 600, 1440, 375}, "&add");
    cmdaction[1] = add<CommandButton>("cmdaction", 1, Geometry{480, 1080, 1440, 375}, "&cancel");
    cmdaction[2] = add<CommandButton>("cmdaction", 2, Geometry{480, 1560, 1440, 375}, "&edit");
    cmdaction[1]->visible = false;
    cmdaction[2]->visible = false;
    for (Control* c : std::initializer_list<Control*>{Label3, Text2, cmdaction[0], cmdaction[1],
                                                      cmdaction[2]})
        c->container = Frame1;

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc2, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->gatedBoxes = {Text1[0], Text1[1], Text1[2], Text1[3], Text1[4],
                            Text1[5], Text1[6], Text1[7], Text2};
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
    // its navigation on and its boxes locked.
    editing_->backToBrowsing();
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
