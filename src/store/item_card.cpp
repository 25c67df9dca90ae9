#include "store/item_card.h"

#include "data/record_editing.h"
#include "data/refresh.h"
#include "data/schema.h"
#include "data/scratch.h"
#include "ledger/stock_posting.h"

namespace mk {

namespace {

constexpr const char* kNoteTitle = "ملحوظة";
constexpr const char* kChooseGroup = "أختر مجموعة الأصناف ثم طقطق داخل مربع نص  اسم الصنف";

// The card: two pairs of columns, caption at the right of its box; the
// notes under the right pair's boxes, spanning to the window's left.
constexpr TwipGrid kRightPair{
    .right = 8520, .top = 1680, .colStep = 1680, .rowStep = 420, .width = 2160, .height = 315};
constexpr TwipGrid kLeftPair{
    .right = 4320, .top = 1680, .colStep = 1680, .rowStep = 420, .width = 2400, .height = 315};
constexpr double kCaptionWidth = 1560, kNotesWidth = 6600, kNotesHeight = 840;
// Under the card: the navigation bar (row -1) over the buttons, add first.
constexpr TwipGrid kButtons{
    .right = 8520, .top = 5820, .colStep = 1620, .rowStep = 600, .width = 1440, .height = 375};
constexpr double kNavigationWidth = 8280;
// At the right: the group chooser's hint (two lines of Arabic, marks below
// the line included) over two rows, the chooser, the group chosen and the
// sub-group caption; under them the movement launchers.
constexpr TwipGrid kChooser{
    .right = 12360, .top = 1680, .rowStep = 450, .width = 3600, .height = 315};
constexpr double kHintHeight = 840;
constexpr TwipGrid kLaunchers{
    .right = 12360, .top = 3840, .rowStep = 480, .width = 3600, .height = 375};

}  // namespace

ItemCard::ItemCard(Form& form, Adodc& groups) : form_(form) {
    auto field = [&](const char* name, int index, bool right, int row, const char* label,
                     int labelIndex, const char* caption) {
        const TwipGrid& pair = right ? kRightPair : kLeftPair;
        auto* t = form.add<TextBox>(name, index, pair.cell(1, row));
        t->locked = true;
        auto* l = form.add<Label>(label, labelIndex, pair.captions().cell(0, row, kCaptionWidth),
                                  caption);
        l->alignment = 1;
        return t;
    };
    Text6 = field("Text6", -1, true, 0, "Label3", -1, "اسم الصنف");
    Text5 = field("Text5", -1, true, 1, "Label4", -1, "رقم الصنف بارا كود");
    Text3[0] = field("Text3", 0, true, 2, "Label6", 0, "الكمية");
    Text3[1] = field("Text3", 1, true, 3, "Label6", 1, "كمية حد الطلب");
    Text4[0] = field("Text4", 0, true, 4, "Label5", 0, "التاريخ");
    Text4[1] = field("Text4", 1, true, 5, "Label5", 1, "تاريخ الصلاحية");
    Text7 = field("Text7", -1, false, 0, "Label2", 0, "سعر القطاعى");
    Text9 = field("Text9", -1, false, 1, "Label2", 1, "سعر الجملة");
    Text10 = field("Text10", -1, false, 2, "Label2", 2, "سعر الشراء");
    Text1[0] = field("Text1", 0, false, 3, "Label14", 0, "مرتجع البيع");
    Text1[1] = field("Text1", 1, false, 4, "Label14", 1, "مرتجع الشراء");
    Text2 = form.add<TextBox>("Text2", -1, kRightPair.cell(1, 6, kNotesWidth, kNotesHeight));
    Text2->multiLine = true;
    Text2->scrollBars = true;
    Text2->locked = true;
    form.add<Label>("Label15", -1, kRightPair.captions().cell(0, 6, kCaptionWidth), "ملاحظات")
        ->alignment = 1;

    Adodc4 = form.add<Adodc>("Adodc4", -1, kButtons.cell(0, -1, kNavigationWidth),
                             "<السابق   التالى  >");
    Text6->bindTo(*Adodc4, "DESC");
    Text5->bindTo(*Adodc4, "ITEM_NO");
    Text3[0]->bindTo(*Adodc4, "ONSTOCK");
    Text3[1]->bindTo(*Adodc4, "Q_ORDER");
    Text7->bindTo(*Adodc4, "UNITE_PRICE");
    Text4[0]->bindTo(*Adodc4, "DATES");
    Text4[1]->bindTo(*Adodc4, "DATES_SAVE");
    Text10->bindTo(*Adodc4, "BUY_PRICE");
    Text9->bindTo(*Adodc4, "GROUP_PRICE");
    Text1[0]->bindTo(*Adodc4, "RETURN");
    Text1[1]->bindTo(*Adodc4, "RETURN_BUY");
    Text2->bindTo(*Adodc4, "NOTES");
    addBoxes_ = {Text1[0], Text2, Text3[0], Text4[0], Text5, Text6, Text7, Text9, Text10};
    editBoxes_ = {Text1[0], Text1[1], Text3[1], Text4[1], Text2, Text3[0],
                  Text4[0], Text5,    Text6,    Text7,    Text9, Text10};

    // Buttons, add at the right.
    cmdaction[0] = form.add<CommandButton>("cmdaction", 0, kButtons.cell(0, 0), "&add");
    cmdaction[2] = form.add<CommandButton>("cmdaction", 2, kButtons.cell(1, 0), "&edit");
    cmdaction[1] = form.add<CommandButton>("cmdaction", 1, kButtons.cell(2, 0), "&cancel");
    Command1 = form.add<CommandButton>("Command1", -1, kButtons.cell(3, 0), "&delete");

    // The group chooser and the movement launchers, at the right.
    Label17 = form.add<Label>("Label17", -1, kChooser.cell(0, 0, kChooser.width, kHintHeight),
                              kChooseGroup);
    Label17->wordWrap = true;
    Label17->alignment = 1;
    DataCombo3 = form.add<DataCombo>("DataCombo3", -1, kChooser.cell(0, 2));
    DataCombo3->rowSource = &groups;
    DataCombo3->listField = "q";
    Label16 = form.add<Label>("Label16", -1, kChooser.cell(0, 3));
    Label16->fontBold = true;
    Label16->alignment = 1;
    Label18 = form.add<Label>("Label18", -1, kChooser.captions().cell(0, 4),
                              "أختر مجموعة الأصناف الفرعية");
    Label18->visible = false;
    Command6 = form.add<CommandButton>("Command6", -1, kLaunchers.cell(0, 0),
                                      "تقرير بحركة مبيعات الصنف");
    Command7 = form.add<CommandButton>("Command7", -1, kLaunchers.cell(0, 1),
                                      "  تقرير بحركة واردات الصنف");
    Command9 = form.add<CommandButton>("Command9", -1, kLaunchers.cell(0, 2),
                                      "تقرير حركة مرتجعات الصنف ");
    for (CommandButton* b : {Command6, Command7, Command9}) b->visible = false;

    editing_ = std::make_unique<RecordEditing>(
        form, *Adodc4, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]},
        RecordEditingTexts{.editWhileAdding = true, .navigateWhileEntering = true});
    editing_->gatedBoxes.assign(editBoxes_.begin(), editBoxes_.end());
    editing_->addSaveProcedure = [this] { AddOrSaveItem(); };
    editing_->editSaveProcedure = [this] { EditOrSaveItem(); };
    editing_->firstEntry = Text6;
    Adodc4->beforeMove = [this] { return storeBeforeMove(); };
    cmdaction[1]->onClick = [this] {
        if (ready()) editing_->CancelEdit();
    };
    Command1->onClick = [this] {
        // Nothing is pending once a row went: the card is browsing again.
        if (ready() && confirmDelete(form_, *Adodc4, "user will be deleted"))
            editing_->backToBrowsing();
    };
    Text6->onClick = [this] {
        form_.MsgBox("أضغط على التالى و السابق لإختيار الصنف الفرعى", mb::OKOnly, kNoteTitle);
        Label17->visible = false;
    };

    // A pick from the list chooses at once; typed text when leaving the box.
    DataCombo3->onClick = [this] { chooseGroup(DataCombo3->text()); };
    DataCombo3->onLostFocus = [this] {
        if (DataCombo3->text() == group_) return;
        if (DataCombo3->text().empty()) DataCombo3->displayText(group_);
        else chooseGroup(DataCombo3->text());
    };

    Application& app = form.app();
    Command6->onClick = [&app] { launchWorker(app, ScratchTable::ProductBuy, "Form29"); };
    Command7->onClick = [&app] { launchWorker(app, ScratchTable::ProductBuy, "Form33"); };
    Command9->onClick = [&app] { launchWorker(app, ScratchTable::ProductBuy, "Form31"); };
}

