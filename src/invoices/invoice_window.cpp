#include "invoices/invoice_window.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "data/field_look.h"
#include "data/record_editing.h"
#include "data/schema.h"
#include "ledger/numbering.h"
#include "ledger/stock_posting.h"
#include "platform/window_state.h"
#include "reports/opener.h"

namespace mk {

namespace {

constexpr int kSlots = 32;
constexpr int kPostedSlots = 31;
constexpr int kRowsPerColumn = 16;

constexpr const char* kNoteTitle = "ملحوظة";
constexpr const char* kAttention = "Attention";
constexpr const char* kDocumentOpen =
    "لا يمكن ذلك أثناء إدخال أو تعديل فاتورة، أحفظ الفاتورة أو ألغها أولا";
constexpr const char* kGroupLocked =
    "لا يمكن تغيير مجموعة الأصناف أثناء إدخال أو تعديل فاتورة، أحفظ الفاتورة أو ألغها أولا";

// Layout, right to left: the header, the headings, two columns of 16 line
// rows, the total and the buttons, the company's data.
constexpr double kWidth = 12240, kHeight = 9500;
constexpr double kViewHeight = 9500;  // of the invoice view
// The header: the numbers at the right (caption, value), the group
// chooser, the stock and the user in the middle (caption, box).
constexpr TwipGrid kNumbers{
    .right = 12000, .top = 120, .colStep = 1560, .rowStep = 420, .width = 1440, .height = 315};
constexpr TwipGrid kChooser{
    .right = 8760, .top = 120, .colStep = 1920, .rowStep = 420, .width = 2040, .height = 315};
constexpr double kChooserCaptionWidth = 1800;
// The line rows, 16 a column of lines, under their headings. Each line
// column stands in a grid of its own: its right edge and width in the
// first column of lines (the serial first, then the configured columns,
// right to left, kGap apart); the second column of lines is 6000 left.
constexpr TwipGrid kSerials{
    .right = 12000, .top = 2040, .colStep = 6000, .rowStep = 360, .width = 600, .height = 315};
constexpr double kHeadingsTop = 1740, kGap = 60;
// The total's row (row -1) over the buttons' row (row 0).
constexpr TwipGrid kButtons{
    .right = 12000, .top = 8400, .colStep = 1560, .rowStep = 480, .width = 1440, .height = 375};
constexpr double kStepWidth = 2280, kTotalWidth = 1860, kMargin = 240;
// A supplier chooser shown beside the total.
constexpr TwipGrid kPartner{
    .right = 8280, .top = 7920, .colStep = 1440, .width = 1320, .height = 315};
// The company's data along the bottom: caption and value pairs, right to
// left; the company's name takes the widest value, the numbers fit in
// less, and the last pair keeps a margin from the left edge.
constexpr double kDimTop = 8940, kDimSpace = 100;
constexpr double kDimCaptionWidths[5] = {960, 720, 660, 720, 720};
constexpr double kDimValueWidths[5] = {2360, 1300, 1300, 1160, 1160};

std::string priceTooHigh(const std::string& item) {
    return "سعر الصنف " + item + " أكبر من 32767 ولا يمكن كتابته فى الفاتورة";
}

void placeAtDesign(Control* c) { placeAt(*c, c->design); }

// Empty boxes count as 0 (an empty number stores Null, which counts as 0).
std::optional<double> boxNumber(const std::string& text) {
    if (text.empty()) return 0.0;
    return parseNumber(text);
}

void setBoxText(Control* c, const std::string& text) {
    if (auto* t = dynamic_cast<TextBox*>(c)) t->setText(text);
    else if (auto* d = dynamic_cast<DataCombo*>(c)) d->setText(text);
    else if (auto* l = dynamic_cast<Label*>(c)) l->setCaption(text);
}

void lockBox(Control* c, bool locked) {
    if (auto* t = dynamic_cast<TextBox*>(c)) t->locked = locked;
    else if (auto* d = dynamic_cast<DataCombo*>(c)) d->locked = locked;
}

}  // namespace

std::vector<LineColumn> salesLineColumns() {
    return {{.control = "DataCombo1", .stem = "MED_NAME", .role = LineRole::Item, .width = 2340},
            {.control = "Text3", .stem = "QNTITY", .role = LineRole::Quantity, .width = 780},
            {.control = "Text4", .stem = "EXPIRY_ DATE", .role = LineRole::Price, .width = 780},
            {.control = "Text5", .stem = "SUM", .role = LineRole::Sum, .width = 1080}};
}

InvoiceWindow::InvoiceWindow(Application& a, const InvoiceConfig& config)
    : Form(a, config.name),
      config_(config),
      book_{.table = config.table,
            .flow = config.flow,
            .wholeTotal = config.wholeTotal,
            .lineDates = config.checkLineDates,
            .postedText = config.postedText,
            .postedTitle = config.postedTitle} {
    caption = config.designCaption;
    width = kWidth;
    height = kHeight;
    for (const DataBinding& b : config.dataControls) addHidden<Adodc>(b.control);
    Adodc3 = addHidden<Adodc>("Adodc3");
    Adodc2 = &adodc("Adodc2");
    buildHeader();
    buildLines();
    buildButtons();
    buildMenus();
}

InvoiceWindow::~InvoiceWindow() = default;

Database& InvoiceWindow::database() { return app().machine().database(kDatabasePath); }

void InvoiceWindow::buildHeader() {
    // Right: the invoice's number, date, the last number, the found number.
    const TwipGrid numberCaptions = kNumbers.captions();
    addCaption(*this, "Label1", 0, numberCaptions.cell(0, 0), "رقم الفاتورة");
    Text1[0] = add<TextBox>("Text1", 0, kNumbers.cell(1, 0));
    addCaption(*this, "Label1", config_.headerCaptions.date, numberCaptions.cell(0, 1), "التاريخ");
    Label12 = addValue(*this, "Label12", kNumbers.cell(1, 1));
    addCaption(*this, "Label16", -1, numberCaptions.cell(0, 2), "أخر فاتورة رقم");
    Label4 = addValue(*this, "Label4", kNumbers.cell(1, 2));
    // The current number's caption is wider than its column.
    currentLabel_ = addCaption(*this, config_.currentCaption, -1,
                               numberCaptions.cell(0, 3, 1560), config_.currentText);
    currentLabel_->visible = false;
    Label5 = addValue(*this, "Label5", kNumbers.cell(1, 3, 1320));

    // Middle: the group chooser, the hint, the stock of the last priced
    // item and the user who searched.
    const TwipGrid chooserCaptions = kChooser.captions();
    const double captionWidth = kChooserCaptionWidth;
    Label6 = addCaption(*this, "Label6", -1, chooserCaptions.cell(0, 0, captionWidth),
                        config_.groupPrompt);
    DataCombo3 = add<DataCombo>("DataCombo3", -1, kChooser.cell(1, 0));
    DataCombo3->listField = "q";
    addCaption(*this, config_.hintLabel, -1, chooserCaptions.span(0, 1, 2),
               "أفتح فاتورة جديدة بالضغط على زر Add")
        ->visible = false;
    if (config_.stockBox) {
        addCaption(*this, config_.stockCaption.name, config_.stockCaption.index,
                   chooserCaptions.cell(0, 2, captionWidth), "الكمية الحالية")
            ->visible = false;
        auto* stock = add<TextBox>(config_.stockBox, -1, kChooser.cell(1, 2));
        stock->visible = false;
        stock->locked = true;
    }
    addCaption(*this, config_.userCaption, -1, chooserCaptions.cell(0, 3, captionWidth),
               "أسم الموظف");
    userLabel_ = addValue(*this, config_.userLabel, kChooser.cell(1, 3));

    // Along the bottom: the company's data (the top left stays free for the
    // lines printed on the window).
    const char* const dimCaptions[5] = {"أسم الشركة", "التليفون", "الفاكس", "التجارى", "الضريبى"};
    const char* const dimFields[5] = {"COMPANY_NAME", "PHONE", "FAX", "ACCOUNTING_NUMBER",
                                      "TAX_NUMBER"};
    TwipGrid pair{.right = kNumbers.right, .top = kDimTop, .height = 285};
    for (size_t i = 0; i < config_.companyLabels.size() && i < 5; ++i) {
        const auto [captionNumber, valueNumber] = config_.companyLabels[i];
        pair.width = kDimValueWidths[i];
        pair.colStep = kDimCaptionWidths[i] + kGap;
        addCaption(*this, "Label" + std::to_string(captionNumber), -1,
                   pair.cell(0, 0, kDimCaptionWidths[i]), dimCaptions[i]);
        Label* v = addValue(*this, "Label" + std::to_string(valueNumber), pair.cell(1, 0));
        pair.right -= pair.colStep + pair.width + kDimSpace;
        if (config_.dimControl) v->bindTo(adodc(config_.dimControl), dimFields[i]);
    }

    // Never shown: the second number box, the buyer chooser (unless shown),
    // the phone (unless shown) and the header captions of both, the cash
    // and day boxes, the flags.
    Text1[1] = addHidden<TextBox>("Text1", 1);
    if (config_.partnerCaption) {
        // A shown chooser sits in the total's row, the phone at its left.
        const Geometry chooser = kPartner.cell(1, 0, kChooser.width);
        DataCombo2 = add<DataCombo>("DataCombo2", -1, chooser);
        addCaption(*this, "Label1", config_.headerCaptions.partner, kPartner.captions().cell(0, 0),
                   config_.partnerCaption);
        if (config_.phoneShown)
            Text1[2] = add<TextBox>("Text1", 2, Geometry{chooser.left - kGap - kPartner.width,
                                                         chooser.top, kPartner.width,
                                                         chooser.height});
    } else {
        DataCombo2 = addHidden<DataCombo>("DataCombo2");
        addHidden<Label>("Label1", config_.headerCaptions.partner, config_.buyerCaption)->alignment = 1;
    }
    if (!Text1[2]) Text1[2] = addHidden<TextBox>("Text1", 2);
    auto* phoneCaption = addHidden<Label>("Label1", config_.headerCaptions.phone, "التليفون");
    phoneCaption->alignment = 1;
    // Its caption names the phone box, hidden as it is.
    Text1[2]->labelledBy = phoneCaption;
    auto* boxMoney = addHidden<TextBox>("Text7");
    addHidden<TextBox>(config_.counterBox);
    if (config_.dailyControl)
        addHidden<TextBox>("Text6")->bindTo(adodc(config_.dailyControl), "DESC");
    for (const char* flag : config_.flags)
        addHidden<CheckBox>(flag)->enabled = std::string(flag) == config_.taskFlag;

    // Browsing never edits: Add and edit unlock these.
    for (TextBox* t : Text1) t->locked = true;
    freeTextBoxes_.push_back(Text1[2]);
    DataCombo2->locked = true;
    Text1[0]->bindTo(*Adodc2, "INVO_NO");
    Text1[1]->bindTo(*Adodc2, config_.secondNumberField);
    Text1[2]->bindTo(*Adodc2, "PHONE");
    DataCombo2->bindTo(*Adodc2, config_.partnerField);
    DataCombo2->rowSource = &adodc(config_.partnersControl);
    DataCombo2->listField = config_.partnersListField;
    DataCombo3->rowSource = &adodc(config_.groupsControl);
    Label12->bindTo(*Adodc2, "DATES");
    boxMoney->bindTo(adodc(config_.boxControl), "MONEY");

    DataCombo3->onGotFocus = [this] { uncover(); };
    DataCombo3->onClick = [this] { chooseGroup(DataCombo3->text()); };
    DataCombo3->onLostFocus = [this] {
        if (DataCombo3->isEffectivelyEnabled() && !DataCombo3->text().empty() &&
            DataCombo3->text() != group_)
            chooseGroup(DataCombo3->text());
    };
}

void InvoiceWindow::buildLines() {
    // The serials' column, then each line column's.
    std::vector<double> widths{kSerials.width};
    for (const LineColumn& col : config_.columns) widths.push_back(col.width);
    const std::vector<TwipGrid> grids = tableColumns(kSerials, widths, kGap);
    auto headingOver = [](const TwipGrid& column, int c, double width) {
        return column.rowsAt(kHeadingsTop, TwipGrid::kCaptionHeight).cell(c, 0, width);
    };

    // Headings over both columns; the second column's are shown by the view.
    const int itemHeading[2] = {4, 7};
    for (int c = 0; c < 2; ++c) {
        // The heading takes the gap beside it too: it is wider than the numbers.
        auto* serial = add<Label>("Label11", c, headingOver(grids[0], c, kSerials.width + kGap),
                                  "مسلسل");
        serial->alignment = 2;
        serial->visible = c == 0;
        if (c == 1) secondHeadings_.push_back(serial);
        int label1 = itemHeading[c];
        for (size_t k = 0; k < config_.columns.size(); ++k) {
            const LineColumn& col = config_.columns[k];
            const char* text = "";
            std::string name = "Label1";
            int index = -1;
            switch (col.role) {
                case LineRole::Item:
                    text = c == 0 ? "اسم الصنف" : "أسم قطعة الغيار";
                    index = label1++;
                    break;
                case LineRole::Quantity:
                    text = "الكمية";
                    index = label1++;
                    break;
                case LineRole::Price:
                    text = "السعر";
                    index = c == 0 ? label1++ : 10;
                    break;
                case LineRole::Date:
                    text = "تاريخ الإستيراد";
                    index = c == 0 ? label1++ : 11;
                    break;
                case LineRole::Sum:
                    text = "الإجمالى";
                    name = "Label7";
                    index = c;
                    break;
            }
            if (c == 0 && col.heading.name) {
                name = col.heading.name;
                index = col.heading.index;
                text = col.headingText;
            }
            if (c == 1 && col.secondHeadingIndex >= 0) index = col.secondHeadingIndex;
            auto* h = add<Label>(name, index, headingOver(grids[k + 1], c, col.width), text);
            h->alignment = 2;
            h->fontBold = true;
            h->visible = c == 0 && !col.entryHidden;
            if (c == 0 && col.entryHidden) hiddenHeadings_.push_back(h);
            if (c == 1 && col.inView) secondHeadings_.push_back(h);
        }
    }

    rows.resize(kSlots);
    for (int i = 0; i < kSlots; ++i) {
        LineRow& row = rows[static_cast<size_t>(i)];
        const int c = i / kRowsPerColumn, r = i % kRowsPerColumn;
        row.number =
            add<Label>("Label2", i, kSerials.captions().cell(c, r), std::to_string(i + 1));
        row.number->alignment = 2;
        const std::string slot = std::to_string(i + 1);
        for (size_t k = 0; k < config_.columns.size(); ++k) {
            const LineColumn& col = config_.columns[k];
            const Geometry g = grids[k + 1].cell(c, r);
            const std::string field = col.stem + slot;
            Control* box;
            if (col.role == LineRole::Item) {
                row.item = add<DataCombo>(col.control, i, g);
                row.item->rowSource = Adodc3;
                row.item->listField = "DESC";
                row.item->bindTo(*Adodc2, field);
                // A pick, or typed text naming an item of the group, prices
                // the lines; other text waits (a save refuses it).
                row.item->onChange = [this, item = row.item] {
                    if (config_.priceField && itemListed(item->text())) priceLines();
                };
                box = row.item;
            } else {
                auto* t = add<TextBox>(col.control, i, g);
                t->bindTo(*Adodc2, field);
                t->alignment = 1;
                if (col.role == LineRole::Quantity) row.quantity = t;
                if (col.role == LineRole::Price) row.price = t;
                if (col.role == LineRole::Sum) row.sum = t;
                if (col.role == LineRole::Date) row.date = t;
                box = t;
            }
            lockBox(box, true);
            if (i == 0 && col.entryHidden) box->visible = false;
            row.boxes.push_back(box);
        }
        if (i > 0) {
            row.number->visible = false;
            for (Control* b : row.boxes) b->visible = false;
        }
    }
}

void InvoiceWindow::buildButtons() {
    // The total at the right of its row, over the buttons.
    totalCaption_ = add<Label>(config_.totalCaption, -1, kButtons.captions().cell(0, -1),
                               config_.totalText);
    totalCaption_->alignment = 1;
    totalCaption_->visible = false;
    const Geometry totalPlace = kButtons.cell(1, -1, kTotalWidth, kSerials.height);
    if (config_.totalStored) {
        Label9 = add<Label>(config_.totalBox, -1, totalPlace);
        Label9->alignment = 1;
        Label9->fontBold = true;
        Label9->bindTo(*Adodc2, "TOTAL_SUM");
        totalBox_ = Label9;
    } else {
        // Shown nowhere: the save writes the total here for the postings.
        Label9 = nullptr;
        totalBox_ = addHidden<TextBox>(config_.totalBox);
    }

    const char* const captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(i, 0), captions[i]);
    cmdaction[1]->enabled = false;
    const Geometry step = kButtons.cell(3, 0, kStepWidth);
    stepButton_ = add<CommandButton>(config_.stepButton, -1, step, "أفتح سجل جديد");
    stepButton_->onClick = [this] { ShowNextLineRow(); };
    if (config_.computeButton && std::string(config_.stepButton) != "Command1") {
        computeButton_ = add<CommandButton>("Command1", -1, kButtons.cell(3, -1, kStepWidth),
                                            "أحسب إجمالى الفاتورة");
        computeButton_->visible = false;
    }
    // The navigation bar takes the rest of the buttons' row.
    Adodc2->caption = "تصفح الفواتير";
    Adodc2->visible = true;
    placeAt(*Adodc2, {kMargin, step.top, step.left - 2 * kMargin, step.height});

