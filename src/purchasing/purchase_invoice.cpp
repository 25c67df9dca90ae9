#include "purchasing/purchase_invoice.h"

#include <cmath>

#include "data/field_look.h"
#include "data/record_editing.h"
#include "data/schema.h"
#include "ledger/amounts.h"
#include "ledger/numbering.h"
#include "ledger/stock_posting.h"
#include "reports/opener.h"

namespace mk {

namespace {

constexpr const char* kAttention = "Attention";
constexpr const char* kImportDate = "10 / 4 / 2020";
constexpr const char* kPosted = "لقد تم إضافة هذه الفاتورة سابقا.";
constexpr const char* kPostedTitle = "ملحوظة";
constexpr const char* kSaveFirst = "أحفظ الفاتورة أو ألغها أولا";
constexpr const char* kNoInvoice = "لا توجد فاتورة محفوظة معروضة";

// Right to left: the supplier's pair of columns (caption, box), the date's
// pair and a column of values; the table of lines under its headings; the
// totals in the two pairs' columns; the buttons and the navigation bar.
constexpr TwipGrid kSupplier{
    .right = 11160, .top = 120, .colStep = 1440, .rowStep = 420, .width = 2040, .height = 315};
constexpr TwipGrid kDate{
    .right = 7200, .top = 120, .colStep = 1440, .rowStep = 420, .width = 1680, .height = 315};
constexpr TwipGrid kValues{.right = 3960, .top = 120, .rowStep = 420, .width = 1680, .height = 315};
constexpr double kCaptionWidth = 1320, kTotalsTop = 7500, kTotalWidth = 1560;
constexpr TwipGrid kLineRows{.right = 11160, .top = 1680, .rowStep = 480, .height = 315};
constexpr double kHeadingsTop = 1320, kGap = 60;
constexpr TwipGrid kButtons{
    .right = 11160, .top = 8040, .colStep = 1440, .width = 1320, .height = 375};
constexpr double kSumWidth = 1560, kNavigationWidth = 4680, kMargin = 240;

std::string lineProblem(const std::string& what, int line) {
    return what + " فى السطر " + std::to_string(line);
}

std::optional<double> number(const std::string& text) {
    if (text.empty()) return 0.0;
    return parseNumber(text);
}

}  // namespace

Form4::Form4(Application& a) : Form(a, kName) {
    caption = "فواتير الشراء";
    width = 11400;
    height = 9000;
    build();
}

Form4::~Form4() = default;

void Form4::build() {
    // The navigation bar at the left of the buttons' row.
    Adodc1 = add<Adodc>("Adodc1", -1,
                        Geometry{kMargin, kButtons.top, kNavigationWidth, kButtons.height});
    Adodc1->caption = "فواتير الشراء";
    Adodc3 = addHidden<Adodc>("Adodc3");
    Adodc4 = addHidden<Adodc>("Adodc4");

    // A caption in the first column of its pair.
    auto caption = [this](const char* name, int index, const TwipGrid& pair, int row,
                          const char* text) {
        return addCaption(*this, name, index, pair.captions().cell(0, row, kCaptionWidth), text);
    };
    caption("Label1", 0, kSupplier, 0, "رقم الفاتورة");
    Text1[0] = add<TextBox>("Text1", 0, kSupplier.cell(1, 0));
    caption("Label1", 1, kSupplier, 1, "أسم المورد");
    DataCombo2 = add<DataCombo>("DataCombo2", -1, kSupplier.cell(1, 1));
    caption("Label1", 2, kSupplier, 2, "التليفون");
    Text1[2] = add<TextBox>("Text1", 2, kSupplier.cell(1, 2));
    caption("Label1", 3, kDate, 0, "التاريخ");
    Text1[3] = add<TextBox>("Text1", 3, kDate.cell(1, 0));
    caption("Label5", -1, kDate, 1, "أخرفاتورة رقم");
    Label10 = addValue(*this, "Label10", kDate.cell(1, 1));
    addValue(*this, "Label6", kValues.cell(0, 0));
    addValue(*this, "Label7", kValues.cell(0, 1));

    // The line columns, right to left.
    struct Column {
        const char* heading;
        double width;
    };
    const Column columns[] = {{"", 420},        {"أسم قطعة الغيار", 2280}, {"الكمية", 720},
                              {"السعر", 900},   {"الخصم", 720},            {"سعر البيع", 1140},
                              {"الأجمالى", 1140}, {"تاريخ الأستيراد", 1380}};
    std::vector<double> widths;
    for (const Column& c : columns) widths.push_back(c.width);
    const std::vector<TwipGrid> grids = tableColumns(kLineRows, widths, kGap);
    for (size_t c = 0; c < 8; ++c) {
        auto* h = add<Label>("Label8", static_cast<int>(c),
                             grids[c].rowsAt(kHeadingsTop, TwipGrid::kCaptionHeight).cell(0, 0),
                             columns[c].heading);
        h->alignment = 2;
        h->fontBold = true;
    }
    auto box = [&](int index, size_t column, int row, const std::string& field) {
        auto* t = add<TextBox>("Text2", index, grids[column].cell(0, row));
        t->alignment = 1;
        t->bindTo(*Adodc1, field);
        return t;
    };
    for (int k = 1; k <= kLines; ++k) {
        const int top = k - 1;  // the line's row
        const std::string n = std::to_string(k);
        auto* serial = add<Label>("Label2", k - 1, grids[0].captions().cell(0, top), n);
        serial->alignment = 2;
        Line& line = lines[static_cast<size_t>(k - 1)];
        line.item = add<DataCombo>("DataCombo1", k - 1, grids[1].cell(0, top));
        line.item->rowSource = Adodc3;
        line.item->listField = "DESC";
        line.item->bindTo(*Adodc1, "MED_NAME" + n);
        line.quantity = box(6 * k - 5, 2, top, "QNTITY" + n);
        line.price = box(6 * k - 4, 3, top, "PRICE" + n);
        line.discount = box(6 * k - 3, 4, top, "TAX" + n);
        line.gross = box(6 * k - 2, 5, top, "PRICE_SELL" + n);
        line.net = box(112 - k, 6, top, "TOTAL_PRICE" + n);
        // The import date goes to the date slots, never to a number column.
        line.date = box(6 * k - 1, 7, top, "EXPIRY_ DATES" + n);
    }

    // The totals in the header pairs' columns.
    const TwipGrid buying = kSupplier.rowsAt(kTotalsTop, kSupplier.height);
    const TwipGrid selling = kDate.rowsAt(kTotalsTop, kDate.height);
    caption("Label13", -1, buying, 0, "أجمالى الشراء");
    Label12 = addValue(*this, "Label12", buying.cell(1, 0, kTotalWidth));
    caption("Label3", -1, selling, 0, "اجمالى البيع");
    Label4 = addValue(*this, "Label4", selling.cell(1, 0, kTotalWidth));

    const char* const captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(i, 0), captions[i]);
    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(3, 0, kSumWidth), "أجمع");
    cmdaction[1]->enabled = false;
    Command1->onClick = [this] { sum(); };

    Text1[0]->bindTo(*Adodc1, "INVO_NO");
    Text1[2]->bindTo(*Adodc1, "PHONE");
    Text1[3]->bindTo(*Adodc1, "DATES");
    DataCombo2->bindTo(*Adodc1, "SUPPLIER");
    DataCombo2->rowSource = Adodc4;
    DataCombo2->listField = "SALES_MAN";
    Label12->bindTo(*Adodc1, "TOTAL_SUM");
    Label4->bindTo(*Adodc1, "TOTAL_SUM_SELL");
    setLocked(true);

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]},
        RecordEditingTexts{.busy = kSaveFirst, .cancelResetsEdit = true});
    editing_->addSaveProcedure = [this] { addOrSave(); };
    editing_->editSaveProcedure = [this] { editOrSave(); };
    editing_->afterCancel = [this] {
        setLocked(true);
        Adodc1->enabled = true;
    };

    MenuItem* file = addMenu("operat", "ملف");
    addMenu("ADD", "اضف على الفاتورة", file)->onClick = [this] { addToStock(); };
    addMenu("exit", "انهاء", file)->onClick = [this] { Unload(); };
    MenuItem* find = addMenu("SEARCH", "بحث");
    addMenu("INV_NO", "ابحث برقم الفاتورة", find)->onClick = [this] {
        search("INVO_NO", "enter INVOICE NO. .for search :", "Search By Invoice No");
    };
    addMenu("supplier", "ابحث باسم المورد", find)->onClick = [this] {
        search("SUPPLIER", "enter SUPPLIER NAME  for search :", "Search by Supplier Name ");
    };
    addMenu("DATE", "ابحث بتاريخ الفاتورة ", find)->onClick = [this] {
        search("DATES", "enter DATE .for search ", "");
    };
    MenuItem* report = addMenu("buy", "تقرير");
    addMenu("buyr", "تقرير فاتورة الشراء", report)->onClick = [this] {
        openReport(app(), "DataReport4");
    };
}

