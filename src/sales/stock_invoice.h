// The members of the invoice family whose save moves stock (retail,
// wholesale, returns, incoming). The save's check plans the lines of slots
// 1..31 through the chosen group's table and refuses with the plan's reason;
// the member's post() writes that plan with applyPlannedStock(). The money
// questions and messages the members share are here too.
#pragma once

#include "sales/invoice_window.h"
#include "store/stock_posting.h"

namespace mk {

class StockInvoice : public InvoiceWindow {
public:
    StockInvoice(Application& a, const InvoiceConfig& config, StockFlow flow);

protected:
    // Plans the stock; a member with checks of its own calls it among them.
    bool checkPosting(const Invoice& inv) override;
    // Writes the plan the last check made, in this same action.
    void applyPlannedStock();
    const StockPlan& plannedStock() const { return plan_; }
    // After the writes: each posted item in turn in the found-number label,
    // and the main window's item card re-read for the group.
    void showPostedItems(const Invoice& inv);
    // The amount paid now of a part payment; false when the user cancels,
    // or types anything but an amount of 0 or more (told so).
    bool askPaidNow(double& paid);
    // Tells that an amount went into the cash box for the invoice of a
    // customer or supplier ("": none named).
    void tellCashAdded(double amount, const std::string& partner = "");

private:
    StockFlow flow_;
    StockPlan plan_;
};

}  // namespace mk