    // The cover over the headings and the line rows until the group
    // chooser is used, clear of the header's last row above them.
    const double coverTop = kHeadingsTop - kGap / 2;
    Picture1 = add<PictureBox>("Picture1", -1,
                               Geometry{kMargin - kGap, coverTop, kSerials.right - kMargin + kGap,
                                        kButtons.cell(0, -1).top - kGap - coverTop});

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc2, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]},
        RecordEditingTexts{.busy = kDocumentOpen, .cancelResetsEdit = true});
    editing_->addSaveProcedure = [this] { addOrSave(); };
    editing_->editSaveProcedure = [this] { editOrSave(); };
    editing_->afterCancel = [this] { afterCancel(); };
}

void InvoiceWindow::buildMenus() {
    MenuItem* file = addMenu(config_.fileMenu.name, config_.fileMenu.caption);
    addMenu(config_.exitItem.name, config_.exitItem.caption, file)->onClick = [this] {
        exitGuard();
    };
    MenuItem* search = addMenu(config_.searchMenu.name, config_.searchMenu.caption);
    addMenu(config_.searchItem.name, config_.searchItem.caption, search)->onClick = [this] {
        showSearchLogin();
    };
    MenuItem* report = addMenu(config_.reportMenu.name, config_.reportMenu.caption);
    // A report menu without an item opens the report itself.
    if (config_.reportItem.name)
        report = addMenu(config_.reportItem.name, config_.reportItem.caption, report);
    report->onClick = [this] { openReport(app(), config_.report); };
}

