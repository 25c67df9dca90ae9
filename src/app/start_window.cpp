#include "app/start_window.h"

#include <cmath>

#include "data/record_editing.h"
#include "platform/application.h"
#include "store/day_quantities.h"

namespace mk {

namespace {

constexpr const char* kTitlePrefix = "  مخزن و حسابات ";
constexpr const char* kReservedUser = "529";
constexpr const char* kWelcome =
    "شركة نورفال تهنئك لإستخدامك البرنامج و نرجو ان تدخل بيانات و لوجو شركتكم لتظهر بالتقارير "
    "و الفواتير";
constexpr const char* kNumberTooLong = "رقم التليفون أو الفاكس أكبر من أن يحفظ، من فضلك راجعه";

const char* const kCompanyFields[8] = {"COMPANY_NAME", "PHONE", "FAX", "LOGO",
                                       "WEB", "EMAIL", "TAX_NUMBER", "ACCOUNTING_NUMBER"};
const char* const kCompanyLabels[8] = {"أسم الشركة", "رقم التليفون", "رقم الفاكس",
                                       "لوجو الشركة", "الموقع الإلكترونى", "الإميل",
                                       "السجل الضريبى", "السجل التجارى"};

// The number at the start of a phone or fax text, to the nearest whole
// number; false when it does not fit a 32-bit field.
bool phoneNumber(const std::string& text, int32_t& out) {
    const double n = std::nearbyint(leadingNumber(text));
    if (!(n >= -2147483648.0 && n <= 2147483647.0)) return false;
    out = static_cast<int32_t>(n);
    return true;
}

// The pictures in the corners; the company's data (caption at the right
// of its box) over the security check box; the buttons, right to left.
constexpr TwipGrid kCorners{
    .right = 7080, .top = 120, .colStep = 6000, .rowStep = 5400, .width = 960, .height = 960};
constexpr TwipGrid kCompany{
    .right = 6600, .top = 1200, .colStep = 2040, .rowStep = 420, .width = 3360, .height = 315};
constexpr double kCaptionWidth = 1920, kCheckWidth = 5400;
constexpr TwipGrid kButtons{
    .right = 6240, .top = 5040, .colStep = 1740, .width = 1560, .height = 375};

}  // namespace

Form16::Form16(Application& a) : Form(a, kName) {
    caption = kTitlePrefix;
    width = 7200;
    height = 7200;
    for (int i = 0; i < 4; ++i) {
        // Left then right, top then bottom.
        Picture1[i] = add<PictureBox>("Picture1", i, kCorners.cell(1 - i % 2, i / 2));
        Picture1[i]->picture = "store";
        Picture1[i]->border = false;
    }
    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");
    Label3 = addHidden<Label>("Label3");
    Text2 = addHidden<TextBox>("Text2");
    Text2->bindTo(*Adodc1, "enter");

    for (int i = 0; i < 8; ++i) {
        Text1[i] = add<TextBox>("Text1", i, kCompany.cell(1, i));
        Text1[i]->visible = false;
        Text1[i]->bindTo(*Adodc2, kCompanyFields[i]);
        Label1[i] = add<Label>("Label1", i, kCompany.captions().cell(0, i, kCaptionWidth),
                               kCompanyLabels[i]);
        Label1[i]->visible = false;
        Label1[i]->alignment = 1;
    }
    Check1 = add<CheckBox>("Check1", -1, kCompany.cell(0, 8, kCheckWidth),
                           "ضع علامة صح |ذا رغبت فى نظام صلاحية");
    Check1->visible = false;
    Check1->alignment = 1;
    Check1->bindTo(*Adodc2, "SECURITY");

    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(0, 0), "أبدأ");
    Command2 = add<CommandButton>("Command2", -1, kButtons.cell(1, 0), "أبدأ يوم جديد");
    Command3 = add<CommandButton>("Command3", -1, kButtons.cell(2, 0), "تابع");
    for (CommandButton* b : {Command1, Command2, Command3}) b->visible = false;
    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };

    Timer1 = add<Timer>("Timer1", -1, 1000, true);
    Timer2 = add<Timer>("Timer2", -1, 2000, false);
    Timer3 = add<Timer>("Timer3", -1, 3000, false);
    Timer1->onTimer = [this] { Timer1_Timer(); };
    Timer2->onTimer = [this] { Timer2_Timer(); };
    Timer3->onTimer = [this] { Timer3_Timer(); };
}

