// The wholesale windows: the wholesale sales invoice window Form42 over
// SALES_INVO_GROUP and the wholesale issue voucher window Form53 over
// COAST_INVO_GROUP, members of the invoice family priced from the items'
// wholesale price. Each invoice is paid by one payment type of the frame
// "تحصيل الفاتورة": cash (the total into the cash box), credit (the total
// onto the customer's debt in BUYER) or part payment (a typed amount into
// the cash box, the rest onto the debt). The save then takes the lines out
// of stock and adds them to the day's output, as the retail window does.
//
// The customer is the buyer label Label17, written by a pick in the buyer
// chooser. The two windows differ only in data (WholesaleConfig).
#pragma once

#include <string>

#include "sales/stock_invoice.h"

namespace mk {

struct WholesaleConfig {
    InvoiceConfig invoice;
    bool notes;            // the notes box Text11 on NOTES
    bool addClearsBuyer;   // Add empties the buyer label
    bool buyerPickedOnce;  // a pick disables the buyer chooser until the window is opened anew
};

class WholesaleInvoice : public StockInvoice {
public:
    enum class Payment { None, Cash, Credit, Part };

    WholesaleInvoice(Application& a, const WholesaleConfig& config);
    void Form_Load() override;

    Label* Label17;  // the buyer
    Frame* Frame1;
    OptionButton* Option1;  // cash
    OptionButton* Option2;  // credit
    OptionButton* Option3;  // part payment
    CommandButton* Command2;  // collection; hidden and disabled in the design
    TextBox* Text8;           // BUYER.MONEY
    TextBox* Text11 = nullptr;

protected:
    bool checkPosting(const Invoice& inv) override;
    void post(const Invoice& inv) override;
    void confirmPosting(const Invoice& inv) override;
    void invoiceStarted() override;

private:
    void buildPanel();
    void pickBuyer();
    void collect();
    Payment payment() const;
    // Refusals of a payment: the customer of a debt and the amount paid
    // now, asked here; false when the payment cannot be made.
    bool checkPayment(Payment p, const std::string& buyer, double& paid);
    double raiseDebt(const std::string& buyer, double amount);
    void postPayment(int16_t number);
    void tellPayment();

    const WholesaleConfig& wholesale_;
    // The payment being posted, from its checks to its messages.
    Payment payment_ = Payment::None;
    std::string buyer_;
    double total_ = 0;
    double paid_ = 0;
    double debt_ = 0;  // the customer's balance after a credit
};

void registerWholesaleWindows(Application& app);

}  // namespace mk
