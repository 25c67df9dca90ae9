#include "invoices/stock_invoice.h"

#include "data/record_editing.h"
#include "data/refresh.h"
#include "platform/application.h"

namespace mk {

namespace {

constexpr const char* kAttention = "Attention";
constexpr const char* kNoPayment = " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ";

std::string noItem(int slot) {
    return "السطر " + std::to_string(slot) + " له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا";
}

}  // namespace

std::optional<PaymentKind> PaymentOptions::chosen(Form& form) const {
    if (cash->value) return PaymentKind::Cash;
    if (credit->value) return PaymentKind::Credit;
    if (part->value) return PaymentKind::Part;
    form.MsgBox(kNoPayment);
    return std::nullopt;
}

StockInvoice::StockInvoice(Application& a, const InvoiceConfig& config, StockFlow flow)
    : InvoiceWindow(a, config), flow_(flow) {}

bool StockInvoice::checkPosting(const Invoice& inv, Posting& posting) {
    // A line's money goes with its stock: a line whose item was cleared
    // after it was priced would be paid for and move nothing.
    for (const InvoiceLine& l : inv.lines)
        if (l.quantity != 0 && (l.item == "." || l.item.empty())) {
            MsgBox(noItem(l.slot), mb::OKOnly, kAttention);
            return false;
        }
    // Slot 32 is never posted.
    std::vector<StockLine> lines;
    for (const InvoiceLine& l : inv.lines)
        if (l.slot <= 31) lines.push_back({l.slot, l.item, l.quantity, l.price});
    posting.stock = planStock(database(), inv.group, flow_, lines);
    if (!posting.stock.ok()) {
        MsgBox(posting.stock.problem, mb::OKOnly, kAttention);
        return false;
    }
    const std::optional<Payment> pay = payment(inv);
    if (!pay) return false;
    std::optional<PaymentPlan> plan = planMoney(*pay);
    if (!plan) return false;
    posting.payment = std::move(*plan);
    return true;
}

void StockInvoice::post(const Invoice&, const Posting& posting) {
    applyStock(database(), posting.stock);
    applyPayment(database(), posting.payment);
    markPosted();
}

Payment StockInvoice::invoicePayment(double total, int32_t number, CashFlow flow,
                                     const char* referenceField) {
    return {.total = total,
            .flow = flow,
            .referenceField = referenceField,
            .reference = Value::i32(number),
            .date = Value(documentDate(app()))};
}

std::optional<PaymentPlan> StockInvoice::planMoney(Payment payment) {
    // The partner first: no amount is asked for a payment that cannot be made.
    if (payment.partners)
        if (auto why = partnerProblem(database(), *payment.partners, payment.partner,
                                      needsPartner(payment.kind))) {
            MsgBox(*why, mb::OKOnly, kAttention);
            return std::nullopt;
        }
    if (payment.kind == PaymentKind::Part && !askPaidNow(payment.paidNow)) return std::nullopt;
    PaymentPlan plan = planPayment(database(), payment);
    if (!plan.ok()) {
        MsgBox(plan.problem, mb::OKOnly, kAttention);
        return std::nullopt;
    }
    return plan;
}

void StockInvoice::showPostedItems(const Invoice& inv) {
    for (const InvoiceLine& l : inv.lines)
        if (l.slot <= 31 && l.quantity != 0 && l.item != ".") Label5->displayCaption(l.item);
}

void StockInvoice::tablesChanged(const ChangedTables& tables) {
    InvoiceWindow::tablesChanged(tables);
    // The choosers list what is stored now: a customer, supplier, group or
    // item another window added can be picked at once.
    for (Adodc* list :
         {&dataControl(config().partnersControl), &dataControl(config().groupsControl), Adodc3})
        if (list->isOpen() && tableChanged(tables, list->RecordSource)) showStored(*list);
    // The stock box follows postings of the item it shows, whichever window
    // made them.
    const std::string& item = shownStockItem();
    if (item.empty() || !config().stockBox || !tableChanged(tables, group())) return;
    if (auto onHand = storedStock(database(), group(), item))
        textBox(config().stockBox).displayText(std::to_string(*onHand));
}

bool StockInvoice::askPaidNow(double& paid) {
    const std::string typed = InputBox("أدخل المبلغ المراد دفعه الآن :", "أدخل المبلغ :");
    if (typed.empty()) return false;
    const auto amount = parseNumber(typed);
    if (!amount) {
        MsgBox("المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر", mb::OKOnly, kAttention);
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
