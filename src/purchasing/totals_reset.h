// The totals-reset window: sets TOTAL and TOTAL-SELL of every INVENTORY
// row to zero. Shown only by the login window Form21.
#pragma once

#include "platform/form.h"

namespace mk {

class Form22 : public Form {
public:
    static constexpr const char* kName = "Form22";
    explicit Form22(Application& a);
    void Form_Load() override;

    Adodc* Adodc1;
    Label* Label1;
    CommandButton* Command1;
    CommandButton* Command2;

private:
    void resetTotals();
};

}  // namespace mk
