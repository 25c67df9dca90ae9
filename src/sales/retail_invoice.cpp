#include "sales/retail_invoice.h"

#include "data/record_editing.h"

namespace mk {

namespace {

const InvoiceConfig kRetail{
    .name = "Form3",
    .designCaption = "فواتير المبيعات القطاعى",
    .captionPrefix = " فواتير مبيعات القطاعى ل ",
    .table = "SALES_INVOICE",
    .flow = StockFlow::Out,
    .dataControls = {{.control = "Adodc7", .table = "BOX"},
                     {.control = "Adodc8", .table = "DIM"},
                     {.control = "Adodc4", .table = "BUYER"},
                     {.control = "Adodc5", .table = "qqq"},
                     {.control = "Adodc6", .table = "DAILY_TRADE"},
                     {.control = "Adodc2", .table = "SALES_INVOICE"}},
    .boxControl = "Adodc7",
    .dailyControl = "Adodc6",
    .partnersControl = "Adodc4",
    .partnersListField = "BUYER",
    .partnerField = "SALES_MAN",
    .groupsControl = "Adodc5",
    .dimControl = "Adodc8",
    .companyLabels = {{.caption = 18, .value = 19},
                      {.caption = 20, .value = 21},
                      {.caption = 22, .value = 23},
                      {.caption = 25, .value = 26},
                      {.caption = 27, .value = 28}},
    .columns = salesLineColumns(),
    .priceField = "UNITE_PRICE",
    .counterBox = "Text8",
    .stepButton = "Command2",
    .taskFlag = "Check4",
    .flags = {"Check1", "Check2", "Check4"},
    .hintLabel = "Label17",
    .stockCaption = {.name = "Label24", .index = 0},
    .stockBox = "Text9",
    .userCaption = "Label14",
    .userLabel = "Label15",
    .currentCaption = "Label10",
    .currentText = "الفاتورة الحالية رقم ",
    .groupPrompt = "إختر مجموعة الاصناف",
    .fileMenu = {.name = "operat", .caption = "ملف"},
    .exitItem = {.name = "exit", .caption = "إتهاء"},
    .searchMenu = {.name = "SEARCH", .caption = "بحث"},
    .searchItem = {.name = "INV_NO", .caption = "أبحث برقم الفاتورة"},
    .reportMenu = {.name = "salesr", .caption = "تقرير"},
    .reportItem = {.name = "Sales", .caption = "تقرير عن فواتير المستهلك"},
    .searchLogin = "Form14",
    .report = "DataReport3",
    .exitWarning = " لم تكمل حفظ الفاتورة أو انك اردت إدخال فاتورة جديدة ارجع و تمم المهمة ",
    .postedText = "لقد تم خصم هذه الفاتورة سابقا.",
    .postedTitle = "Attention",
    .anotherPrompt = "هل تريد ملىء فاتورة أخرى ",
    .anotherTitle = "هل تريد إضافة فاتورة أخرى",
    .cancelEnablesChooser = true,
    .view = {.enables = ViewFlags::None, .serials = true, .secondHeadings = true,
             .totalCaption = true},
};

}  // namespace

Form3::Form3(Application& a) : StockInvoice(a, kRetail) {}

PaymentChoice Form3::readPayment() { return cashPayment(CashFlow::In, "OUT_INVOICE"); }

void Form3::confirmPosting(const PostedInvoice& posted) {
    showPostedItems(posted.invoice);
    Print({});
    Print({" the quantities were subtracted "});
    tellCashAdded(posted.payment.cash);
}

}  // namespace mk