ItemCard::~ItemCard() = default;

bool ItemCard::ready() {
    if (Adodc4->isOpen()) return true;
    form_.MsgBox(kChooseGroup, mb::OKOnly, kNoteTitle);
    return false;
}

void ItemCard::chooseGroup(const std::string& name) {
    if (!groupListed(form_.app().machine().database(kDatabasePath), name)) {
        form_.MsgBox(kUnknownGroupMessage, mb::OKOnly, kNoteTitle);
        DataCombo3->displayText(group_);
        return;
    }
    group_ = name;
    Label16->setCaption(name);
    bindTable(*Adodc4, name);
    // The pending row went with the old table: nothing is left to save.
    // Cancel stays as it was: it is on from the start.
    const bool cancelOn = cmdaction[1]->enabled;
    editing_->backToBrowsing();
    editing_->SetCancelEnabled(cancelOn);
    for (CommandButton* b : {Command6, Command7, Command9}) b->visible = true;
}

void ItemCard::tablesChanged(const ChangedTables& tables) {
    if (Adodc4->isOpen() && tableChanged(tables, Adodc4->RecordSource)) showStored(*Adodc4);
}

void ItemCard::setLocked(const std::vector<TextBox*>& boxes, bool locked) {
    for (TextBox* box : boxes) box->locked = locked;
}

