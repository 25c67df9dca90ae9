// The members of the invoice family whose save moves stock (retail,
// wholesale, returns, incoming). The save's check plans the lines of slots
// 1..31 through the chosen group's table and refuses with the plan's reason;
// the member's post() writes that plan with applyPlannedStock().
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

private:
    StockFlow flow_;
    StockPlan plan_;
};

}  // namespace mk
