// The wholesale windows: the wholesale sales invoice window Form42 over
// SALES_INVO_GROUP and the wholesale issue voucher window Form53 over
// COAST_INVO_GROUP, members of the invoice family priced from the items'
// wholesale price. Each invoice is paid by one payment type of the frame
// "تحصيل الفاتورة": cash (the total into the cash box), credit (the total
// onto the customer's debt in BUYER) or part payment (a typed amount into
// the cash box, the rest onto the debt). The save then takes the lines out
// of stock and adds them to the day's output, as the retail window does.
//
// The customer is the buyer the invoice stores (the chooser DataCombo2, on
// SALES_MAN): the one charged, shown in the buyer label Label17. A name
// typed into the chooser counts only when a customer row carries it, and
// then acts as its pick; otherwise the save is refused. The two windows
// differ only in data (WholesaleConfig).
#pragma once

#include <string>

#include "invoices/stock_invoice.h"

namespace mk {

struct WholesaleConfig {
    InvoiceConfig invoice;
    bool notes;            // the notes box Text11 on NOTES
    // A pick disables the buyer chooser until the window is opened anew;
    // each later document of that opening is the chosen customer's, and
    // before a pick its buyer is ".". Otherwise Add starts every document
    // with no buyer.
    bool buyerPickedOnce;
};

class WholesaleInvoice : public StockInvoice {
public:
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
    PaymentChoice readPayment() override;
    void confirmPosting(const PostedInvoice& posted) override;
    void invoiceStarted() override;

private:
    void buildPanel();
    void pickBuyer();
    // A typed name of a listed customer acts as its pick.
    void takeTypedBuyer();
    void collect();
    // A payment of the invoice on screen of that kind, charged to the buyer
    // it stores.
    PaymentChoice paymentOf(std::optional<PaymentKind> kind);
    void tellPayment(const PaymentPlan& plan);

    const WholesaleConfig& wholesale_;
    PaymentOptions options_;
    std::string chosenBuyer_;  // the customer of this opening (buyerPickedOnce)
};

void registerWholesaleWindows(Application& app);

}  // namespace mk
