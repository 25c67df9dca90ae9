#include "store/groups.h"

#include "data/name_entry.h"
#include "data/record_editing.h"
#include "data/schema.h"
#include "data/table_names.h"
#include "store/compare.h"

namespace mk {

namespace {

constexpr const char* kNameMissing = "من فضلك أكتب أسم المجموعة فى مربع الأسم ثم أضغط حفظ";
constexpr const char* kNameInvalid =
    "لا يصلح هذا الأسم أسما لمجموعة (لا تستخدم النقطة أو الأقواس أو علامات التنصيص)، من فضلك "
    "أختر أسما آخر";
constexpr const char* kNoteTitle = "ملحوظة";

// The starting row of a group made by the groups window, field by carrier.
const char* const kCarrierFields[] = {"ITEM_NO",  "DESC",  "BUY_PRICE", "UNITE_PRICE",
                                      "GROUP_PRICE", "ONSTOCK", "RETURN", "NOTES",
                                      "DATES",    "Q_ORDER", "DATES_SAVE", "RETURN_BUY"};
const char* const kStartingValues[] = {"0", ".", "0", "0", "0", "0",
                                       "0", ".", "10/10/2007", "0", "10/10/2007", "0"};

// The compare window's carriers: the first five fields, GROUP_PRICE twice.
const char* const kCompareCarrierFields[] = {"ITEM_NO",     "DESC",        "BUY_PRICE",
                                             "UNITE_PRICE", "GROUP_PRICE", "GROUP_PRICE"};
constexpr int kComparePlaceholderRows = 2579;

// The compare window's two lists under the group part: a name row (caption
// at the right, box beside it) over a navigation bar, twice, then the
// compare button under them.
constexpr TwipGrid kLists{
    .right = 5880, .top = 2040, .colStep = 720, .rowStep = 930, .width = 4920, .height = 315};
constexpr TwipGrid kListBars{
    .right = 5880, .top = 2460, .rowStep = 930, .width = 5640, .height = 375};
constexpr double kListCaptionWidth = 600, kButtonWidth = 1680, kBarToButton = 600;

}  // namespace

std::string groupNameProblem(Application& app, const std::string& name) {
    return tableNameProblemText(newTableNameProblem(app, name), kNameMissing, kNameInvalid);
}

GroupsWindow::GroupsWindow(Application& a, const char* name, int carriers) : Form(a, name) {
    width = 6240;
    height = 3240;
    const NameEntry entry = addNameEntry(*this, "أسم المجموعة", "المجموعات");
    Text1 = entry.name;
    Label1 = entry.caption;
    Adodc1 = entry.data;
    for (size_t i = 0; i < 3; ++i) cmdaction[i] = entry.buttons[i];
    Text2 = entry.copy;
    Adodc2 = entry.rows;
    Text1->locked = true;
    Text1->bindTo(*Adodc1, "q");

    // Never shown: the carriers of the new table's starting rows.
    const char* const* fields = carriers == 12 ? kCarrierFields : kCompareCarrierFields;
    for (int i = 0; i < carriers; ++i) {
        Text3.push_back(addHidden<TextBox>("Text3", i));
        Text3.back()->bindTo(*Adodc2, fields[i]);
    }

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->addSaveProcedure = [this] { AddGroup(); };
    editing_->firstEntry = Text1;
}

GroupsWindow::~GroupsWindow() = default;

void GroupsWindow::Form_Load() { bindTable(*Adodc1, "qqq"); }

void GroupsWindow::AddGroup() {
    MsgBox(kTableNameBlanksWarning);
    Text1->locked = false;
    if (!editing_->adding()) {
        Adodc1->recordset().addNew();
        editing_->enter(EditMode::Adding);
        editing_->SetCancelEnabled(true);
        Text1->setText(".");
        // Browsing away would store the new qqq row before its table exists.
        Adodc1->enabled = false;
    } else {
        // The name as the box holds it now, checked before anything is stored.
        const std::string name = Text1->text();
        const std::string problem = groupNameProblem(app(), name);
        if (!problem.empty()) {
            MsgBox(problem, mb::OKOnly, kNoteTitle);
            return;
        }
        // The copy of the name is taken by a save alone: a refused press
        // changes no box, hidden ones included.
        Text2->setText(name);
        const std::string dbFullPath = "C:\\INVENT.mdb";
        CreateTable(name);
        Adodc1->recordset().update();
        Adodc1->enabled = true;
        editing_->enter(EditMode::Browsing);
        editing_->SetCancelEnabled(false);
        MsgBoxAfterCommit("Database: " + dbFullPath + " successfully created" + "\r\n" +
                              "\r\n" + "Table: " + name + " successfully created" + "\r\n",
                          mb::Information, "Create Database");
        Text1->locked = true;
    }
}

void GroupsWindow::CreateTable(const std::string& tableName) {
    Database& db = app().machine().database(kDatabasePath);
    db.createTable(itemGroupTableDef(tableName));
    bindTable(*Adodc2, tableName);
    fillStartingRows();
}

Form49::Form49(Application& a) : GroupsWindow(a, kName, 12) {
    caption = "إضافة الأصناف الرئيسية";
    MenuItem* file = addMenu("FILE", "ملف");
    addMenu("exit", "إنهاء", file)->onClick = [this] { Unload(); };
}

void Form49::fillStartingRows() {
    Adodc2->recordset().addNew();
    for (size_t i = 0; i < Text3.size(); ++i) Text3[i]->setText(kStartingValues[i]);
    Adodc2->recordset().update();
}

Form56::Form56(Application& a) : GroupsWindow(a, kName, 6) {
    caption = "Form56";
    height = 5280;
    // Below the group part: each list's current name over its navigation
    // bar, then the compare button.
    Label2 = add<Label>("Label2", -1, kLists.captions().cell(0, 0, kListCaptionWidth), "n1");
    Text4 = add<TextBox>("Text4", -1, kLists.cell(1, 0));
    Adodc5 = add<Adodc>("Adodc5", -1, kListBars.cell(0, 0), "n1");
    Label3 = add<Label>("Label3", -1, kLists.captions().cell(0, 1, kListCaptionWidth), "n2");
    Text5 = add<TextBox>("Text5", -1, kLists.cell(1, 1));
    Adodc6 = add<Adodc>("Adodc6", -1, kListBars.cell(0, 1), "n2");
    for (Label* l : {Label2, Label3}) l->alignment = 1;
    Text4->bindTo(*Adodc5, "DESC");
    Text5->bindTo(*Adodc6, "DESC");
    // As far under the last bar as the add button stands under the first.
    const TwipGrid compareRow = kListBars.rowsAt(kListBars.cell(0, 1).top + kBarToButton, 375);
    Command1 = add<CommandButton>("Command1", -1, compareRow.cell(0, 0, kButtonWidth), "compare");
    Command1->onClick = [this] {
        compareProductLists(Adodc5->recordset(), Adodc6->recordset());
    };
}

void Form56::Form_Load() {
    GroupsWindow::Form_Load();
    bindTable(*Adodc5, "n1");
    bindTable(*Adodc6, "n2");
}

void Form56::fillStartingRows() {
    // The new group starts with its placeholder items.
    Recordset& rs = Adodc2->recordset();
    for (int n = 0; n < kComparePlaceholderRows; ++n) {
        rs.addNew();
        for (size_t i = 0; i < Text3.size(); ++i) Text3[i]->setText(i == 1 ? "." : "0");
        rs.update();
    }
}

}  // namespace mk
