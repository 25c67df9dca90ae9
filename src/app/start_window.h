// The start window: the company profile, the title line every window puts
// into its caption, and the one way in (start, or start a new day).
#pragma once

#include "data/window_links.h"
#include "platform/form.h"

namespace mk {

class Form16 : public Form, public StartWindowLinks {
public:
    static constexpr const char* kName = "Form16";
    explicit Form16(Application& a);
    void Form_Load() override;
    std::string companyTitle() const override { return Label3->caption(); }

    Adodc* Adodc1;  // Admin
    Adodc* Adodc2;  // DIM
    TextBox* Text1[8];
    Label* Label1[8];
    CheckBox* Check1;
    CommandButton* Command1;  // start
    CommandButton* Command2;  // start a new day
    CommandButton* Command3;  // continue
    Label* Label3;            // the company title line
    TextBox* Text2;           // Admin.enter
    PictureBox* Picture1[4];
    Timer* Timer1;
    Timer* Timer2;
    Timer* Timer3;

private:
    void showTitleLine();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
};

}  // namespace mk
