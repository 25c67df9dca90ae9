#include "sales/returns_invoice.h"

#include "data/record_editing.h"

namespace mk {

namespace {

const InvoiceConfig kReturns{
    .name = "Form28",
    .designCaption = "فواتير المرتجعات",
    .captionPrefix = " فواتير المرتجعات ل ",
    .table = "RETURN_INVOICE",
    .flow = StockFlow::Return,
    .dataControls = {{.control = "Adodc2", .table = "RETURN_INVOICE"},
                     {.control = "Adodc1", .table = "qqq"},
                     {.control = "Adodc4", .table = "BUYER"},
                     {.control = "Adodc5", .table = "BOX"}},
    .boxControl = "Adodc5",
    .partnersControl = "Adodc4",
    .partnersListField = "BUYER",
    .partnerField = "BUYER",
    .groupsControl = "Adodc1",
    .columns = {{.control = "DataCombo1", .stem = "MED_NAME", .role = LineRole::Item,
                 .width = 2280, .heading = {.name = "Label1", .index = 4},
                 .headingText = "اسم قطعة الغيار"},
                {.control = "Text3", .stem = "QNTITY", .role = LineRole::Quantity, .width = 720},
                {.control = "Text6", .stem = "PRICE", .role = LineRole::Price, .width = 720,
                 .heading = {.name = "Label1", .index = 9}, .headingText = "السعر",
                 .secondHeadingIndex = 11},
                {.control = "Text4", .stem = "EXPIRY_ DATE", .role = LineRole::Date,
                 .width = 1380, .heading = {.name = "Label1", .index = 6},
                 .headingText = "تاريخ الإستيراد", .entryHidden = true,
                 .secondHeadingIndex = 10}},
    .priceField = nullptr,
    .counterBox = "Text5",
    .stepButton = "Command1",
    .taskFlag = "Check3",
    .flags = {"Check1", "Check2", "Check3"},
    .hintLabel = "Label14",
    .userCaption = "Label8",
    .userLabel = "Label9",
    .currentCaption = "Label7",
    .currentText = "الفاتورة الحالية رقم ",
    .groupPrompt = "إختر مجموعة الأصناف",
    .buyerCaption = "أسم العميل",
    .totalBox = "Text8",
    .totalCaption = "Label10",
    .totalText = "جملة الفاتورة",
    .totalStored = false,
    .wholeTotal = true,
    .fileMenu = {.name = "FILE", .caption = "ملف"},
    .exitItem = {.name = "EXITE", .caption = "إنهاء"},
    .searchMenu = {.name = "SEARCH", .caption = "البحث"},
    .searchItem = {.name = "search_invo_no", .caption = "أبحث برقم فاتورة المرتجعات"},
    .reportMenu = {.name = "REPORT", .caption = "التقارير"},
    .searchLogin = "Form45",
    .report = "RETURN_INVOICE",
    .exitWarning = " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
    .postedText = "لقد تم إضافة فاتورة المرتجعات سابقا .",
    .postedTitle = "Attention",
    .anotherPrompt = "هل تريد إدخال فاتورة أخرى ",
    .anotherTitle = "إضافة فاتورة أخرى",
    .cancelEnablesChooser = false,
    .addHidesHint = false,
    .view = {.enables = ViewFlags::None, .serials = true, .secondHeadings = true,
             .totalCaption = false},
};

}  // namespace

Form28::Form28(Application& a) : StockInvoice(a, kReturns) {
    // Further serial labels of the design, empty, shown by the invoice view.
    for (int k = 32; k < 37; ++k) addViewLabel(addHidden<Label>("Label2", k));
}

PaymentChoice Form28::readPayment() { return cashPayment(CashFlow::Out, "RETURN_INV"); }

void Form28::confirmPosting(const PostedInvoice& posted) {
    for (const InvoiceLine& l : posted.invoice.lines) {
        if (l.slot > 31) break;
        if (l.quantity != 0 && l.item != ".") Label5->displayCaption(l.item);
        Print({"MED_NAME" + std::to_string(l.slot)});
    }
    // It names no customer.
    tellCashAdded(posted.payment.cash);
}

}  // namespace mk