void InvoiceWindow::Form_Load() {
    for (const DataBinding& b : config_.dataControls) bindTable(adodc(b.control), b.table);
    DataCombo3->displayText("");
    caption = config_.captionPrefix + companyTitle(app());
    Label4->displayCaption(std::to_string(lastNumber()));
}

bool InvoiceWindow::documentOpen() const { return editing_->mode() != EditMode::Browsing; }

void InvoiceWindow::showSearchLogin() {
    // Moving to a found invoice would drop, or store unchecked, the open one.
    if (documentOpen()) {
        MsgBox(kSearchWhileOpen, mb::OKOnly, kAttention);
        return;
    }
    app().show(app().form(config_.searchLogin));
}

void InvoiceWindow::showForViewing() {
    const InvoiceView& view = config_.view;
    for (const char* flag : config_.flags)
        if (view.enables == ViewFlags::All ||
            (view.enables == ViewFlags::TaskFlag && std::string(flag) == config_.taskFlag))
            checkBox(flag).enabled = true;
    auto show = [this](Control* c, bool visible) {
        // The first view keeps what entering showed.
        if (std::none_of(viewed_.begin(), viewed_.end(), [c](const auto& v) { return v.first == c; }))
            viewed_.emplace_back(c, c->visible);
        c->visible = visible;
        // Rows the line stepping moved go back to their own places.
        if (visible) placeAtDesign(c);
    };
    if (!heightBeforeView_) heightBeforeView_ = height;
    height = kViewHeight;
    for (Control* c : {static_cast<Control*>(stepButton_), static_cast<Control*>(computeButton_),
                       paymentFrame_, static_cast<Control*>(Picture1)})
        if (c) show(c, false);
    for (size_t i = 0; i < rows.size(); ++i) {
        for (size_t k = 0; k < rows[i].boxes.size(); ++k)
            if (config_.columns[k].inView) show(rows[i].boxes[k], true);
        if (view.serials || i == 0) show(rows[i].number, true);
    }
    if (view.totalCaption) show(totalCaption_, true);
    if (view.secondHeadings)
        for (Label* h : secondHeadings_) show(h, true);
    for (Label* h : hiddenHeadings_) show(h, true);
    for (Control* c : viewLabels_) show(c, true);
}

