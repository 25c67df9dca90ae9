// The incoming invoice window Form17: a member of the invoice family over
// BUY_INVOICE, with a supplier chooser, typed buy prices and expiry dates.
// Its save needs a payment type: cash takes the total out of the cash box,
// deferred adds it to the supplier's balance, part pays what the user types
// from the cash box and adds the rest to the supplier. The lines go into
// the chosen group's stock at a weighted buy price and into the day's
// input. The later payment button is never shown.
#pragma once

#include "invoices/stock_invoice.h"

namespace mk {

class Form17 : public StockInvoice {
public:
    static constexpr const char* kName = "Form17";
    explicit Form17(Application& a);

    Frame* Frame1;
    OptionButton* Option1;  // cash
    OptionButton* Option2;  // deferred
    OptionButton* Option3;  // part now, the rest deferred
    CommandButton* Command2;  // the later payment, hidden

    void tablesChanged(const ChangedTables& tables) override;

protected:
    PaymentChoice readPayment() override;
    void confirmPosting(const PostedInvoice& posted) override;
    void invoiceStarted() override;
    Control* firstToFill() override;

private:
    // The payment by the frame's choice to the supplier on the invoice.
    PaymentChoice paymentOf(const char* referenceField);
    void tellMoney(const PaymentPlan& plan);
    void showStock();
    void PayIncomingInvoice();

    PaymentOptions options_;
};

}  // namespace mk
