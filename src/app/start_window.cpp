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

}  // namespace

Form16::Form16(Application& a) : Form(a, kName) {
    caption = kTitlePrefix;
    width = 7200;
    height = 7200;
    for (int i = 0; i < 4; ++i) {
        const double left = i % 2 == 0 ? 120 : 6120;
        const double top = i < 2 ? 120 : 5520;
        Picture1[i] = add<PictureBox>("Picture1", i, Geometry{left, top, 960, 960});
        Picture1[i]->picture = "store";
        Picture1[i]->border = false;
    }
    Adodc1 = add<Adodc>("Adodc1", -1, Geometry{1200, 120, 2280, 360});
    Adodc1->visible = false;
    Adodc2 = add<Adodc>("Adodc2", -1, Geometry{3600, 120, 2280, 360});
    Adodc2->visible = false;
    Label3 = add<Label>("Label3", -1, Geometry{1200, 600, 4800, 360});
    Label3->visible = false;
    Text2 = add<TextBox>("Text2", -1, Geometry{1200, 120, 960, 315});
    Text2->visible = false;
    Text2->bindTo(*Adodc1, "enter");

    for (int i = 0; i < 8; ++i) {
        const double top = 1200 + 420.0 * i;
        Text1[i] = add<TextBox>("Text1", i, Geometry{1200, top, 3360, 315});
        Text1[i]->visible = false;
        Text1[i]->bindTo(*Adodc2, kCompanyFields[i]);
        Label1[i] = add<Label>("Label1", i, Geometry{4680, top + 30, 1920, 285}, kCompanyLabels[i]);
        Label1[i]->visible = false;
        Label1[i]->alignment = 1;
    }
    Check1 = add<CheckBox>("Check1", -1, Geometry{1200, 4560, 5400, 315},
                           "ضع علامة صح |ذا رغبت فى نظام صلاحية");
    Check1->visible = false;
    Check1->alignment = 1;
    Check1->bindTo(*Adodc2, "SECURITY");

    Command1 = add<CommandButton>("Command1", -1, Geometry{4680, 5040, 1560, 375}, "أبدأ");
    Command2 = add<CommandButton>("Command2", -1, Geometry{2940, 5040, 1560, 375}, "أبدأ يوم جديد");
    Command3 = add<CommandButton>("Command3", -1, Geometry{1200, 5040, 1560, 375}, "تابع");
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
    bool reservedRow = false;
    Recordset& users = Adodc1->recordset();
    users.moveFirst();
    while (!users.eof()) {
        if (toText(users.field("UserID")) == kReservedUser) {
            reservedRow = true;
            if (toBool(users.field("enter"))) {
                Command2->visible = true;
                Command1->visible = false;
                users.setField("enter", false);
            } else {
                Command2->visible = false;
                Command1->visible = true;
            }
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
