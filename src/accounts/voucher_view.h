// The voucher movement view Form39: the receipt vouchers of the customer
// shown on the customers window, printed once per showing. It writes
// nothing.
#pragma once

#include "platform/form.h"

namespace mk {

class Form39 : public Form {
public:
    static constexpr const char* kName = "Form39";
    explicit Form39(Application& a);
    void Form_Paint() override;

    Adodc* Adodc1;  // REVEIVED_MONEY
    Label* Label4;
    Label* Label5;
    Label* Label1;
    TextBox* Text1;
};

}  // namespace mk