void Form4::Form_Load() {
    bindTable(*Adodc1, "BUY_INVOICE");
    bindTable(*Adodc3, "INVENTORY");
    bindTable(*Adodc4, "SUPPLIER");
    // The time and the day the window was opened; a new invoice is dated
    // with that day.
    const Clock& clock = app().clock();
    label("Label6").displayCaption(formatTime(clock.now()));
    label("Label7").displayCaption(formatShortDate(clock.today()));
    Label10->displayCaption(std::to_string(lastNumber()));
}

int32_t Form4::lastNumber() {
    return mk::lastNumber(app().machine().database(kDatabasePath), "BUY_INVOICE");
}

void Form4::setLocked(bool locked) {
    for (int i : {0, 2, 3}) Text1[i]->locked = locked;
    DataCombo2->locked = locked;
    for (Line& l : lines)
        for (Control* c : std::initializer_list<Control*>{l.item, l.quantity, l.price, l.discount,
                                                          l.gross, l.net, l.date}) {
            if (auto* t = dynamic_cast<TextBox*>(c)) t->locked = locked;
            else static_cast<DataCombo*>(c)->locked = locked;
        }
}

bool Form4::entering() { return editing_->adding() || editing_->editing(); }

std::optional<Form4::Sums> Form4::readSums() {
    Sums s;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const int k = static_cast<int>(i) + 1;
        const auto q = number(l.quantity->text());
        if (!q || *q < 0 || *q > 32767 || std::floor(*q) != *q) {
            MsgBox(lineProblem("الكمية يجب أن تكون عددا صحيحا من 0 إلى 32767", k), mb::OKOnly,
                   kAttention);
            return std::nullopt;
        }
        const auto p = number(l.price->text());
        if (!p || *p < 0) {
            MsgBox(lineProblem("السعر يجب أن يكون رقما لا يقل عن صفر", k), mb::OKOnly, kAttention);
            return std::nullopt;
        }
        if (*p > kLargestAmount) {
            MsgBox(lineProblem(beyondLimit("السعر"), k), mb::OKOnly, kAttention);
            return std::nullopt;
        }
        const auto d = number(l.discount->text());
        if (!d || *d < 0 || *d > 100) {
            MsgBox(lineProblem("الخصم يجب أن يكون رقما من 0 إلى 100", k), mb::OKOnly, kAttention);
            return std::nullopt;
        }
        if (!l.date->text().empty() && !parseDate(l.date->text())) {
            MsgBox(lineProblem("تاريخ الإستيراد غير صحيح", k), mb::OKOnly, kAttention);
            return std::nullopt;
        }
        s.gross[i] = *q * *p;
        s.net[i] = (1 - *d / 100) * *q * *p;
        s.totalGross += s.gross[i];
        s.totalNet += s.net[i];
    }
    // Every line's sums are at most the totals.
    if (s.totalGross > kLargestAmount) {
        MsgBox(beyondLimit("إجمالى الفاتورة"), mb::OKOnly, kAttention);
        return std::nullopt;
    }
    return s;
}