void InvoiceWindow::showSearcher(const std::string& user) { userLabel_->displayCaption(user); }

bool InvoiceWindow::viewInvoice(const std::string& user, const std::string& typed) {
    showForViewing();
    userLabel_->displayCaption(user);
    currentLabel_->visible = true;
    Label5->displayCaption(typed);
    Recordset& rs = Adodc2->recordset();
    const long long before = rs.rowId();
    // Text that is no number names no invoice.
    const auto wanted = parseNumber(typed);
    if (wanted && rs.findFirstWhole("INVO_NO", *wanted, 32)) return true;
    if (before == 0 || !rs.moveToRow(before)) rs.moveFirst();
    return false;
}

void InvoiceWindow::restoreEntryLayout() {
    for (auto& [control, visible] : viewed_) control->visible = visible;
    viewed_.clear();
    if (heightBeforeView_) height = *heightBeforeView_;
    heightBeforeView_.reset();
    // The new document is not the one a search found.
    currentLabel_->visible = false;
    // Line 1 alone, at its place; the stepping starts again from it.
    textBox(config_.counterBox).setText("0");
    for (size_t i = 0; i < rows.size(); ++i) {
        LineRow& row = rows[i];
        placeAtDesign(row.number);
        row.number->visible = i == 0;
        for (size_t k = 0; k < row.boxes.size(); ++k) {
            placeAtDesign(row.boxes[k]);
            row.boxes[k]->visible = i == 0 && !config_.columns[k].entryHidden;
        }
    }
}

