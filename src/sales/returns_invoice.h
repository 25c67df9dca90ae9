// The returns invoice window Form28: a member of the invoice family over
// RETURN_INVOICE whose prices are typed and whose lines carry the day of
// the return. Its save pays the returns total (a 16-bit whole number,
// rounded half to even line by line) out of the cash box and raises each
// returned item's RETURN counter in the chosen group; the stock on hand
// and the day's movement are left as they are.
#pragma once

#include "invoices/stock_invoice.h"

namespace mk {

class Form28 : public StockInvoice {
public:
    static constexpr const char* kName = "Form28";
    explicit Form28(Application& a);

protected:
    PaymentChoice readPayment() override;
    void confirmPosting(const PostedInvoice& posted) override;
};

}  // namespace mk
