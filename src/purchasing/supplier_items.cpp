#include "purchasing/supplier_items.h"

#include <vector>

#include "data/record_editing.h"

namespace mk {

namespace {

constexpr int kSlots = 12;

struct Slot {
    std::string item;
    double quantity, price, tax, net, gross;
};

}  // namespace

form171::form171(Application& a) : Form(a, kName) {
    caption = "الاصناف و  الكميات و الاسعار الاجمالية للبائع  ";
    width = 11400;
    height = 7800;
    Adodc1 = add<Adodc>("Adodc1", -1, Geometry{0, 0, 1200, 315});
    Adodc2 = add<Adodc>("Adodc2", -1, Geometry{0, 0, 1200, 315});
    Adodc3 = add<Adodc>("Adodc3", -1, Geometry{0, 0, 1200, 315});
    for (Adodc* d : {Adodc1, Adodc2, Adodc3}) d->visible = false;

    auto label = [this](const char* name, Geometry g, const char* text, int align = 1) {
        auto* l = add<Label>(name, -1, g, text);
        l->alignment = align;
        return l;
    };
    label("Label13", Geometry{5400, 120, 5760, 315},
          ":  الاصناف و  الكميات و الاسعار الاجمالية لشركة  ")
        ->fontBold = true;
    label("Label1", Geometry{9600, 540, 1560, 285}, "أسم البائع");
    Label2 = label("Label2", Geometry{6240, 540, 3240, 315}, "");
    Label2->fontBold = true;
    auto* list = add<DataCombo>("DataCombo1", -1, Geometry{3600, 540, 2400, 315});
    list->rowSource = Adodc3;
    list->listField = "SALES_MAN";
    label("Label11", Geometry{1800, 120, 1200, 285}, "التاريخ");
    label("Label9", Geometry{1800, 420, 1200, 285}, "");
    label("Label12", Geometry{240, 120, 1200, 285}, "الوقت");
    label("Label10", Geometry{240, 420, 1200, 285}, "");

    // Column headings over the printed lines, which run from the left: the
    // name, then the numbers from the fourth print zone on.
    const char* const headings[] = {"اسم قطعة الغيار", "الكمية", "السعر", "الخصم",
                                    "السعر الاجمالى", "سغر الشراء"};
    const double lefts[] = {120, 3 * kPrintZoneTwips, 3 * kPrintZoneTwips + 960,
                            3 * kPrintZoneTwips + 1920, 3 * kPrintZoneTwips + 2880,
                            3 * kPrintZoneTwips + 4320};
    const double widths[] = {2760, 900, 900, 900, 1380, 1260};
    for (int i = 0; i < 6; ++i)
        label(("Label" + std::to_string(i + 3)).c_str(), Geometry{lefts[i], 1080, widths[i], 285},
              headings[i], i == 0 ? 1 : 2)
            ->fontBold = true;

    Command1 = add<CommandButton>("Command1", -1, Geometry{240, 7080, 1800, 375}, "أذهب");
    Command1->onClick = [this] { listSupplier(); };
    MenuItem* find = addMenu("find", "ابحث عن قائمة البائع");
    addMenu("sller", "أدخل اسم البائع", find)->onClick = [this] { listSupplier(); };
}

void form171::Form_Load() {
    bindTable(*Adodc1, "INVENTORY");
    bindTable(*Adodc2, "BUY_INVOICE");
    bindTable(*Adodc3, "SUPPLIER");
    caption = " الأصناف و الأسعار اللإجمالية للبائع" + companyTitle(app());
    Label2->displayCaption("");
    const double now = app().clock().now();
    label("Label9").displayCaption(formatShortDate(now));
    label("Label10").displayCaption(formatTime(now));
}

void form171::listSupplier() {
    Cls();
    const std::string name = InputBox("أدخل أسم البائع :", "Find a list of this seller");
    if (name.empty()) return;
    PrintEmptyLines(8);
    Label2->displayCaption(name);

    // The supplier's invoice lines, read once; Null fields count as 0.
    Adodc2->Refresh();
    Recordset& invoices = Adodc2->recordset();
    std::vector<Slot> slots;
    for (invoices.moveFirst(); !invoices.eof(); invoices.moveNext()) {
        if (toText(invoices.field("SUPPLIER")) != name) continue;
        for (int k = 1; k <= kSlots; ++k) {
            const std::string n = std::to_string(k);
            slots.push_back({toText(invoices.field("MED_NAME" + n)),
                             toDouble(invoices.field("QNTITY" + n)),
                             toDouble(invoices.field("PRICE" + n)),
                             toDouble(invoices.field("TAX" + n)),
                             toDouble(invoices.field("TOTAL_PRICE" + n)),
                             toDouble(invoices.field("PRICE_SELL" + n))});
        }
    }
    Adodc1->Refresh();
    Recordset& items = Adodc1->recordset();
    for (items.moveFirst(); !items.eof(); items.moveNext()) {
        const std::string desc = toText(items.field("DESC"));
        // Each item starts afresh: no price or discount of an earlier item.
        double quantity = 0, net = 0, gross = 0, price = 0, tax = 0;
        for (const Slot& s : slots) {
            if (s.item != desc) continue;
            quantity += s.quantity;
            net += s.net;
            gross += s.gross;
            price = s.price;
            tax = s.tax;
        }
        Print({desc, zone, zone, zone, quantity, price, tax, net, gross});
    }
}

}  // namespace mk