void Form4::showSums(const Sums& s, bool store) {
    // Stored whole; only the text on show is cut to 15 digits.
    for (size_t i = 0; i < lines.size(); ++i) {
        if (store) {
            lines[i].gross->setValue(Value(s.gross[i]));
            lines[i].net->setValue(Value(s.net[i]));
        } else {
            lines[i].gross->displayText(formatDouble(s.gross[i]));
            lines[i].net->displayText(formatDouble(s.net[i]));
        }
    }
    if (store) {
        Label12->setValue(Value(s.totalNet));
        Label4->setValue(Value(s.totalGross));
    } else {
        Label12->displayCaption(formatDouble(s.totalNet));
        Label4->displayCaption(formatDouble(s.totalGross));
    }
    label("Label13").displayCaption("TOTAL SUM of buy");
    label("Label3").displayCaption(" total sum of sell");
}

void Form4::sum() {
    // A saved invoice is only shown summed; its row changes only by edit.
    if (auto s = readSums()) showSums(*s, entering());
}

bool Form4::commitChecked(bool excludeOwn) {
    const auto n = parseNumber(Text1[0]->text());
    if (!validNumber(n)) {
        MsgBox(kBadInvoiceNumber, mb::OKOnly, kAttention);
        return false;
    }
    if (numberHolder(app().machine().database(kDatabasePath), "BUY_INVOICE",
                     static_cast<int32_t>(*n),
                     excludeOwn ? std::optional<int32_t>(ownNumber_) : std::nullopt) !=
        NumberHolder::None) {
        MsgBox(kInvoiceNumberHeld, mb::OKOnly, kAttention);
        return false;
    }
    auto s = readSums();
    if (!s) return false;
    if (!editing_->entriesFit()) return false;
    editing_->guardWrites([&] {
        // The sums are stored with the row.
        showSums(*s, true);
        Adodc1->recordset().update();
    });
    return true;
}

