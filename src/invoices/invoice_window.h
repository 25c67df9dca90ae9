// The invoice window family: one window over one invoice table, with its
// 32 line rows, the group chooser, the numbering (the highest INVO_NO, at
// least 2, plus one), the line stepping, the add/cancel/edit/save states
// and locks, the exit guard and the navigation bar.
//
// How a member window is configured:
// - An InvoiceConfig (data) gives the window's name, captions, invoice
//   table, its data controls in load order (names and tables), the names of
//   the controls that differ between members (counter box, stepping button,
//   task-complete flag, hint, stock box...), the line columns (control name,
//   field stem, role), where a picked item's price comes from (an item
//   field, or typed by the user), the menus, the texts of the exit warning
//   and of the another-invoice question, and what the invoice view of a
//   search shows (InvoiceView). Filled by name (designated initializers):
//   a field left out takes its default, or the build warns.
// - A member class derives from InvoiceWindow (through StockInvoice,
//   invoices/stock_invoice.h) only to say how the invoice on screen is paid
//   (readPayment()) and what it prints and says once the save has
//   committed (confirmPosting()). Retail: Form3 (sales/retail_invoice.h).
//   Wholesale (Form42, Form53), returns (Form28) and incoming (Form17) are
//   further configurations, each with its stock flow and its payment.
// - One save road: the window reads the document on screen once (number,
//   group, lines, payment) and hands it to the ledger's postInvoice
//   (ledger/invoice.h), which checks it, has the window show its sums and
//   ask a part payment's amount, stores the row and posts it. A refusal is
//   said and writes nothing; if a write fails the action rolls back and
//   the window puts back the invoice being entered
//   (RecordEditing::guardWrites). What the save changed is shown once, by
//   the table-changed notice (the last number, the stock box).
// - One document at a time: while one is added or edited, add, edit's
//   other half, the search and a change of group are refused, and the
//   one way out is save or cancel. Add starts the document at line 1 in
//   the entry layout, whatever a search had shown.
// - A posted document keeps what it posted: edit opens only its free-text
//   boxes (the phone, a member's notes).
// - An item chooser's text counts when it names an item of the chosen
//   group, picked or typed: it prices the lines. A save whose line names
//   no such item is refused.
// - The search logins (access/search_login.h) ask a member to show the
//   invoice of a number (viewInvoice()): laid out for viewing as its
//   InvoiceView says, with the user and the number sought.
// - A further member is its configuration and a small class in a file of
//   its own (as sales/retail_invoice.cpp), one line registering it
//   (sales/windows.cpp) and its item in the main window's menu. A search
//   login of its own is one SearchLoginEntry (access/search_login.cpp);
//   a new invoice table or report is declared with the others
//   (data/schema.cpp, reports/layouts.cpp).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ledger/invoice.h"
#include "platform/form.h"

namespace mk {

class RecordEditing;

enum class LineRole { Item, Quantity, Price, Sum, Date };

// A control by name and, in a control array, index.
struct ControlName {
    const char* name = nullptr;
    int index = -1;
};

// A menu title or item: its name and caption.
struct MenuName {
    const char* name;
    const char* caption;
};

struct LineColumn {
    const char* control;  // "Text3"
    const char* stem;     // "QNTITY": slot n is stem + n
    LineRole role;
    double width;  // twips; columns are laid out right to left in this order
    // The first column's heading, when a member names it otherwise.
    ControlName heading{};
    const char* headingText = nullptr;
    // Hidden while entering (its first heading, row 0 at design and each
    // row the stepping shows); the invoice view shows it.
    bool entryHidden = false;
    // The second column's heading, when a member numbers it otherwise.
    int secondHeadingIndex = -1;
    // Shown, with its second heading, by the invoice view.
    bool inView = true;
};

struct DataBinding {
    const char* control;  // "Adodc7"
    const char* table;    // "BOX"; the invoice table's control is Adodc2
};

// The label numbers of one company datum along the bottom.
struct CompanyLabels {
    int caption;
    int value;
};

// Which of the hidden state flags the invoice view enables.
enum class ViewFlags { None, TaskFlag, All };

// The invoice view a search lays out: the window at the view height, every
// line row shown at its design place (with the serial labels the view
// takes), and the entry controls hidden (the stepping and compute buttons,
// the payment frame, the cover). Add puts back what it changed.
struct InvoiceView {
    ViewFlags enables = ViewFlags::None;
    bool serials = true;         // every row's serial label; false: line 1's only
    bool secondHeadings = true;  // the headings over the second column of lines
    bool totalCaption = true;    // the caption of the total
};

struct InvoiceConfig {
    const char* name;
    const char* designCaption;
    const char* captionPrefix;  // followed by the company title line at load

