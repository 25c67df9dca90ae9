#include "access/users.h"

#include "access/day_close.h"
#include "platform/application.h"

namespace mk {

namespace {

const char* const kRightFields[12] = {"store",   "seller", "buyer", "sell-inv",
                                      "buy_inv", "day",    "month", "year",
                                      "emplyee", "sell-inv_group", "close", "return_invo"};
const char* const kRightLabels[12] = {
    "تعاملات المخزن",      "الموردين ",         "المشتريين",        "فواتير مبيعات القطاعى",
    "فواتير الواردات",     "المصروفات اليومية", "الحسابات الشهرية", "الحسابات السنوية",
    "بيانات الموظفين",     "فواتير مبيعات الجملة", "إغلاق نهاية اليوم", "فواتير المرتجعات"};

const char* const kDuplicateText = "User ID already in use,Please enter another User ID ";
const char* const kDuplicateTitle = "Duplicate User ID";
const char* const kReservedText =
    "لا يمكن حذف المستخدم 529 ولا تغيير اسمه: به يحفظ البرنامج حالة اليوم، وبدونه لا يمكن إغلاق اليوم.";
const char* const kReservedTitle = "ملحوظة";

// Characters, not bytes: Arabic passwords count as typed.
size_t characters(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Whether some row of Admin, as stored now, holds this user id.
bool userIdTaken(Database& db, const std::string& id) {
    Recordset users(db, "Admin");
    for (; !users.eof(); users.moveNext())
        if (toText(users.field("UserID")) == id) return true;
    return false;
}

// Right to left: the rights (label, its check box at its left), the
// user's pair (caption, box), a second pair of boxes; the buttons' row
// over the navigation bar.
constexpr TwipGrid kRights{
    .right = 9000, .top = 240, .colStep = 2280, .rowStep = 420, .width = 2160, .height = 315};
constexpr TwipGrid kUser{
    .right = 6120, .top = 240, .colStep = 1560, .rowStep = 420, .width = 2040, .height = 315};
constexpr TwipGrid kSecondPair{
    .right = 2280, .top = 240, .rowStep = 420, .width = 2040, .height = 315};
constexpr double kUserCaptionWidth = 1440;
constexpr TwipGrid kButtons{
    .right = 8880, .top = 5400, .colStep = 2040, .rowStep = 600, .width = 1800, .height = 375};
constexpr double kNavigationWidth = 8640;

}  // namespace

void UsersControl::recordsetWillWrite(Recordset& rs) {
    // Before the bound boxes hand over their text, the row holds its
    // stored id.
    const bool row = rs.hasCurrentRow() && !rs.isAdding();
    const Value stored = row ? rs.field("UserID") : Value::null();
    Adodc::recordsetWillWrite(rs);
    if (beforeWrite && rs.hasCurrentRow()) beforeWrite(rs, stored);
}

Form12::Form12(Application& a) : Form(a, kName) {
    caption = "صلاحية المستخدمين";
    width = 9240;
    height = 7080;

    Adodc1 = add<UsersControl>("Adodc1", -1, kButtons.cell(0, 1, kNavigationWidth),
                               "< سابق    لاحق  >");
    Adodc1->beforeWrite = [this](Recordset& rs, const Value& stored) { checkUserId(rs, stored); };

    // The user and password: the pair the checks read in the middle, a
    // second pair on the left of the window.
    Label3 = add<Label>("Label3", -1, kUser.cell(0, 0, kUserCaptionWidth), "اسم المستخدم");
    Label4 = add<Label>("Label4", -1, kUser.cell(0, 1, kUserCaptionWidth), "كلمة السر");
    Label3->alignment = Label4->alignment = 1;
    Text1[2] = add<TextBox>("Text1", 2, kUser.cell(1, 0));
    Text1[3] = add<TextBox>("Text1", 3, kUser.cell(1, 1));
    Text1[0] = add<TextBox>("Text1", 0, kSecondPair.cell(0, 0));
    Text1[1] = add<TextBox>("Text1", 1, kSecondPair.cell(0, 1));
    Text1[0]->bindTo(*Adodc1, "UserID");
    Text1[1]->bindTo(*Adodc1, "Password");
    // The second pair shows the same fields: the middle pair's labels name it.
    Text1[0]->labelledBy = Label3;
    Text1[1]->labelledBy = Label4;
    Text1[2]->bindTo(*Adodc1, "UserID");
    Text1[3]->bindTo(*Adodc1, "Password");

    // One row per right, store at the top; the check box to the left of
    // the label that names the area.
    for (int i = 0; i < 12; ++i) {
        Label1[i] = add<Label>("Label1", i, kRights.cell(0, i), kRightLabels[i]);
        Label1[i]->alignment = 1;
        Check1[i] = add<CheckBox>("Check1", i, kRights.cell(1, i, kRights.height));
        // A tick is the row's pending change, like a typed one: stored when
        // the bar moves off the row, dropped by cancel.
        Check1[i]->bindTo(*Adodc1, kRightFields[i]);
    }

    cmdaction[0] = add<CommandButton>("cmdaction", 0, kButtons.cell(0, 0), "&add");
    cmdaction[1] = add<CommandButton>("cmdaction", 1, kButtons.cell(1, 0), "الغاء");
    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(2, 0), "حذف");
    cmdClose = add<CommandButton>("cmdClose", -1, kButtons.cell(3, 0), "اغلاق");

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], nullptr});
    editing_->addSaveProcedure = [this] { addSave(); };
    editing_->firstEntry = Text1[2];
    Command1->onClick = [this] { deleteUser(); };
    cmdClose->onClick = [this] { Unload(); };
}