// ------------------------------------------------------------ group, lines

void InvoiceWindow::uncover() {
    Picture1->visible = false;
    label(config_.hintLabel).visible = true;
}

void InvoiceWindow::chooseGroup(const std::string& name) {
    if (name.empty()) return;
    // The open document's lines were priced from, and post to, its group;
    // until a line names an item the group may still be chosen.
    const bool hasLines = std::any_of(rows.begin(), rows.end(), [](const LineRow& r) {
        return r.item->text() != "." && !r.item->text().empty();
    });
    if (documentOpen() && hasLines && !group_.empty() && name != group_) {
        MsgBox(kGroupLocked, mb::OKOnly, kAttention);
        DataCombo3->displayText(group_);
        return;
    }
    if (!groupListed(database(), name)) {
        MsgBox(kUnknownGroupMessage, mb::OKOnly, kNoteTitle);
        DataCombo3->displayText(group_);
        return;
    }
    bindTable(*Adodc3, name);
    group_ = name;
    DataCombo3->enabled = false;
    Label6->visible = false;
}

void InvoiceWindow::ShowNextLineRow() {
    TextBox& counter = textBox(config_.counterBox);
    const int16_t n = roundToInt16(leadingNumber(counter.text()) + 1);
    if (n >= kPostedSlots) return;
    if (config_.stepPrintsNumber) Print({static_cast<int>(n)});
    LineRow& row = rows[static_cast<size_t>(n)];
    counter.setText(std::to_string(n));
    // Laid out for viewing, every row already shows at its own place.
    if (row.number->visible) return;
    // Row n takes the entry line (row 0's place); the previous row hides.
    const LineRow& entry = rows[0];
    placeAt(*row.number, entry.number->design);
    for (size_t k = 0; k < row.boxes.size(); ++k) placeAt(*row.boxes[k], entry.boxes[k]->design);
    LineRow& previous = rows[static_cast<size_t>(n - 1)];
    previous.number->visible = false;
    for (Control* b : previous.boxes) b->visible = false;
    row.number->visible = true;
    // A column hidden while entering (the returns' dates) stays hidden.
    for (size_t k = 0; k < row.boxes.size(); ++k)
        row.boxes[k]->visible = !config_.columns[k].entryHidden;
}

