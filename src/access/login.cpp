#include "access/login.h"

#include <memory>

#include "data/record_editing.h"
#include "data/window_links.h"
#include "platform/application.h"

namespace mk {

namespace {

// The refusal of the guarding windows that nothing opens.
const char* const kNoRight = "ليست لديك هذه الصلاحية .";

// Right to left: the user id and password (caption, box) over the buttons.
constexpr TwipGrid kFields{
    .right = 5160, .top = 360, .colStep = 1560, .rowStep = 420, .width = 2640, .height = 315};
constexpr double kCaptionWidth = 1440;
constexpr TwipGrid kButtons{
    .right = 4680, .top = 1440, .colStep = 2160, .width = 1800, .height = 375};

}  // namespace

LoginForm::LoginForm(Application& a, std::string name, std::string windowCaption)
    : Form(a, std::move(name)) {
    caption = std::move(windowCaption);
    width = 5400;
    height = 2640;
    Adodc1 = addHidden<Adodc>("Adodc1");
    Label3 = add<Label>("Label3", -1, kFields.cell(0, 0, kCaptionWidth), "اسم مستخدم");
    Label4 = add<Label>("Label4", -1, kFields.cell(0, 1, kCaptionWidth), "كلمة سر");
    Label3->alignment = Label4->alignment = 1;
    Text1[0] = add<TextBox>("Text1", 0, kFields.cell(1, 0), "Text1");
    Text1[1] = add<TextBox>("Text1", 1, kFields.cell(1, 1), "Text1");
    Text1[1]->passwordChar = "*";
    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(0, 0), "دخول");
    Command2 = add<CommandButton>("Command2", -1, kButtons.cell(1, 0), "انهاء");
    Command1->onClick = [this] { pressLogIn(); };
}

void LoginForm::pressLogIn() {
    passwordAccepted_ = false;
    try {
        logIn();
    } catch (...) {
        forgetAcceptedPassword();
        throw;
    }
    forgetAcceptedPassword();
}

void LoginForm::forgetAcceptedPassword() {
    if (passwordAccepted_) Text1[1]->setText("");
    passwordAccepted_ = false;
}

AccessLogin::AccessLogin(Application& a, std::string name, std::string right,
                         std::string deniedText, std::string captionPrefix, bool emptyOnLoad,
                         bool titled)
    : LoginForm(a, std::move(name), "دخول"), right_(std::move(right)),
      deniedText_(std::move(deniedText)), captionPrefix_(std::move(captionPrefix)),
      emptyOnLoad_(emptyOnLoad), titled_(titled) {
    Command2->onClick = [this] { giveUp(); };
}

void AccessLogin::Form_Load() {
    bindTable(*Adodc1, "Admin");
    caption = titled_ ? captionPrefix_ + companyTitle(app()) : captionPrefix_;
    if (emptyOnLoad_) {
        Text1[0]->setText("");
        Text1[1]->setText("");
    }
}

bool AccessLogin::checkLogin() {
    const std::string& user = Text1[0]->text();
    const std::string& password = Text1[1]->text();
    if (user.empty() || password.empty()) {
        MsgBox("احدى الخانتين فارغة من فضلك اعد المحاولة.", mb::OKOnly, "Attention");
        return false;
    }
    // The user table as it is now: a right granted since this window
    // opened counts.
    Adodc1->Refresh();
    Recordset& rs = Adodc1->recordset();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (toText(rs.field("UserID")) == user) break;
    if (rs.eof()) {
        MsgBox("User ID was not found, try again.", mb::OKOnly, "Warning!");
        return false;
    }
    if (!(rs.field(right_) == Value(true))) {
        MsgBox(deniedText_, mb::OKOnly, "Attention");
        return false;
    }
    if (toText(rs.field("Password")) != password) {
        MsgBox("Password is incorrect!", mb::OKOnly, "Warning!!");
        return false;
    }
    passwordAccepted();
    return true;
}

void AccessLogin::logIn() {
    if (!checkLogin()) return;
    granted();
    Unload();
}

void AccessLogin::giveUp() { Unload(); }

WindowLogin::WindowLogin(Application& a, std::string name, std::string right,
                         std::string deniedText, std::string target, bool emptyOnLoad)
    : AccessLogin(a, std::move(name), std::move(right), std::move(deniedText), " دخول ",
                  emptyOnLoad),
      target_(std::move(target)) {}

void WindowLogin::granted() { app().show(app().form(target_)); }

Form20::Form20(Application& a)
    : AccessLogin(a, kName, "store", "ليست لديك صلاحية لدخول المخزن.") {}

void Form20::granted() {
    mainWindow(app()).openStore();
}

namespace {

struct WindowLoginEntry {
    const char* name;
    const char* right;
    const char* deniedText;
    const char* target;  // the window a good login shows
    bool emptyOnLoad = true;
};

const WindowLoginEntry kWindowLogins[] = {
    {.name = "Form52", .right = "buyer", .deniedText = "ليست لديك صلاحية دخول العملاء",
     .target = "Form6"},
    {.name = "Form21", .right = "store", .deniedText = kNoRight, .target = "Form22"},
    {.name = "Form24", .right = "seller", .deniedText = kNoRight, .target = "Form5"},
    {.name = "Form25", .right = "buyer", .deniedText = kNoRight, .target = "Form6"},
    {.name = "Form26", .right = "day", .deniedText = kNoRight, .target = "Form18"},
    {.name = "Form27", .right = "month", .deniedText = kNoRight, .target = "Form11"},
    // Its boxes keep their design text until the user changes them.
    {.name = "Form30", .right = "emplyee", .deniedText = "ليست لديك هذه الصلاحية.",
     .target = "Form32", .emptyOnLoad = false},
};

}  // namespace

void registerWindowLogins(Application& app) {
    for (const WindowLoginEntry& w : kWindowLogins)
        app.registerForm(w.name, [w](Application& a) {
            return std::make_unique<WindowLogin>(a, w.name, w.right, w.deniedText, w.target,
                                                 w.emptyOnLoad);
        });
}

}  // namespace mk