    // The data controls, in load order, and the roles some of them play.
    const char* table;
    StockFlow flow;  // how a save's lines move stock
    std::vector<DataBinding> dataControls;  // Adodc2 on `table` among them
    const char* boxControl;                 // on BOX, posted to
    const char* dailyControl = nullptr;     // on DAILY_TRADE
    const char* partnersControl;            // list of the buyer chooser
    const char* partnersListField;          // BUYER.BUYER
    const char* partnerField;               // the invoice's buyer field
    const char* groupsControl;              // on qqq
    const char* dimControl = nullptr;       // on DIM
    // The company's data along the bottom: COMPANY_NAME, PHONE, FAX,
    // ACCOUNTING_NUMBER, TAX_NUMBER in this order (a window may show only
    // the first ones).
    std::vector<CompanyLabels> companyLabels{};

    // The lines.
    std::vector<LineColumn> columns;
    const char* priceField;  // the item field a pick prices from; nullptr: typed
    // What a new invoice's date boxes start with; nullptr: the document date.
    const char* lineDate = nullptr;
    // A save refuses a line date box that holds no date.
    bool checkLineDates = false;

    // Control names that differ between members.
    const char* counterBox;    // the line stepping's counter
    const char* stepButton;    // "أفتح سجل جديد"
    bool stepPrintsNumber = true;  // the stepping prints the new line's number
    const char* taskFlag;      // enabled = no unsaved invoice
    std::vector<const char*> flags;  // the hidden check boxes, task flag among them
    const char* hintLabel;     // "أفتح فاتورة جديدة بالضغط على زر Add"
    ControlName stockCaption{};    // "الكمية الحالية"
    const char* stockBox = nullptr;  // nullptr: none (a window whose prices are typed)
    const char* userCaption;   // "أسم الموظف" beside the user label
    const char* userLabel;
    const char* currentCaption;  // beside the found number, hidden until a search
    const char* currentText;     // its text, "الفاتورة الحالية رقم "
    const char* groupPrompt;     // "إختر مجموعة الاصناف"
    // The caption beside a shown buyer (or supplier) chooser; nullptr: the
    // chooser is never shown.
    const char* partnerCaption = nullptr;
    const char* buyerCaption = "أسم المشترى";    // the caption of a hidden chooser
    // Where the date's, the partner's and the phone's captions stand in the
    // Label1 array.
    struct {
        int date = 1, partner = 2, phone = 3;
    } headerCaptions{};
    // The phone box stands beside the shown chooser, its caption hidden;
    // otherwise it is never shown.
    bool phoneShown = false;
    const char* secondNumberField = "INVO_NO";  // the hidden box Text1(1)
    bool computeButton = true;  // the hidden "أحسب إجمالى الفاتورة" (Command1)
    // The total: a label bound to TOTAL_SUM, or a hidden box when the
    // table keeps no total.
    const char* totalBox = "Label9";
    const char* totalCaption = "Label8";
    const char* totalText = "إجمالى الفاتورة";
    bool totalStored = true;
    // The total is a 16-bit whole number, rounded half to even after each
    // line.
    bool wholeTotal = false;

    // Menus. A report menu whose item has no name opens the report itself.
    MenuName fileMenu, exitItem, searchMenu, searchItem, reportMenu;
    MenuName reportItem{nullptr, nullptr};
    const char* searchLogin;  // the login window the search item shows
    const char* report;

    // Texts.
    const char* exitWarning;
    const char* exitTitle = "";
    const char* postedText;  // a number held by a posted invoice
    const char* postedTitle;
    const char* anotherPrompt;
    const char* anotherTitle;

    bool cancelEnablesChooser;
    bool addHidesHint = true;  // add hides the hint of the add button
    // After a save, whatever the answer to another invoice, the invoice
    // table is read anew and its first invoice shows.
    bool savedShowsFirst = false;

    InvoiceView view{};
};

// The lines of the windows that sell at an item's price: the item, the
// quantity, the unit price (kept in the EXPIRY_ DATE slots) and the sum.
std::vector<LineColumn> salesLineColumns();

// Said when a search is asked for while a document is added or edited.
inline constexpr const char* kSearchWhileOpen =
    "لا يمكن البحث أثناء إدخال أو تعديل فاتورة، أحفظ الفاتورة أو ألغها أولا";

class InvoiceWindow : public Form {
public:
    InvoiceWindow(Application& a, const InvoiceConfig& config);
    ~InvoiceWindow() override;
    void Form_Load() override;
    // The last number follows what its table holds (after a restore).
    void tablesChanged(const ChangedTables& tables) override;

    const InvoiceConfig& config() const { return config_; }
    // The group the last accepted pick chose ("" before one).
    const std::string& group() const { return group_; }
    // A document is being added or edited.
    bool documentOpen() const;
    // What a search login does here: it names the user who searched; then
    // it lays the window out as its invoice view (InvoiceView; add puts
    // back what it changed), shows the number sought and stands on the
    // first invoice of that number. Without one it goes back to the
    // invoice it showed (the first when it showed none) and returns false.
    void showSearcher(const std::string& user);
    bool viewInvoice(const std::string& user, const std::string& typed);

