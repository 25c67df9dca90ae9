// The supplier items listing form171: for a supplier name the user types,
// one printed line per INVENTORY item with what the purchase invoices of
// that supplier hold of it (quantity, the last price and discount, the
// sums of net and gross values). Nothing in the program opens it.
#pragma once

#include "platform/form.h"

namespace mk {

class form171 : public Form {
public:
    static constexpr const char* kName = "form171";
    explicit form171(Application& a);
    void Form_Load() override;

    Adodc* Adodc1;  // INVENTORY
    Adodc* Adodc2;  // BUY_INVOICE
    Adodc* Adodc3;  // SUPPLIER, the list of DataCombo1
    Label* Label2;  // the supplier shown
    CommandButton* Command1;

private:
    void listSupplier();
};

}  // namespace mk
