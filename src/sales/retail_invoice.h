// The retail sales invoice window Form3: a member of the invoice family
// over SALES_INVOICE, priced from the items' retail price. Its save takes
// the lines out of the chosen group's stock, adds them to the day's
// output, marks the invoice posted and receives the total into the cash
// box.
#pragma once

#include "invoices/stock_invoice.h"

namespace mk {

class Form3 : public StockInvoice {
public:
    static constexpr const char* kName = "Form3";
    explicit Form3(Application& a);

protected:
    PaymentChoice readPayment() override;
    void confirmPosting(const PostedInvoice& posted) override;
};

}  // namespace mk