    Adodc* Adodc2;  // the invoice table
    Adodc* Adodc3;  // the chosen group's table
    DataCombo* DataCombo2;  // the buyer chooser
    DataCombo* DataCombo3;  // the group chooser
    TextBox* Text1[3]{};
    Label* Label4;   // the last number
    Label* Label5;   // the number a search found
    Label* Label6;   // the group prompt
    Label* Label9;   // the total; nullptr when the total is held in a box
    Label* Label12;  // the date
    CommandButton* cmdaction[3];
    PictureBox* Picture1;

    struct LineRow {
        Label* number = nullptr;
        std::vector<Control*> boxes;  // in column order
        DataCombo* item = nullptr;
        TextBox* quantity = nullptr;
        TextBox* price = nullptr;
        TextBox* sum = nullptr;
        TextBox* date = nullptr;
    };
    std::vector<LineRow> rows;

protected:
    // How the invoice on screen is paid, as the window shows it (nothing
    // is said: the ledger refuses a choice it cannot take).
    virtual PaymentChoice readPayment() = 0;
    // What a member prints and says once the save has committed.
    virtual void confirmPosting(const PostedInvoice&) {}
    // A member's own steps once add has started a new invoice.
    virtual void invoiceStarted() {}
    // Where add puts the focus: the box the user fills first.
    virtual Control* firstToFill();

    // A member's own box that is unlocked and locked with the line boxes.
    void addEntryBox(Control* box) { entryBoxes_.push_back(box); }
    // The frame of a member's payment type, shut while a document is edited
    // and hidden by the invoice view.
    void setPaymentFrame(Control* frame) { paymentFrame_ = frame; }
    // A member's further label that the invoice view shows.
    void addViewLabel(Control* label) { viewLabels_.push_back(label); }
    // The headings over the second column of lines (serial first, then the
    // columns in view), shown by the invoice view.
    const std::vector<Label*>& secondHeadings() const { return secondHeadings_; }
    // The same for a free-text box, which edit opens on a posted document.
    void addFreeTextBox(Control* box) {
        entryBoxes_.push_back(box);
        freeTextBoxes_.push_back(box);
    }

    // The book the ledger posts to: the invoice table, its stock flow and
    // the words of its refusals.
    const InvoiceBook& book() const { return book_; }
    // The document on screen as typed, with its payment or without.
    InvoiceDocument readDocument(bool withPayment);
    // The amount paid now of a part payment, as typed ("": cancelled).
    std::string askPaidNow();
    void say(const Refusal& refusal);
    // The item whose stock the stock box shows ("" before a pick).
    const std::string& shownStockItem() const { return lastPriced_; }
    Adodc& dataControl(const char* name) { return adodc(name); }
    Database& database();
    RecordEditing& editing() { return *editing_; }

private:
    void buildHeader();
    void buildLines();
    void buildButtons();
    void buildMenus();

    void chooseGroup(const std::string& name);
    void uncover();
    void ShowNextLineRow();
    void showSearchLogin();
    // Back to entering: what a search's view changed, and line 1 alone.
    void restoreEntryLayout();
    void priceLines();
    bool itemListed(const std::string& item);
    void addOrSave();
    void addInvoice();
    void saveInvoice();
    void editOrSave();
    void afterCancel();
    void exitGuard();

    // The invoice view of a search (InvoiceView).
    void showForViewing();
    int32_t lastNumber();
    void setEntryLocks(bool locked, bool prices);
    // The line sums and the total into their bound boxes, to be stored.
    void writeSums(const Invoice& inv);
    // Once a save has committed: the window's state, the member's
    // messages and the another-invoice question.
    void saved(const PostedInvoice& posted);

    const InvoiceConfig& config_;
    const InvoiceBook book_;
    std::unique_ptr<RecordEditing> editing_;
    Label* userLabel_ = nullptr;
    Label* currentLabel_ = nullptr;
    Label* totalCaption_ = nullptr;
    CommandButton* stepButton_ = nullptr;
    CommandButton* computeButton_ = nullptr;  // nullptr: the member has none
    std::vector<Label*> secondHeadings_;
    std::vector<Label*> hiddenHeadings_;  // of the columns hidden while entering
    std::vector<Control*> viewLabels_;
    std::string group_;
    bool savedSinceLoad_ = false;
    int32_t editedNumber_ = 0;   // the stored number of the invoice being edited
    bool editedPosted_ = false;  // ...and whether it was posted
    std::string lastPriced_;     // the item whose stock the stock box shows
    Control* totalBox_ = nullptr;
    std::vector<Control*> entryBoxes_;
    std::vector<Control*> freeTextBoxes_;
    Control* paymentFrame_ = nullptr;
    // What the search's view changed: each control's visibility before it,
    // and the height.
    std::vector<std::pair<Control*, bool>> viewed_;
    std::optional<double> heightBeforeView_;
};

}  // namespace mk
