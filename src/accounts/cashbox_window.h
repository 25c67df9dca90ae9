// The cash box window: the current balance, the way to the two voucher
// windows and the cash box report. Its Adodc1 is also read by the main
// window's totals and posted through by the wage payment.
#pragma once

#include "platform/form.h"

namespace mk {

class Form34 : public Form {
public:
    static constexpr const char* kName = "Form34";
    explicit Form34(Application& a);
    void Form_Load() override;

    Adodc* Adodc1;
    Label* Label1;
    TextBox* Text1;
    CommandButton* Command3;
    CommandButton* Command2;
};

}  // namespace mk