bool InvoiceWindow::itemListed(const std::string& item) {
    return !group_.empty() && findItemRow(database(), group_, item).has_value();
}

void InvoiceWindow::priceLines() {
    if (!config_.priceField || group_.empty()) return;
    std::set<std::string> names;
    for (const LineRow& row : rows) names.insert(row.item->text());
    const auto prices = itemValues(database(), group_, config_.priceField, names);
    std::set<std::string> refused;
    std::string shown;  // the last item priced: its stock is shown
    for (LineRow& row : rows) {
        const std::string name = row.item->text();
        const auto found = prices.find(name);
        // A name the group does not hold keeps its line as it is.
        if (found == prices.end()) continue;
        const double price = std::nearbyint(toDouble(found->second));
        if (!(price >= -32768 && price <= 32767)) {
            // That line cannot be priced: its pick is refused, the others go on.
            if (refused.insert(name).second) MsgBox(priceTooHigh(name), mb::OKOnly, kAttention);
            row.item->setText(".");
            row.price->setText("0");
            if (row.sum) row.sum->setText("0");
            continue;
        }
        const auto unit = static_cast<int16_t>(price);
        row.price->setText(std::to_string(unit));
        if (row.sum) row.sum->setText(formatDouble(leadingNumber(row.quantity->text()) * unit));
        // An empty slot matches the group's own "." row: no item to show.
        if (name != ".") shown = name;
    }
    label(config_.stockCaption.name, config_.stockCaption.index).visible = true;
    TextBox& stock = textBox(config_.stockBox);
    stock.visible = true;
    if (!shown.empty())
        if (auto onHand = storedStock(database(), group_, shown)) {
            stock.displayText(std::to_string(*onHand));
            lastPriced_ = shown;
        }
}