void Form4::addOrSave() {
    if (!editing_->adding()) {
        const int32_t last = lastNumber();
        if (last >= kLastDocumentNumber) {
            MsgBox(kInvoiceNumbersUsedUp, mb::OKOnly, kAttention);
            return;
        }
        Adodc1->recordset().addNew();
        for (Line& l : lines) {
            for (TextBox* t : {l.quantity, l.price, l.discount, l.gross, l.net}) t->setText("0");
            l.date->setText(kImportDate);
        }
        Text1[3]->setText(label("Label7").caption());
        Text1[0]->setText(std::to_string(last + 1));
        setLocked(false);
        editing_->enter(EditMode::Adding);
        editing_->SetCancelEnabled(true);
        Adodc1->enabled = false;
        return;
    }
    if (!commitChecked(false)) return;
    Adodc1->recordset().moveLast();
    editing_->enter(EditMode::Browsing);
    setLocked(true);
    editing_->SetCancelEnabled(false);
    Adodc1->enabled = true;
    Label10->displayCaption(std::to_string(lastNumber()));
}

void Form4::editOrSave() {
    Recordset& rs = Adodc1->recordset();
    if (!editing_->editing()) {
        if (!rs.hasCurrentRow()) {
            MsgBox(kNoInvoice, mb::OKOnly, kAttention);
            return;
        }
        ownNumber_ = toInt32(rs.field("INVO_NO"));
        setLocked(false);
        editing_->enter(EditMode::Editing);
        editing_->SetCancelEnabled(true);
        Adodc1->enabled = false;
        return;
    }
    if (!commitChecked(true)) return;
    editing_->enter(EditMode::Browsing);
    setLocked(true);
    editing_->SetCancelEnabled(false);
    Adodc1->enabled = true;
    Label10->displayCaption(std::to_string(lastNumber()));
}

void Form4::addToStock() {
    if (entering()) {
        MsgBox(kSaveFirst, mb::OKOnly, kAttention);
        return;
    }
    Recordset& rs = Adodc1->recordset();
    if (!rs.hasCurrentRow()) {
        MsgBox(kNoInvoice, mb::OKOnly, kAttention);
        return;
    }
    if (rs.field("STATUS_SUB") == Value(true)) {
        MsgBox(kPosted, mb::OKOnly, kPostedTitle);
        return;
    }
    // The invoice as stored is posted.
    std::vector<InventoryLine> posted;
    for (int k = 1; k <= kLines; ++k) {
        const std::string n = std::to_string(k);
        posted.push_back({.item = toText(rs.field("MED_NAME" + n)),
                          .quantity = toDouble(rs.field("QNTITY" + n)),
                          .net = toDouble(rs.field("TOTAL_PRICE" + n)),
                          .gross = toDouble(rs.field("PRICE_SELL" + n))});
    }
    addToInventory(app().machine().database(kDatabasePath), posted);
    rs.setField("STATUS_SUB", true);
    rs.update();
}

void Form4::search(const char* field, const char* prompt, const char* title) {
    if (entering()) {
        MsgBox(kSaveFirst, mb::OKOnly, kAttention);
        return;
    }
    linearSearch(*this, *Adodc1, field, prompt, title, SearchKind::Text);
}

}  // namespace mk
