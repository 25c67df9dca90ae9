#include "invoices/stock_invoice.h"

#include "data/record_editing.h"
#include "data/refresh.h"
#include "platform/application.h"

namespace mk {

std::optional<PaymentKind> PaymentOptions::chosen() const {
    if (cash->value) return PaymentKind::Cash;
    if (credit->value) return PaymentKind::Credit;
    if (part->value) return PaymentKind::Part;
    return std::nullopt;
}

PaymentChoice StockInvoice::cashPayment(CashFlow flow, const char* referenceField) {
    return {.kind = PaymentKind::Cash, .flow = flow, .referenceField = referenceField};
}

std::optional<PaymentPlan> StockInvoice::planMoney(const PaymentChoice& choice, double total,
                                                   int32_t number) {
    PaymentOutcome outcome = planChosenPayment(database(), choice, total, Value::i32(number),
                                               Value(documentDate(app())),
                                               [this] { return askPaidNow(); });
    if (!outcome.plan) say(outcome.refusal);
    return std::move(outcome.plan);
}

std::optional<Invoice> StockInvoice::linesOnScreen() {
    InvoiceCheck check = totalLines(book(), readDocument(false).lines);
    if (!check.invoice) say(check.refusal);
    return std::move(check.invoice);
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

void StockInvoice::tellCashAdded(double amount, const std::string& partner) {
    MsgBoxLeftToRight(
        {" ألى الصندوق ", formatDouble(amount), "بقيمة ", partner, " تم أضافة حساب فاتورة  "});
}

}  // namespace mk
