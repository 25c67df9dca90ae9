#include "sales/returns_invoice.h"

#include "data/record_editing.h"

namespace mk {

namespace {

InvoiceConfig returnsConfig() {
    InvoiceConfig c{
        "Form28",
        "فواتير المرتجعات",
        " فواتير المرتجعات ل ",
        "RETURN_INVOICE",
        {{"Adodc2", "RETURN_INVOICE"}, {"Adodc1", "qqq"}, {"Adodc4", "BUYER"}, {"Adodc5", "BOX"}},
        "Adodc5",
        nullptr,
        "Adodc4",
        "BUYER",
        "BUYER",
        "Adodc1",
        nullptr,
        {},
        {{"DataCombo1", "MED_NAME", LineRole::Item, 2280, "Label1", 4, "اسم قطعة الغيار"},
         {"Text3", "QNTITY", LineRole::Quantity, 720},
         {.control = "Text6", .stem = "PRICE", .role = LineRole::Price, .width = 720,
          .heading = "Label1", .headingIndex = 9, .headingText = "السعر", .secondHeadingIndex = 11},
         {.control = "Text4", .stem = "EXPIRY_ DATE", .role = LineRole::Date, .width = 1380,
          .heading = "Label1", .headingIndex = 6, .headingText = "تاريخ الإستيراد",
          .entryHidden = true, .secondHeadingIndex = 10}},
        nullptr,
        "Text5",
        "Command1",
        "Check3",
        {"Check1", "Check2", "Check3"},
        "Label14",
        nullptr,
        -1,
        nullptr,
        "Label8",
        "Label9",
        "Label7",
        "الفاتورة الحالية رقم ",
        "إختر مجموعة الأصناف",
        {"FILE", "ملف"},
        {"EXITE", "إنهاء"},
        {"SEARCH", "البحث"},
        {"search_invo_no", "أبحث برقم فاتورة المرتجعات"},
        {"REPORT", "التقارير"},
        {nullptr, nullptr},
        "Form45",
        "RETURN_INVOICE",
        " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
        "لقد تم إضافة فاتورة المرتجعات سابقا .",
        "Attention",
        "هل تريد إدخال فاتورة أخرى ",
        "إضافة فاتورة أخرى",
        false,
    };
    c.buyerCaption = "أسم العميل";
    c.totalBox = "Text8";
    c.totalCaption = "Label10";
    c.totalText = "جملة الفاتورة";
    c.totalStored = false;
    c.wholeTotal = true;
    c.addHidesHint = false;
    return c;
}

const InvoiceConfig kReturns = returnsConfig();

}  // namespace

Form28::Form28(Application& a) : StockInvoice(a, kReturns, StockFlow::Return) {
    // Further serial labels of the design, shown by the invoice view.
    for (int k = 32; k < 37; ++k)
        add<Label>("Label2", k, Geometry{0, 0, 420, 285})->visible = false;
}

std::optional<Payment> Form28::payment(const Invoice& inv) {
    return invoicePayment(inv.total, inv.number, CashFlow::Out, "RETURN_INV");
}

void Form28::confirmPosting(const Invoice& inv, const Posting& posting) {
    for (const InvoiceLine& l : inv.lines) {
        if (l.slot > 31) break;
        if (l.quantity != 0 && l.item != ".") Label5->displayCaption(l.item);
        Print({"MED_NAME" + std::to_string(l.slot)});
    }
    // It names no customer.
    tellCashAdded(posting.payment.cash);
}

}  // namespace mk
