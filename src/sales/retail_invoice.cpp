#include "sales/retail_invoice.h"

#include "data/record_editing.h"

namespace mk {

namespace {

const InvoiceConfig kRetail{
    "Form3",
    "فواتير المبيعات القطاعى",
    " فواتير مبيعات القطاعى ل ",
    "SALES_INVOICE",
    {{"Adodc7", "BOX"},
     {"Adodc8", "DIM"},
     {"Adodc4", "BUYER"},
     {"Adodc5", "qqq"},
     {"Adodc6", "DAILY_TRADE"},
     {"Adodc2", "SALES_INVOICE"}},
    "Adodc7",
    "Adodc6",
    "Adodc4",
    "BUYER",
    "SALES_MAN",
    "Adodc5",
    "Adodc8",
    {{18, 19}, {20, 21}, {22, 23}, {25, 26}, {27, 28}},
    {{"DataCombo1", "MED_NAME", LineRole::Item, 2340},
     {"Text3", "QNTITY", LineRole::Quantity, 780},
     {"Text4", "EXPIRY_ DATE", LineRole::Price, 780},
     {"Text5", "SUM", LineRole::Sum, 1080}},
    "UNITE_PRICE",
    "Text8",
    "Command2",
    "Check4",
    {"Check1", "Check2", "Check4"},
    "Label17",
    "Label24",
    0,
    "Text9",
    "Label14",
    "Label15",
    "Label10",
    "الفاتورة الحالية رقم ",
    "إختر مجموعة الاصناف",
    {"operat", "ملف"},
    {"exit", "إتهاء"},
    {"SEARCH", "بحث"},
    {"INV_NO", "أبحث برقم الفاتورة"},
    {"salesr", "تقرير"},
    {"Sales", "تقرير عن فواتير المستهلك"},
    "Form14",
    "DataReport3",
    " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
    "لقد تم خصم هذه الفاتورة سابقا.",
    "Attention",
    "هل تريد ملىء فاتورة أخرى ",
    "هل تريد إضافة فاتورة أخرى",
    true,
};

}  // namespace

Form3::Form3(Application& a) : StockInvoice(a, kRetail, StockFlow::Out) {}

std::optional<Payment> Form3::payment(const Invoice& inv) {
    return invoicePayment(inv.total, inv.number, CashFlow::In, "OUT_INVOICE");
}

void Form3::confirmPosting(const Invoice& inv, const Posting& posting) {
    showPostedItems(inv);
    Print({});
    Print({" the quantities were subtracted "});
    tellCashAdded(posting.payment.cash);
}

}  // namespace mk