void ItemCard::AddOrSaveItem() {
    if (!ready()) return;
    setLocked(addBoxes_, false);
    if (!editing_->adding()) {
        Adodc4->recordset().addNew();
        Text1[0]->setText("0");
        Text2->setText(".");
        Text3[0]->setText("0");
        Text4[0]->setText(documentDate(form_.app()));
        Text5->setText("0");
        Text6->setText(".");
        Text7->setText("0");
        Text9->setText("0");
        Text10->setText("0");
        editing_->enter(EditMode::Adding);
        editing_->SetCancelEnabled(true);
    } else {
        saveRow();
    }
}

void ItemCard::saveRow() {
    if (!editing_->entriesFit()) return;
    editing_->guardWrites([this] { Adodc4->recordset().update(); });
    // What other windows posted to the row meanwhile shows now.
    rereadInPlace(*Adodc4);
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    // All twelve: edit may have opened them while the row was added.
    setLocked(editBoxes_, true);
}

bool ItemCard::storeBeforeMove() {
    if (editing_->mode() == EditMode::Browsing || !Adodc4->isOpen()) return true;
    if (!editing_->entriesFit()) return false;
    // Stored here rather than by the move, so a failed write puts the row
    // back as it was entered. The card stays in its add or edit.
    editing_->guardWrites([this] { Adodc4->recordset().update(); });
    return true;
}

void ItemCard::EditOrSaveItem() {
    if (!ready()) return;
    if (editing_->editSaves()) {
        saveRow();
        return;
    }
    setLocked(editBoxes_, false);
    // Pressed while adding, it saves the new row too.
    if (editing_->adding()) editing_->editSaveWhileAdding();
    else editing_->enter(EditMode::Editing);
    editing_->SetCancelEnabled(true);
}

void ItemCard::searchByName() {
    if (!ready()) return;
    if (linearSearch(form_, *Adodc4, "DESC", "أدخل أسم الصنف للبحث عنه:",
                     "إيجاد بيانات صنف فى المخزن بدلالة أسمه ", SearchKind::Text,
                     " ذلك المنتج غير موجود  ") == SearchResult::Found)
        form_.Print({toText(Adodc4->recordset().field("DESC"))});
}

}  // namespace mk
