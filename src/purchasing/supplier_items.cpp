#include "purchasing/supplier_items.h"

#include <vector>

#include "data/record_editing.h"

namespace mk {

namespace {

constexpr int kSlots = 12;

constexpr TwipGrid kHeader{.right = 11160, .top = 120, .rowStep = 420, .height = 315};
constexpr double kTitleWidth = 5760;
constexpr TwipGrid kClock{
    .right = 3000, .top = 120, .colStep = 1560, .rowStep = 300, .width = 1200, .height = 285};

struct Slot {
    std::string item;
    double quantity, price, tax, net, gross;
};

}  // namespace

form171::form171(Application& a) : Form(a, kName) {
    caption = "الاصناف و  الكميات و الاسعار الاجمالية للبائع  ";
    width = 11400;
    height = 7800;
    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");
    Adodc3 = addHidden<Adodc>("Adodc3");

    auto label = [this](const char* name, Geometry g, const char* text, int align = 1) {
        auto* l = add<Label>(name, -1, g, text);
        l->alignment = align;
        return l;
    };
    // Right to left: the title over the supplier's row (caption, the
    // supplier shown, the chooser); the date and the time at the left.
    label("Label13", kHeader.cell(0, 0, kTitleWidth),
          ":  الاصناف و  الكميات و الاسعار الاجمالية لشركة  ")
        ->fontBold = true;
    const std::vector<TwipGrid> supplier = tableColumns(kHeader, {1560, 3240, 2400}, 120);
    label("Label1", supplier[0].cell(0, 1, 1560, TwipGrid::kCaptionHeight), "أسم البائع");
    Label2 = label("Label2", supplier[1].cell(0, 1), "");
    Label2->fontBold = true;
    auto* list = add<DataCombo>("DataCombo1", -1, supplier[2].cell(0, 1));
    list->rowSource = Adodc3;
    list->listField = "SALES_MAN";
    label("Label11", kClock.cell(0, 0), "التاريخ");
    label("Label9", kClock.cell(0, 1), "");
    label("Label12", kClock.cell(1, 0), "الوقت");
    label("Label10", kClock.cell(1, 1), "");

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
