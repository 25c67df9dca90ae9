// The expense books: the daily window Form18 (DAY_OUTPUT), the monthly
// window Form11 (MONTH_OUTPUT) and the yearly accounts window Form19
// (YEAR_OUTPUT). One window, three configurations: pick a row by its
// number, edit its five amounts, total them, save; the daily and monthly
// books roll their totals up into the next book.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "data/record_editing.h"
#include "platform/form.h"

namespace mk {

struct ExpenseBookConfig;

// Carrying one book's totals into a row of the next book up.
struct RollUpConfig {
    const char* buttonCaption;   // ADD
    const char* saveMessage;     // on saving the last row of the book
    const char* prompt;
    const char* promptTitle;
    int firstNumber, lastNumber;  // 0, 0: no range check
    const char* rangeMessage;
    const char* missingMessage;  // no row of the next book has that number
    std::array<const char*, 6> zeroFields;
    const char* targetField;     // written in the next book's row
    const char* doneBefore;
    const char* doneAfter;
    const ExpenseBookConfig* upper;
};

enum class SearchMatch { KeyText, KeyNumber };

struct ExpenseBookConfig {
    const char* formName;
    const char* table;
    const char* secondTable;  // Adodc2
    const char* captionPrefix;
    const char* numberField;  // listed by the picker, compared by a double-click
    const char* keyField;     // the same number as text, compared on a pick
    std::array<const char*, 5> amountFields;    // Text1(0..4)
    std::array<const char*, 5> amountCaptions;  // beside Text1(0..4)
    const char* totalField;                     // Label2
    const char* totalCaption;                   // Label1(6)
    bool netGain;  // the total is the net gain, not the sum
    const char* pickerCaption;
    const char* dateCaption;
    const char* sumCaption;
    const char* editMessage;  // null: none
    const char* cancelPrompt;
    const char* cancelTitle;
    const char* toolsMenu;
    const char* searchItem;
    const char* searchCaption;
    const char* exitItem;
    const char* exitCaption;
    const char* reportsMenu;
    const char* reportItem;
    const char* reportCaption;
    const char* report;
    const char* searchPrompt;
    int firstNumber, lastNumber;
    const char* rangeMessage;
    const char* rangeTitle;
    bool askAgain;  // after the range message answered Yes
    SearchMatch match;
    bool monthLine;  // Label3/Label4 show the searched month
    const RollUpConfig* rollUp;  // null: the book rolls into nothing
};

// The total of a book row's five amounts in index order: their sum, or
// for the yearly book the net gain.
double bookTotal(const ExpenseBookConfig& book, const std::array<double, 5>& amounts);

class ExpenseBook : public Form {
public:
    ExpenseBook(Application& a, const ExpenseBookConfig& config);
    void Form_Load() override;

    Adodc* Adodc1;
    Adodc* Adodc2;
    TextBox* Text1[5];
    Label* Label1[7];
    Label* Label2;
    Label* Label3;
    Label* Label4;
    Label* Label5;
    Label* Label6;
    DataCombo* DataCombo1;
    CommandButton* cmdaction[3] = {nullptr, nullptr, nullptr};
    CommandButton* Command1;
    CommandButton* ADD;

    const ExpenseBookConfig& config() const { return config_; }

private:
    void pick(bool byNumber);
    void editOrSave();
    void cancel();
    void total();
    void search();
    void rollUp();
    // The five amounts on screen (a box not typed into: the row's own);
    // null (and the box named) when one is no amount its field takes.
    std::optional<std::array<double, 5>> amountsOnScreen();
    // The row's total of these amounts; null (and said) beyond the limit.
    std::optional<double> totalOf(const std::array<double, 5>& amounts);
    // The number typed for the roll-up, once it names a row of the next book.
    std::optional<int> askTarget();
    void showPicker();

    const ExpenseBookConfig& config_;
    std::unique_ptr<RecordEditing> editing_;
};

class Form18 : public ExpenseBook {
public:
    static constexpr const char* kName = "Form18";
    explicit Form18(Application& a);
};

class Form11 : public ExpenseBook {
public:
    static constexpr const char* kName = "Form11";
    explicit Form11(Application& a);
};

class Form19 : public ExpenseBook {
public:
    static constexpr const char* kName = "Form19";
    explicit Form19(Application& a);
};

}  // namespace mk
