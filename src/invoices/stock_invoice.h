// The members of the invoice family whose save moves stock and money
// (retail, wholesale, returns, incoming). The save's check refuses a line
// with a quantity and no item, plans the lines of slots 1..31 through the
// chosen group's table, then the member's payment through the money
// service; post() writes both plans and marks
// the invoice posted. The payment frame of the wholesale and incoming
// windows, and the money questions and messages the members share, are
// here too.
#pragma once

#include <optional>
#include <string>

#include "invoices/invoice_window.h"

namespace mk {

// The frame of option buttons that says how an invoice is paid.
struct PaymentOptions {
    OptionButton* cash = nullptr;
    OptionButton* credit = nullptr;
    OptionButton* part = nullptr;
    // The kind set, or nullopt when none is (the user is told so).
    std::optional<PaymentKind> chosen(Form& form) const;
};

class StockInvoice : public InvoiceWindow {
public:
    StockInvoice(Application& a, const InvoiceConfig& config, StockFlow flow);
    void tablesChanged(const ChangedTables& tables) override;

protected:
    // Plans the stock, then the member's payment (payment()); a member
    // with checks of its own calls it among them.
    bool checkPosting(const Invoice& inv, Posting& posting) override;
    // The member's payment of the invoice being saved, or nullopt when it
    // refuses (told why). Nothing has been written.
    virtual std::optional<Payment> payment(const Invoice& inv) = 0;
    // Writes both plans, then marks the invoice posted.
    void post(const Invoice& inv, const Posting& posting) override;

    // A payment of an invoice's total, referenced by its number, dated with
    // the document date.
    Payment invoicePayment(double total, int32_t number, CashFlow flow,
                           const char* referenceField);
    // Plans a payment, first asking the amount paid now of a part payment;
    // nullopt when it cannot be made (told why).
    std::optional<PaymentPlan> planMoney(Payment payment);
    // After the writes: each posted item in turn in the found-number label.
    void showPostedItems(const Invoice& inv);
    // Tells that an amount went into the cash box for the invoice of a
    // customer or supplier ("": none named).
    void tellCashAdded(double amount, const std::string& partner = "");

private:
    // The amount paid now of a part payment; false when the user cancels,
    // or types anything but a number (told so).
    bool askPaidNow(double& paid);

    StockFlow flow_;
};

}  // namespace mk
