// The cash box window: the current balance (the ledger's last row, shown
// again after every posting), the way to the two voucher windows and the
// cash box report.
#pragma once

#include "platform/form.h"

namespace mk {

class Form34 : public Form {
public:
    static constexpr const char* kName = "Form34";
    explicit Form34(Application& a);
    void Form_Load() override;
    // The balance shown follows every posting.
    void tablesChanged(const ChangedTables& tables) override;
    // The balance of the ledger's last row as this window holds it (its data
    // control left on that row), for the main window's totals.
    double lastBalance();

    Adodc* Adodc1;
    Label* Label1;
    TextBox* Text1;
    CommandButton* Command3;
    CommandButton* Command2;
};

}  // namespace mk
