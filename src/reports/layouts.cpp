// The sixteen printed reports, declared as data: each binds one table
// command and lays its rows out in five bands. Positions and sizes are
// twips relative to the band's top-left corner; items are listed from left
// to right, lines last.
#include "reports/opener.h"

namespace mk {

namespace {

using C = ReportColor;
using Items = std::vector<ReportItem>;

ReportItem lab(const char* text, double left, double width, C color = C::Default) {
    return ReportItem::label(text, left, width, 0, 240, color);
}
ReportItem lab(const char* text, double left, double width, double top, double height,
               C color = C::Default) {
    return ReportItem::label(text, left, width, top, height, color);
}
ReportItem fld(const char* name, double left, double width, C color = C::Default) {
    return ReportItem::field(name, left, width, 0, 240, color);
}
ReportItem fld(const char* name, double left, double width, double top, double height,
               C color = C::Default) {
    return ReportItem::field(name, left, width, top, height, color);
}
ReportItem line(double left, double width, double top) {
    return ReportItem::hline(left, width, top);
}

// An item in a bold font of its own.
ReportItem bold(ReportItem item, double size) {
    item.bold = true;
    item.fontSize = size;
    return item;
}

// Every item of a band in one bold size (the column headings).
Items bold(Items items, double size) {
    for (ReportItem& i : items) i = bold(std::move(i), size);
    return items;
}

ReportBand band(double height, Items items = {}) {
    ReportBand b;
    b.height = height;
    b.items = std::move(items);
    return b;
}

ReportLayout layout(const char* name, const char* caption, const char* command,
                    const char* table, double width) {
    ReportLayout l;
    l.name = name;
    l.caption = caption;
    l.command = command;
    l.table = table;
    l.width = width;
    return l;
}

std::vector<ReportLayout> makeLayouts() {
    std::vector<ReportLayout> all;

    {  // Wholesale sales invoices, as the main window and the retail window print them.
        ReportLayout r = layout("DataReport3", "تقرير فواتير المبيعات", "SALES_INVO_GROUP",
                                "SALES_INVO_GROUP", 9075);
        r.reportHeader = band(570, {lab("%d", 1134, 1440),
                                    bold(lab("تقرير ببيانات فواتير المبيعات", 2835, 3972, 0,
                                             435, C::Blue),
                                         20.25)});
        r.pageHeader = band(420, bold({lab("رقم الفاتورة", 0, 1290, C::Red),
                                       lab("تاريخ الفاتورة", 2835, 1590, C::Red),
                                       lab("أسم المشترى", 5102, 1290, C::Red),
                                       lab("إجمالى الفاتورة", 6803, 1290, C::Red)},
                                      12));
        r.detail = band(320, {fld("INVO_NO", 0, 1155, C::DarkGrey),
                              fld("DATES", 2835, 1440, C::DarkGrey), fld("SALES_MAN", 5102, 1440),
                              fld("TOTAL_SUM", 6803, 1440, C::DarkGrey), line(0, 7937, 320),
                              line(0, 9071, 0)});
        r.pageFooter =
            band(510, {lab("%p", 5102, 1440), bold(lab("صفحة رقم", 6803, 1440, C::Blue), 9.75)});
        r.reportFooter = band(810, {lab("%P", 5102, 1440, 567, 240),
                                    bold(lab("عدد صفحات التقرير", 6236, 1440, 567, 240, C::Blue),
                                         9.75)});
        all.push_back(std::move(r));
    }
    {  // Wholesale sales invoices, from the wholesale invoice window.
        ReportLayout r = layout("DataReport11", "تقرير بفواتير المبيعات", "SALES_INVO_GROUP",
                                "SALES_INVO_GROUP", 7605);
        r.reportHeader = band(
            585, {lab("%d", 567, 1440),
                  bold(lab("تقرير بفواتير مبيعات الجملة", 1728, 4635, 0, 570, C::Blue), 24)});
        r.pageHeader =
            band(360, bold({lab("INVO_NO:", 0, 1305, C::Red), lab("SALES_MAN:", 1701, 1305, C::Red),
                            lab("DATES:", 3968, 1305, C::Red), lab("TOTAL_SUM:", 5669, 1290, C::Red)},
                           8.25));
        r.detail = band(330, {fld("INVO_NO", 0, 1440), fld("SALES_MAN", 1701, 1440),
                              fld("DATES", 3968, 1440), fld("TOTAL_SUM", 5669, 1440),
                              line(0, 6810, 0), line(0, 7365, 320)});
        r.pageFooter =
            band(255, {lab("%p", 4536, 566), bold(lab("صفحة رقم", 5102, 1440, C::Blue), 9.75)});
        r.reportFooter = band(
            345, {lab("%P", 4536, 555), bold(lab("عدد صفحات التقرير", 5102, 1440, C::Blue), 9.75)});
        all.push_back(std::move(r));
    }
    {  // Wholesale issue vouchers.
        ReportLayout r = layout("DataReport13", "DataReport13", "COAST_INVO_GROUP",
                                "COAST_INVO_GROUP", 8810);
        r.reportHeader =
            band(615, {lab("%d", 567, 1440),
                       bold(lab("تقرير بإذون صرف الجملة", 2268, 4535, 0, 570, C::Blue), 24)});
        r.pageHeader = band(
            345, bold({lab("INVO_NO:", 567, 1305, C::Red), lab("SALES_MAN:", 2268, 1305, C::Red),
                       lab("DATES:", 4535, 1305, C::Red), lab("TOTAL_SUM:", 6236, 1290, C::Red)},
                      9.75));
        r.detail = band(360, {fld("INVO_NO", 567, 1440), fld("SALES_MAN", 2268, 1440),
                              fld("DATES", 4535, 1440), fld("TOTAL_SUM", 6236, 1440)});
        r.pageFooter =
            band(345, {lab("%p", 4535, 1440), bold(lab("صفحة رقم", 6803, 1440, C::Blue), 9.75)});
        r.reportFooter = band(360);
        all.push_back(std::move(r));
    }
    {  // Returns invoices.
        ReportLayout r = layout("RETURN_INVOICE", "تقرير عن فواتير المرتجعات", "RETURN_INV",
                                "RETURN_INVOICE", 4535);
        r.reportHeader =
            band(300, {bold(lab("تقرير بفواتير المرتجعات", 567, 2604, 0, 285, C::Blue), 14.25)});
        r.pageHeader = band(435, bold({lab("رقم الفاتورة", 144, 1005, 144, 240, C::Blue),
                                       lab("تاريخ الفاتورة", 1440, 1005, 144, 285, C::Blue),
                                       lab("أسم العميل", 3024, 855, 144, 240, C::Blue)},
                                      9.75));
        r.detail = band(320, {fld("INVO_NO", 144, 1005), fld("DATES", 1584, 720),
                              fld("BUYER", 3024, 855), line(0, 4535, 320)});
        r.pageFooter = band(0);
        r.reportFooter = band(15);
        all.push_back(std::move(r));
    }
    {  // Incoming invoices.
        ReportLayout r =
            layout("DataReport4", "تقرير فواتير الواردات", "BUY_INV", "BUY_INVOICE", 8730);
        r.reportHeader =
            band(435, {bold(lab("تقرير بفواتير الواردات", 2268, 3405, 0, 435, C::Blue), 20.25)});
        r.pageHeader = band(300, bold({lab("رقم الفاتورة", 0, 1290, C::Red),
                                       lab("أسم الشركة  المشترية", 2259, 1485, C::Red),
                                       lab("تاريخ الفاتورة", 4320, 1296, C::Red),
                                       lab("رقم التليفون", 6912, 1440, C::Red)},
                                      12));
        r.detail = band(320, {fld("INVO_NO", 0, 855), fld("SALES_MAN", 2268, 1440),
                              fld("DATES", 4320, 1440), fld("PHONE", 6912, 1440),
                              line(0, 8640, 320)});
        r.pageFooter = band(210);
        r.reportFooter = band(0);
        all.push_back(std::move(r));
    }
    {  // The day's movement of the store.
        ReportLayout r = layout("DataReport10", "تقري بحركة المخزن اليومية", "DAILY_TRADE",
                                "DAILY_TRADE", 11000);
        r.reportHeader =
            band(615, {lab("%D", 0, 1125),
                       bold(lab("تقرير عن حركة المخزن ليوم", 1701, 3405, 0, 570, C::DarkBlue),
                            15.75)});
        r.pageHeader = band(390, bold({lab("الكمية فى نهاية اليوم", 0, 1878, C::Red),
                                       lab("كمية المباع", 2016, 1290, C::Red),
                                       lab("كمية الوارد", 3402, 1125, C::Red),
                                       lab("الكمية فى بدء اليوم", 5040, 1710, C::Red),
                                       lab("أسم الصنف", 7200, 1125, C::Red)},
                                      12));
        r.detail = band(360, {fld("END_DAY_Q", 0, 1440), fld("OUTPUT", 1872, 1440),
                              fld("INPUT", 3402, 1440), fld("STARY_DAY_Q", 5102, 1440),
                              fld("DESC", 7056, 1695), line(0, 8505, 320)});
        r.pageFooter = band(
            330, {lab("%p", 5669, 570), bold(lab("صفحة رقم", 6803, 1134, C::DarkBlue), 9.75)});
        r.reportFooter = band(
            270, {lab("%P", 5669, 570), bold(lab("عدد الصفحات", 6803, 1440, C::DarkBlue), 9.75)});
        all.push_back(std::move(r));
    }
    {  // Item movements (rebuilt by the movement views).
        ReportLayout r =
            layout("DataReport14", "DataReport14", "PRODUCT_BUY", "PRODUCT_BUY", 8835);
        r.reportHeader =
            band(675, {bold(lab("حركة  صنف", 2880, 2880, 0, 435, C::DarkBlue), 14.25)});
        r.pageHeader = band(
            360, bold({lab("INVO_NO:", 0, 1290, C::Red), lab("SUPPLIER_NAME:", 1872, 1872, C::Red),
                       lab("DATES:", 4032, 1290, C::Red), lab("QUANTITY:", 6048, 1290, C::Red)},
                      9.75));
        r.detail = band(492, {fld("INVO_NO", 0, 1440), fld("SUPPLIER_NAME", 1728, 2016),
                              fld("DATES", 4032, 1440), fld("QUANTITY", 6048, 1440)});
        r.pageFooter = band(360);
        r.reportFooter = band(360);
        all.push_back(std::move(r));
    }
    {  // Items expiring within a period (rebuilt by the expiry window).
        ReportLayout r =
            layout("DataReport16", "DataReport16", "VALIDITY_DATE", "VALIDITY_DATE", 10875);
        r.reportHeader =
            band(720, {bold(lab("تقرير بالأصناف المنتهية صلاحيتها خلال فترة محددة", 144, 7056,
                                144, 435, C::Blue),
                            20.25)});
        r.pageHeader =
            band(330, bold({lab("التاريخ", 0, 1440, C::Red), lab("الكمية", 2016, 1440, C::Red),
                            lab("أسم الصنف", 3888, 1440, C::Red),
                            lab("أسم المجموعة", 6048, 1440, C::Red), lab("الرقم", 8208, 1440, C::Red)},
                           8.25));
        r.detail = band(375, {fld("DATE", 144, 1005), fld("QUANTITY", 2016, 1440),
                              fld("SUB_TYPE", 3888, 1440), fld("QQQ", 6048, 1440),
                              fld("ID", 8208, 1440)});
        r.pageFooter = band(360);
        r.reportFooter = band(360);
        all.push_back(std::move(r));
    }
    {  // Suppliers.
        ReportLayout r = layout("DATA_SUPPLIER", "DATA_SUPPLIER", "SUPPLIER", "SUPPLIER", 10205);
        r.reportHeader = band(
            585, {bold(lab("تقرير ببيانات الموردين", 2835, 3401, 0, 567, C::DarkBlue), 20.25)});
        r.pageHeader = band(330, bold({lab("أسم البائع", 0, 2160, C::Blue),
                                       lab("رقم التليفون", 2880, 1440, C::Blue),
                                       lab("رقم الفاكس ", 5904, 1440, C::Blue),
                                       lab("العنوان", 8496, 1440, C::Blue)},
                                      8.25));
        r.detail = band(320, {fld("SALES_MAN", 0, 1440, 0, 210), fld("PHONE", 2835, 1440, 0, 210),
                              fld("FAX", 5669, 1440, 0, 210), fld("ADDRESS", 8504, 1440),
                              line(0, 10200, 320)});
        r.pageFooter = band(115);
        r.reportFooter = band(120);
        all.push_back(std::move(r));
    }
    {  // Customers.
        ReportLayout r = layout("DataReport2", "تقرير ببيانات العملاء", "buyers", "BUYER", 10205);
        r.reportHeader =
            band(600, {bold(lab("تقرير ببيانات العملاء", 3402, 3405, 0, 567, C::Blue), 20.25)});
        r.pageHeader = band(390, bold({lab("أسم المشترى", 144, 2160, C::Red),
                                       lab("رقم التليفون", 3024, 1440, C::Red),
                                       lab("رقم الفاكس", 6048, 1440, C::Red),
                                       lab("العنوان", 8640, 1440, C::Red)},
                                      12));
        r.detail = band(360, {fld("BUYER", 0, 1440), fld("PHONE", 2880, 1440),
                              fld("FAX", 5760, 1440), fld("ADDRESS", 8640, 1440),
                              line(0, 10200, 320)});
        r.pageFooter = band(135);
        r.reportFooter = band(180);
        all.push_back(std::move(r));
    }
    {  // A partner's invoices (rebuilt by the dealings views).
        ReportLayout r =
            layout("DataReport15", "DataReport15", "BUYER_DEALS", "BUYER_DEALS", 10200);
        r.reportHeader = band(
            780, {bold(lab("تقرير بتعاملات العملاء", 2412, 3636, 144, 432, C::Blue), 20.25)});
        r.pageHeader = band(390, bold({lab("INVO_NO:", 144, 1290, 144, 240, C::Red),
                                       lab("TOTAL MONEY", 2016, 1875, 144, 240, C::Red),
                                       lab("DATES:", 4176, 1290, 144, 240, C::Red),
                                       lab("NOTES", 7344, 1290, 144, 240, C::Red)},
                                      9.75));
        r.detail = band(816, {fld("INVO_NO", 144, 1440, 144, 240), fld("TOTAL", 1872, 2016, 144, 240),
                              fld("DATES", 4176, 1440, 144, 240),
                              fld("NOTES", 6624, 3300, 144, 576)});
        r.pageFooter = band(360);
        r.reportFooter = band(360);
        all.push_back(std::move(r));
    }
    {  // The cash box ledger.
        ReportLayout r = layout("DataReport8", "تقرير تعاملات الصندوق", "BOX", "BOX", 11255);
        r.reportHeader =
            band(570, {lab("%d", 1296, 1140),
                       bold(lab("تقرير بتعاملات الصندوق", 4535, 2268, 0, 570, C::Blue), 14.25)});
        Items headings = bold({lab("إجمالى المبلغ", 1989, 870, C::Red),
                               lab("المبلغ المنصرف", 3285, 1140, C::Red),
                               lab("المبلغ الوارد", 4535, 855, C::Red),
                               lab("ف الوارد", 5669, 570, C::Red), lab("ف بيع", 6803, 1440, C::Red),
                               lab("إذن صرف", 7937, 1140, C::Red),
                               lab("إذن إستلام", 9071, 1140, C::Red),
                               lab("التاريخ", 10205, 1050, C::Red)},
                              9);
        headings.insert(headings.begin(), bold(lab("مرتب العامل ", 567, 1440, C::Red), 9.75));
        r.pageHeader = band(270, std::move(headings));
        r.detail = band(570, {fld("emplyee_name", 0, 1440), fld("MONEY", 1701, 1005),
                              fld("MONEY_OUT", 3285, 1005), fld("MONEY_RECIVED", 4535, 1147, 0, 250),
                              fld("IN_INVOICE", 5800, 570), fld("OUT_INVOICE", 6803, 567),
                              fld("OUT_INV", 7937, 570), fld("RECEIVED_INV", 9071, 555),
                              fld("DATE", 10205, 855), line(0, 10205, 320)});
        r.pageFooter = band(270, {lab("%p", 144, 420)});
        r.reportFooter = band(300, {lab("%P", 288, 435)});
        all.push_back(std::move(r));
    }
    {  // Daily expenses of the current month.
        ReportLayout r = layout("DataReport7", "تقرير عن المصاريف اليومية خلال الشهر الحالى",
                                "days", "DAY_OUTPUT", 8510);
        r.reportHeader =
            band(450, {bold(lab("تقرير بالمصاريف اليومية", 2268, 3636, 0, 432, C::Blue), 20.25)});
        r.pageHeader = band(240, bold({lab("اليوم", 288, 720, C::Red),
                                       lab("مصاريف المخزن", 1440, 1140, C::Red),
                                       lab("مصاريف العربية", 2835, 1140, C::Red),
                                       lab("مصاريف البيت", 3969, 1140, C::Red),
                                       lab("مصاريف نثرية", 5102, 1140, C::Red),
                                       lab("يومية", 6236, 1140, C::Red),
                                       lab("اجمالى المصاريف", 7344, 855, C::Red)},
                                      9));
        r.detail = band(320, {fld("DAY_NO", 288, 870), fld("STORE_OUT", 1440, 1008),
                              fld("CAR_OUT", 2835, 909), fld("HOME_OUT", 4032, 864),
                              fld("OTHER", 5184, 585), fld("DAYLY", 6048, 720),
                              fld("TOTALDAY_OUT", 7370, 838), line(0, 8496, 320)});
        r.pageFooter = band(0);
        r.reportFooter = band(0);
        all.push_back(std::move(r));
    }
    {  // Monthly accounts.
        ReportLayout r =
            layout("DataReport6", "تقرير عن الحسابات الشهرية", "months", "MONTH_OUTPUT", 9930);
        r.reportHeader =
            band(435, {bold(lab("تقرير بحسابات الشهور", 3402, 3401, 0, 432, C::Blue), 20.25)});
        r.pageHeader = band(240, bold({lab("الشهر", 432, 1140, C::Red),
                                       lab("فاتورة الكهرباء", 1872, 1140, C::Red),
                                       lab("ايجار المكان", 3312, 1140, C::Red),
                                       lab("فاتورة التلبفون", 4464, 945, C::Red),
                                       lab("المرتبات", 5669, 810, C::Red),
                                       lab("المصاريف اليومية", 6624, 1140, C::Red),
                                       lab("أجمالى المصروفات", 8496, 1305, C::Red)},
                                      9));
        r.detail = band(320, {fld("MONTH_NO", 432, 1125), fld("ELECTRIC_FEE", 1872, 1125),
                              fld("PLACE_FEE", 3312, 1008), fld("PHONE_FEE", 4608, 864),
                              fld("SALERY", 5760, 810), fld("DALIY_OUT", 6803, 973),
                              fld("TOTAL_OUT", 8504, 1125), line(0, 9792, 320)});
        r.pageFooter = band(0);
        r.reportFooter = band(0);
        all.push_back(std::move(r));
    }
    {  // Yearly accounts.
        ReportLayout r =
            layout("DataReport5", "تقرير بالحسابات السنوية", "years", "YEAR_OUTPUT", 9077);
        r.reportHeader =
            band(435, {bold(lab("تقرير بالحسابات السنوية", 2835, 3401, 0, 435, C::Blue), 20.25)});
        r.pageHeader = band(255, bold({lab("السنة", 144, 1140, C::Red),
                                       lab("الربح", 1584, 1140, C::Red),
                                       lab("الضرائب", 2835, 915, C::Red),
                                       lab("الخسائر", 3888, 630, C::Red),
                                       lab("الصيانة", 5102, 1140, C::Red),
                                       lab("المصاريف الشهرية", 6236, 1710, C::Red),
                                       lab("صافى الارباح", 7632, 1140, C::Red)},
                                      9.75));
        r.detail = band(320, {fld("YEAR", 144, 1125), fld("GAIN_SELL", 1584, 900),
                              fld("TAX", 2736, 915), fld("LOSES", 3888, 720, 0, 288),
                              fld("MAINTENANCE", 5102, 946), fld("MONTH_COST", 6336, 960),
                              fld("NET_GAIN", 7776, 855), line(0, 9072, 320),
                              ReportItem::vline(0, 0, 288)});
        r.pageFooter = band(0);
        r.reportFooter = band(0);
        all.push_back(std::move(r));
    }
    {  // Employees.
        ReportLayout r =
            layout("DataReport12", "تقرير ببيانات العاملين", "employee", "emplyee", 12465);
        r.reportHeader =
            band(600, {bold(lab("تقرير ببيانات العاملين", 4535, 3402, 0, 570, C::Blue), 20.25)});
        r.pageHeader = band(390, bold({lab("أسم الوظيفة", 0, 1440, C::Red),
                                       lab("أساسى المرتب", 1701, 1440, C::Red),
                                       lab("رقم التليفون", 3401, 1440, C::Red),
                                       lab("تاريخ إستلام العمل", 5102, 1810, C::Red),
                                       lab("العنوان", 7920, 1440, C::Red),
                                       lab("الأسم", 10772, 1440, C::Red)},
                                      12));
        r.detail = band(320, {bold(fld("Job_ title", 0, 1440), 8.25),
                              bold(fld("sallery", 1701, 1440), 8.25),
                              bold(fld("phone", 3401, 1440), 8.25),
                              bold(fld("emplyee_date", 5102, 1440), 8.25),
                              bold(fld("address", 6803, 3960), 8.25),
                              bold(fld("name", 10772, 1440), 8.25), line(0, 12465, 320)});
        r.pageFooter = band(375, {lab("%p", 9071, 1440), lab("رقم الصفحة", 10214, 720, 0, 285)});
        r.reportFooter =
            band(285, {lab("%P", 9638, 1440), lab("إجمالى عدد الصفحات", 10511, 1290, 0, 285)});
        all.push_back(std::move(r));
    }
    return all;
}

}  // namespace

const std::vector<ReportLayout>& reportLayouts() {
    static const std::vector<ReportLayout> layouts = makeLayouts();
    return layouts;
}

}  // namespace mk