void Form12::Form_Load() {
    bindTable(*Adodc1, "Admin");
    caption = " صلاحية المستخدمين " + companyTitle(app());
}

void Form12::Form_Unload() {
    // Changes typed into the shown user are kept, not dropped with the
    // window; an unsaved new user is dropped.
    if (Adodc1->isOpen()) commitShownRow();
}

void Form12::commitShownRow() {
    Recordset& rs = Adodc1->recordset();
    if (rs.hasCurrentRow() && !rs.isAdding()) rs.update();
}

void Form12::backToBrowsing() {
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    Text1[2]->locked = true;
    Text1[3]->locked = true;
    editing_->refreshNavigation();
}

void Form12::checkUserId(Recordset& rs, const Value& storedId) {
    const std::string id = toText(rs.field("UserID"));
    const bool adding = rs.isAdding();
    if (!adding) {
        const std::string stored = toText(storedId);
        if (id == stored) return;
        if (stored == kDayStateUser) {
            MsgBox(kReservedText, mb::OKOnly, kReservedTitle);
            rs.setField("UserID", storedId);
            Adodc1->showCurrentRow();
            return;
        }
    } else if (rs.field("UserID").isNull()) {
        return;
    }
    if (!userIdTaken(rs.database(), id)) return;
    MsgBox(kDuplicateText, mb::OKOnly, kDuplicateTitle);
    if (adding) {
        // Nothing of the new user is stored.
        rs.cancelUpdate();
        backToBrowsing();
    } else {
        rs.setField("UserID", storedId);
        Adodc1->showCurrentRow();
    }
}

void Form12::addSave() {
    Text1[2]->locked = false;
    Text1[3]->locked = false;
    Recordset& rs = Adodc1->recordset();
    if (!editing_->adding()) {
        rs.addNew();
        editing_->enter(EditMode::Adding);
        editing_->SetCancelEnabled(true);
        return;
    }
    auto focus = [this](TextBox* box) {
        if (app().canTakeInput(*box)) box->SetFocus();
    };
    if (Text1[2]->text().empty() || Text1[3]->text().empty()) {
        MsgBox("Please fill all the Fields of the Form ", mb::OKOnly, "Incomplete Information");
        focus(Text1[2]);
        return;
    }
    if (characters(Text1[3]->text()) < 5) {
        MsgBox("Please Enter Password of atleast 5 charactors", mb::OKOnly, "Small Password");
        focus(Text1[3]);
        return;
    }
    if (!entriesFit(*this, *Adodc1)) return;
    // The new row may already be gone (stored or refused on a move).
    if (rs.isAdding()) {
        rs.setField("FirstName", Text1[2]->text());
        rs.setField("Password", Text1[3]->text());
        // A failed write (a full disk) keeps the typed user for a second press.
        editing_->guardWrites([&] {
            try {
                rs.update();
            } catch (const RuntimeError& e) {
                if (e.number() != err::DuplicateKey) throw;
                // The refused row leaves the action's transaction open.
                MsgBoxAfterCommit(kDuplicateText, mb::OKOnly, kDuplicateTitle);
                rs.cancelUpdate();
            }
        });
    }
    backToBrowsing();
}

void Form12::deleteUser() {
    Recordset& rs = Adodc1->recordset();
    if (!requireCurrentRow(*this, *Adodc1)) return;
    const bool adding = rs.isAdding();
    if (!adding && toText(rs.field("UserID")) == kDayStateUser) {
        MsgBox(kReservedText, mb::OKOnly, kReservedTitle);
        return;
    }
    if (confirmDelete(*this, *Adodc1, "user will be deleted") && adding) backToBrowsing();
}

Form13::Form13(Application& a) : LoginForm(a, kName, "دخول مستخدم") {
    Command2->onClick = [this] { Unload(); };
}

void Form13::Form_Load() {
    bindTable(*Adodc1, "Admin");
    Text1[0]->setText("");
    Text1[1]->setText("");
}

void Form13::logIn() {
    // The administrator is two constants of the program, not a row of Admin.
    if (Text1[0]->text().empty() || Text1[1]->text().empty()) {
        MsgBox("One of your login fields is blank, pleae try again.", mb::OKOnly, "Attention");
        return;
    }
    if (Text1[0]->text() != "keeper") {
        MsgBox("User ID was not found, try again.", mb::OKOnly, "Warning!");
        return;
    }
    if (Text1[1]->text() != "480371") {
        MsgBox("Password is incorrect!", mb::OKOnly, "Warning!!");
        return;
    }
    passwordAccepted();
    app().show(app().form("Form12"));
    Unload();
}

}  // namespace mk