void Form16::Form_Load() {
    bindTable(*Adodc1, "Admin");
    bindTable(*Adodc2, "DIM");
    // A closed day stays closed until the new day is started: the flag is
    // cleared by that start, so a window closed first offers it again.
    bool reservedRow = false;
    Recordset& users = Adodc1->recordset();
    users.moveFirst();
    while (!users.eof()) {
        if (toText(users.field("UserID")) == kReservedUser) {
            reservedRow = true;
            const bool closed = toBool(users.field("enter"));
            Command2->visible = closed;
            Command1->visible = !closed;
        }
        users.update();
        users.moveNext();
    }
    // Without the day-state row the ordinary start stays open to everyone.
    if (!reservedRow) Command1->visible = true;
    Adodc2->recordset().moveFirst();
    showTitleLine();
}

void Form16::showTitleLine() {
    Label3->setCaption(kTitlePrefix + toText(Adodc2->recordset().field("COMPANY_NAME")));
    caption = Label3->caption();
}

void Form16::Command1_Click() {
    Recordset& profile = Adodc2->recordset();
    if (toBool(profile.field("COMP"))) {
        app().show(app().form("Form1"));
        Unload();
        return;
    }
    for (int i = 0; i < 8; ++i) {
        Text1[i]->visible = true;
        Text1[i]->setText("");
        Label1[i]->visible = true;
    }
    Check1->visible = true;
    Command3->visible = true;
    Command1->visible = false;
    MsgBox(kWelcome, mb::OKOnly);
    Text1[0]->SetFocus();
    profile.setField("COMP", true);
}

void Form16::Command2_Click() {
    // The day is open again in the same action that writes its first rows.
    Recordset& users = Adodc1->recordset();
    for (users.moveFirst(); !users.eof(); users.moveNext()) {
        if (toText(users.field("UserID")) == kReservedUser) users.setField("enter", false);
        users.update();
    }
    // Touching the main window's data controls loads it (hidden) first.
    startOfDay(app());
    Print({" كميات بداية اليوم جاهزة الآن "});
    Print({" كميات بداية اليوم جاهزة الآن "});
    app().show(app().form("Form1"));
    Unload();
}

void Form16::Command3_Click() {
    int32_t phone = 0, fax = 0;
    if (!phoneNumber(Text1[1]->text(), phone) || !phoneNumber(Text1[2]->text(), fax)) {
        MsgBox(kNumberTooLong, mb::OKOnly, "ملحوظة");
        return;
    }
    // The numbers go through their bound boxes, so the row stores them and
    // the boxes show what was stored.
    Text1[0]->setText(Text1[0]->text());
    Text1[1]->setText(std::to_string(phone));
    Text1[2]->setText(std::to_string(fax));
    Text1[3]->setText(Text1[3]->text());
    if (!entriesFit(*this, *Adodc2)) return;
    Recordset& profile = Adodc2->recordset();
    profile.setField("COMP", true);
    profile.update();
    // The main window's caption is built from the new company name; this
    // window closes once the main window is up (closing the last window
    // would end the program).
    showTitleLine();
    app().show(app().form("Form1"));
    Unload();
}

void Form16::Timer1_Timer() {
    Picture1[0]->visible = false;
    Timer2_Timer();
}

void Form16::Timer2_Timer() {
    Picture1[3]->visible = false;
    Timer3_Timer();
}

void Form16::Timer3_Timer() {
    Picture1[0]->visible = true;
    Picture1[1]->visible = false;
}

}  // namespace mk