// --------------------------------------------------------------- numbering

void InvoiceWindow::tablesChanged(const ChangedTables& tables) {
    if (tableChanged(tables, config_.table)) Label4->displayCaption(std::to_string(lastNumber()));
}

int32_t InvoiceWindow::lastNumber() {
    // The table as stored now, whatever this window's snapshot holds.
    return mk::lastNumber(database(), config_.table);
}

// ------------------------------------------------------------ add and save

void InvoiceWindow::setEntryLocks(bool locked, bool prices) {
    for (int i = 0; i < 3; ++i) Text1[i]->locked = locked;
    DataCombo2->locked = locked;
    for (Control* box : entryBoxes_) lockBox(box, locked);
    for (LineRow& row : rows) {
        row.item->locked = locked;
        row.quantity->locked = locked;
        if (prices && row.price) row.price->locked = locked;
        if (prices && row.date) row.date->locked = locked;
    }
}

void InvoiceWindow::addOrSave() {
    if (editing_->adding()) saveInvoice();
    else addInvoice();
}

void InvoiceWindow::addInvoice() {
    const int32_t last = lastNumber();
    if (last >= kLastDocumentNumber) {
        MsgBox(kInvoiceNumbersUsedUp, mb::OKOnly, kAttention);
        return;
    }
    if (config_.addHidesHint) label(config_.hintLabel).visible = false;
    checkBox(config_.taskFlag).enabled = false;
    restoreEntryLayout();
    Adodc2->recordset().addNew();
    for (LineRow& row : rows) {
        row.quantity->setText("0");
        row.item->setText(".");
        if (row.sum) row.sum->setText("0");
        if (row.price) row.price->setText("0");
        if (row.date) row.date->setText(config_.lineDate ? config_.lineDate : documentDate(app()));
    }
    DataCombo2->setText(".");
    Text1[0]->setText(std::to_string(last + 1));
    setBoxText(totalBox_, "0");
    Label12->setCaption(documentDate(app()));
    editing_->enter(EditMode::Adding);
    editing_->SetCancelEnabled(true);
    // Prices come from the item pick once an invoice was saved here.
    setEntryLocks(false, !config_.priceField || !savedSinceLoad_);
    // Moving off the new row would store it unposted.
    Adodc2->enabled = false;
    invoiceStarted();
    if (Control* first = firstToFill(); first && app().canTakeInput(*first)) first->SetFocus();
}

Control* InvoiceWindow::firstToFill() {
    // The group while it may be chosen, then the first line's item.
    if (app().canTakeInput(*DataCombo3)) return DataCombo3;
    for (LineRow& row : rows)
        if (row.item->isShowing()) return row.item;
    return nullptr;
}

InvoiceDocument InvoiceWindow::readDocument(bool withPayment) {
    InvoiceDocument doc{.number = parseNumber(Text1[0]->text()), .group = group_};
    for (const LineRow& row : rows) {
        TypedLine& line = doc.lines.emplace_back();
        line.item = row.item->text();
        line.quantity = boxNumber(row.quantity->text());
        if (row.price) line.price = boxNumber(row.price->text());
        if (row.date)
            line.dateOk = row.date->text().empty() || parseDate(row.date->text()).has_value();
    }
    if (withPayment) {
        doc.date = Value(documentDate(app()));
        doc.payment = readPayment();
    }
    return doc;
}

