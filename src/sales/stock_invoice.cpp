#include "sales/stock_invoice.h"

#include "platform/dialogs.h"

namespace mk {

StockInvoice::StockInvoice(Application& a, const InvoiceConfig& config, StockFlow flow)
    : InvoiceWindow(a, config), flow_(flow) {}

bool StockInvoice::checkPosting(const Invoice& inv) {
    // Slot 32 is never posted.
    std::vector<StockLine> lines;
    for (const InvoiceLine& l : inv.lines)
        if (l.slot <= 31) lines.push_back({l.slot, l.item, l.quantity, l.price});
    plan_ = planStock(database(), inv.group, flow_, lines);
    if (!plan_.ok()) {
        MsgBox(plan_.problem, mb::OKOnly, "Attention");
        return false;
    }
    return true;
}

void StockInvoice::applyPlannedStock() {
    applyStock(database(), plan_);
}

void StockInvoice::showPostedItems(const Invoice& inv) {
    for (const InvoiceLine& l : inv.lines)
        if (l.slot <= 31 && l.quantity != 0 && l.item != ".") Label5->displayCaption(l.item);
    showPostedStock(app(), inv.group);
}

bool StockInvoice::askPaidNow(double& paid) {
    const std::string typed = InputBox("أدخل المبلغ المراد دفعه الآن :", "أدخل المبلغ :");
    if (typed.empty()) return false;
    const auto amount = parseNumber(typed);
    if (!amount || *amount < 0) {
        MsgBox("المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر", mb::OKOnly, "Attention");
        return false;
    }
    paid = *amount;
    return true;
}

void StockInvoice::tellCashAdded(double amount, const std::string& partner) {
    MsgBoxLeftToRight(
        {" ألى الصندوق ", formatDouble(amount), "بقيمة ", partner, " تم أضافة حساب فاتورة  "});
}

}  // namespace mk
