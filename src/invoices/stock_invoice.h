// The members of the invoice family (retail, wholesale, returns,
// incoming): their stock flow is their configuration's, and each says how
// the invoice on screen is paid. The payment frame of the wholesale and
// incoming windows, the planning of a payment made apart from a save (the
// hidden collection and later payment buttons), and the messages the
// members share are here.
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
    // The kind set, or nullopt when none is.
    std::optional<PaymentKind> chosen() const;
};

class StockInvoice : public InvoiceWindow {
public:
    using InvoiceWindow::InvoiceWindow;
    void tablesChanged(const ChangedTables& tables) override;

protected:
    // A payment of the invoice's total in cash, referenced by its number.
    static PaymentChoice cashPayment(CashFlow flow, const char* referenceField);
    // A payment made apart from a save: planned by the choice (a part
    // payment's amount asked), or nullopt when it cannot be made (told why).
    std::optional<PaymentPlan> planMoney(const PaymentChoice& choice, double total,
                                         int32_t number);
    // The lines and total of the invoice on screen, or nullopt (told why).
    std::optional<Invoice> linesOnScreen();
    // After the writes: each posted item in turn in the found-number label.
    void showPostedItems(const Invoice& inv);
    // Tells that an amount went into the cash box for the invoice of a
    // customer or supplier ("": none named).
    void tellCashAdded(double amount, const std::string& partner = "");
};

}  // namespace mk