std::string InvoiceWindow::askPaidNow() {
    return InputBox("أدخل المبلغ المراد دفعه الآن :", "أدخل المبلغ :");
}

void InvoiceWindow::say(const Refusal& refusal) {
    if (!refusal.text.empty()) MsgBox(refusal.text, mb::OKOnly, refusal.title);
}

void InvoiceWindow::saveInvoice() {
    const InvoiceDocument doc = readDocument(true);
    // A refusal once the sums show puts the window back as it was.
    const WindowState unsummed({this}, app().focused());
    InvoiceOutcome outcome;
    editing_->guardWrites([&] {
        outcome = postInvoice(database(), Adodc2->recordset(), book_, doc,
                              {.showTotals = [this](const Invoice& inv) { writeSums(inv); },
                               .askPaidNow = [this] { return askPaidNow(); },
                               .rowFits = [this] { return editing_->entriesFit(); }});
    });
    if (!outcome.posted) {
        say(outcome.refusal);
        if (outcome.totalsShown) unsummed.restore({this});
        return;
    }
    app().afterCommit([this, posted = std::move(*outcome.posted)] { saved(posted); });
}

void InvoiceWindow::saved(const PostedInvoice& posted) {
    if (Control* saved = findControl("Check1")) saved->enabled = true;
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    setEntryLocks(true, true);
    Adodc2->enabled = true;
    savedSinceLoad_ = true;
    confirmPosting(posted);
    if (MsgBox(config_.anotherPrompt, mb::YesNo, config_.anotherTitle) == answer::Yes) {
        editing_->SetCancelEnabled(true);
        if (Control* paid = findControl("Check2")) paid->enabled = false;
        Label6->visible = true;
        DataCombo3->enabled = true;
        // The next invoice starts at its group: what is typed now goes there.
        if (app().canTakeInput(*DataCombo3)) DataCombo3->SetFocus();
    } else {
        checkBox(config_.taskFlag).enabled = true;
    }
    if (config_.savedShowsFirst) bindTable(*Adodc2, config_.table);
}

void InvoiceWindow::writeSums(const Invoice& inv) {
    // Stored as the exact amounts the postings move; only their text is cut.
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].sum) rows[i].sum->setValue(Value(inv.lines[i].sum()));
    if (auto* t = dynamic_cast<TextBox*>(totalBox_)) t->setValue(Value(inv.total));
    else if (auto* l = dynamic_cast<Label*>(totalBox_)) l->setValue(Value(inv.total));
}

// ---------------------------------------------------- edit, cancel, exit

void InvoiceWindow::editOrSave() {
    Recordset& rs = Adodc2->recordset();
    if (!editing_->editing()) {
        editedNumber_ = toInt32(rs.field("INVO_NO"));
        // What a posted document posted stays as it is: only its free text
        // may change.
        editedPosted_ = toBool(rs.field("STATUS_SUB"));
        if (editedPosted_)
            for (Control* box : freeTextBoxes_) lockBox(box, false);
        else setEntryLocks(false, false);
        if (paymentFrame_) paymentFrame_->enabled = false;
        editing_->enter(EditMode::Editing);
        editing_->SetCancelEnabled(true);
        Adodc2->enabled = false;
        return;
    }
    const InvoiceCheck check =
        checkEditedInvoice(database(), book_, readDocument(false), editedNumber_, editedPosted_);
    if (!check.invoice) {
        say(check.refusal);
        return;
    }
    if (!editing_->entriesFit()) return;
    editing_->guardWrites([&] {
        writeSums(*check.invoice);
        rs.update();
    });
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    setEntryLocks(true, false);
    if (paymentFrame_) paymentFrame_->enabled = true;
    Adodc2->enabled = true;
}

void InvoiceWindow::afterCancel() {
    checkBox(config_.taskFlag).enabled = true;
    if (config_.cancelEnablesChooser) {
        Label6->visible = true;
        DataCombo3->enabled = true;
    }
    setEntryLocks(true, true);
    if (paymentFrame_) paymentFrame_->enabled = true;
    Adodc2->enabled = true;
}

void InvoiceWindow::exitGuard() {
    if (!checkBox(config_.taskFlag).enabled) {
        MsgBox(config_.exitWarning, mb::OKOnly, config_.exitTitle);
        return;
    }
    Unload();
}

}  // namespace mk
