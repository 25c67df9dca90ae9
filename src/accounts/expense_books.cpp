#include "accounts/expense_books.h"

#include <algorithm>
#include <cmath>

#include "ledger/amounts.h"
#include "platform/application.h"
#include "platform/window_state.h"
#include "reports/opener.h"

namespace mk {

namespace {

extern const ExpenseBookConfig kYears;
extern const ExpenseBookConfig kMonths;

const RollUpConfig kMonthsIntoYear{
    .buttonCaption = "اضف الى الحسابات السنوية",
    .saveMessage = "  {أضف الى حسابات السنين} لاَضافة المصاريف الشهرية للسنة الى حساب السنوات   "
                   "يجب أن تضغط على زر",
    .prompt = "أدخل رقم السنة :",
    .promptTitle = "أدخل السنة :",
    .firstNumber = 0,
    .lastNumber = 0,
    .rangeMessage = nullptr,
    .missingMessage = "لا توجد سنة بهذا الرقم فى الحسابات السنوية",
    .zeroFields = {"TOTAL_OUT", "DALIY_OUT", "SALERY", "PHONE_FEE", "PLACE_FEE", "ELECTRIC_FEE"},
    .targetField = "MONTH_COST",
    .doneBefore = " لقد أضفت المصروفات الشهرية لسنة رقم",
    .doneAfter = " لحساب السنوات",
    .upper = &kYears,
};

const RollUpConfig kDaysIntoMonth{
    .buttonCaption = "أضف إلى المصاريف الشهرية",
    .saveMessage = " يجب ان تضغط (أضف الى حسابات الشهور) لأضافة المصروفات اليومية الى المصروفات "
                   "الشهرية ",
    .prompt = "أدخل رقم الشهر :",
    .promptTitle = "أدخل رقم الشهر",
    .firstNumber = 1,
    .lastNumber = 12,
    .rangeMessage = " رقم غير صحيح من فضلك ادخل رقم شهر صحيح بين 1 و 12 ",
    .missingMessage = "لا يوجد شهر بهذا الرقم فى الحسابات الشهرية",
    .zeroFields = {"TOTALDAY_OUT", "DAYLY", "OTHER", "HOME_OUT", "CAR_OUT", "STORE_OUT"},
    .targetField = "DALIY_OUT",
    .doneBefore = " لقد أضفت المصروفات اليومية لشهر رقم",
    .doneAfter = " الى الحسابات الشهرية",
    .upper = &kMonths,
};

const ExpenseBookConfig kDays{
    .formName = "Form18",
    .table = "DAY_OUTPUT",
    .secondTable = "MONTH_OUTPUT",
    .captionPrefix = " المصاريف اليومية ل ",
    .numberField = "DAY_NO",
    .keyField = "DAYS",
    .amountFields = {"DAYLY", "CAR_OUT", "HOME_OUT", "OTHER", "STORE_OUT"},
    .amountCaptions = {"المصاريف اليومية", "مصاريف السيارة", "مصاريف أخرى", "مصاريف نثرية",
                       "مصاريف الشركة"},
    .totalField = "TOTALDAY_OUT",
    .totalCaption = "الاجمالى",
    .netGain = false,
    .pickerCaption = "أختر اليوم",
    .dateCaption = "التاريخ",
    .sumCaption = "أجمع",
    .editMessage = "يجب ان تختار رقم اليوم ثم تدخل او تعدل البيانات ثم تضغط زر <جمع>  ثم تضغط زر< "
                   "حفظ>",
    .cancelPrompt = "ألعاء التغيرات?",
    .cancelTitle = "ألغاء التعديلات",
    .toolsMenu = "أدوات",
    .searchItem = "DAY_NO",
    .searchCaption = "أدخل رقم اليوم",
    .exitItem = "EXITE",
    .exitCaption = "إنهاء",
    .reportsMenu = "التقارير",
    .reportItem = "days",
    .reportCaption = "تقريرالمصاريف اليومية",
    .report = "DataReport7",
    .searchPrompt = "أدخل رقم اليوم للبحث ",
    .firstNumber = 1,
    .lastNumber = 30,
    .rangeMessage = "أدخل رقم اليوم بين 1 و 30 ",
    .rangeTitle = "رقم اليوم",
    .askAgain = false,
    .match = SearchMatch::KeyText,
    .monthLine = false,
    .rollUp = &kDaysIntoMonth,
};

const ExpenseBookConfig kMonths{
    .formName = "Form11",
    .table = "MONTH_OUTPUT",
    .secondTable = "YEAR_OUTPUT",
    .captionPrefix = " المصاريف الشهري ",
    .numberField = "MONTH_NO",
    .keyField = "MONTHES",
    .amountFields = {"DALIY_OUT", "ELECTRIC_FEE", "PLACE_FEE", "PHONE_FEE", "SALERY"},
    .amountCaptions = {"المصاريف اليومية", "فاتورة الكهرباء", "ايجار المكان", "فاتورة التليفون",
                       "Sallaries"},
    .totalField = "TOTAL_OUT",
    .totalCaption = "الاجمالى",
    .netGain = false,
    .pickerCaption = "اختر رقم الشهر",
    .dateCaption = "تاريخ اليوم",
    .sumCaption = "اجمع",
    .editMessage = nullptr,
    .cancelPrompt = "تراجع فى التغيرات?",
    .cancelTitle = "ألغاء التعديلات",
    .toolsMenu = "ادوات",
    .searchItem = "a",
    .searchCaption = "اختر الشهر",
    .exitItem = "exit",
    .exitCaption = "انهاء",
    .reportsMenu = "تقارير",
    .reportItem = "month",
    .reportCaption = "المصاريف الشهرية",
    .report = "DataReport6",
    .searchPrompt = "enter MONTH NO. for search ",
    .firstNumber = 1,
    .lastNumber = 12,
    .rangeMessage = "أدخل رقم شهر بين 1 و 12 ",
    .rangeTitle = "رقم الشهر",
    .askAgain = true,
    .match = SearchMatch::KeyNumber,
    .monthLine = true,
    .rollUp = &kMonthsIntoYear,
};

// The book holds the years 2000 to 2050, and its search takes any of them.
const ExpenseBookConfig kYears{
    .formName = "Form19",
    .table = "YEAR_OUTPUT",
    .secondTable = "MONTH_OUTPUT",
    .captionPrefix = " الحسابات السنوية ل ",
    .numberField = "YEAR",
    .keyField = "YEARS",
    .amountFields = {"MONTH_COST", "TAX", "GAIN_SELL", "MAINTENANCE", "LOSES"},
    .amountCaptions = {"MONTHLY COST", "الضرايب", "أرباح المبيعات", "اعمال الصيانة", "الخسائر"},
    .totalField = "NET_GAIN",
    .totalCaption = "NET GAIN",
    .netGain = true,
    .pickerCaption = "أختر الستة",
    .dateCaption = "التاريخ",
    .sumCaption = "أجمع",
    .editMessage = "  يجب ان تختار رقم السنة ثم تدخل او تعدل البيانات ثم تضغط زر <جمع> ثم تضغط زر "
                   "<حفظ>",
    .cancelPrompt = "ألغاء التعديلات?",
    .cancelTitle = "ألعاء التعديلات",
    .toolsMenu = "أدوات",
    .searchItem = "year",
    .searchCaption = "أختر السنة",
    .exitItem = "EXITE",
    .exitCaption = "إنهاء",
    .reportsMenu = "التقارير",
    .reportItem = "years",
    .reportCaption = "تقرير الحسابات السنوية",
    .report = "DataReport5",
    .searchPrompt = "أدخل رفم السنة للبحث ",
    .firstNumber = 2000,
    .lastNumber = 2050,
    .rangeMessage = "ادخل رقم للسنة بين 2000 و 2050 ",
    .rangeTitle = "سنة",
    .askAgain = true,
    .match = SearchMatch::KeyText,
    .monthLine = false,
    .rollUp = nullptr,
};

constexpr const char* kLoadMessage =
    "يجب ان تضغط زر تعديل ثم تختار رقم اليوم ثم تقوم بادخال او اجراء التعديلات على بيناته ثم "
    "تضغط زر حفظ";
constexpr const char* kNoteTitle = "ملحوظة";
constexpr uint32_t kTotalColor = 0xFFFFC0;  // light yellow

// Right to left in three columns: the captions, the amount boxes, the
// buttons. Over them the picker (caption over chooser), the searched month
// and the date (caption, value).
constexpr TwipGrid kBook{
    .right = 7440, .top = 1320, .colStep = 2400, .rowStep = 420, .width = 2280, .height = 315};
constexpr TwipGrid kPicker{
    .right = 7440, .top = 240, .colStep = 2400, .rowStep = 360, .width = 2280, .height = 315};
constexpr TwipGrid kDate{.right = 2640, .top = 240, .colStep = 1200, .width = 1080, .height = 285};
constexpr TwipGrid kButtons{
    .right = 2640, .top = 1320, .rowStep = 480, .width = 2400, .height = 375};
constexpr double kDateWidth = 1200;

// An amount box: empty counts as 0; null when it holds no number.
std::optional<double> amountOf(const std::string& text) {
    if (text.empty()) return 0.0;
    return parseNumber(text);
}

// The box index of each caption Label1(1..5): Text1(1..4), then Text1(0).
int boxOfCaption(int label) { return label == 5 ? 0 : label; }

}  // namespace

double bookTotal(const ExpenseBookConfig& book, const std::array<double, 5>& amounts) {
    double total = 0;
    for (size_t i = 0; i < amounts.size(); ++i) {
        // The net gain adds the sales profit and takes off the other four.
        if (book.netGain && i != 2) total -= amounts[i];
        else total += amounts[i];
    }
    return total;
}

ExpenseBook::ExpenseBook(Application& a, const ExpenseBookConfig& config)
    : Form(a, config.formName), config_(config) {
    caption = config.captionPrefix;
    width = 7800;
    height = 4860;

    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");

    Label5 = add<Label>("Label5", -1, kDate.cell(0, 0), config.dateCaption);
    Label5->alignment = 1;
    Label6 = add<Label>("Label6", -1, kDate.cell(1, 0, kDateWidth));

    const TwipGrid pickerCaptions = kPicker.rowsAt(kPicker.top, TwipGrid::kCaptionHeight);
    Label1[0] = add<Label>("Label1", 0, pickerCaptions.cell(0, 0), config.pickerCaption);
    Label1[0]->alignment = 1;
    DataCombo1 = add<DataCombo>("DataCombo1", -1, kPicker.cell(0, 1));
    DataCombo1->rowSource = Adodc1;
    DataCombo1->listField = config.numberField;
    DataCombo1->locked = true;
    Label3 = add<Label>("Label3", -1, pickerCaptions.cell(1, 0), "رقم الشهر");
    Label4 = add<Label>("Label4", -1, kPicker.cell(1, 1));
    Label3->alignment = Label4->alignment = 1;
    Label4->fontBold = true;
    Label3->visible = Label4->visible = false;

    for (int i = 0; i < 5; ++i) {
        Text1[i] = add<TextBox>("Text1", i, kBook.cell(1, i));
        Text1[i]->alignment = 1;
        Text1[i]->locked = true;
        Text1[i]->bindTo(*Adodc1, config.amountFields[static_cast<size_t>(i)]);
    }
    for (int l = 1; l <= 5; ++l) {
        const int b = boxOfCaption(l);
        Label1[l] = add<Label>("Label1", l, kBook.captions().cell(0, b),
                               config.amountCaptions[static_cast<size_t>(b)]);
        Label1[l]->alignment = 1;
    }
    Label1[6] = add<Label>("Label1", 6, kBook.captions().cell(0, 5), config.totalCaption);
    Label1[6]->alignment = 1;
    Label1[6]->fontBold = true;
    Label1[6]->visible = false;
    Label2 = add<Label>("Label2", -1, kBook.cell(1, 5));
    Label2->alignment = 1;
    Label2->fontBold = true;
    Label2->bindTo(*Adodc1, config.totalField);

    cmdaction[2] = add<CommandButton>("cmdaction", 2, kButtons.cell(0, 0), "&تعديل");
    cmdaction[1] = add<CommandButton>("cmdaction", 1, kButtons.cell(0, 1), "cancel");
    cmdaction[1]->enabled = false;
    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(0, 2), config.sumCaption);
    // The roll-up beside the last amount.
    ADD = add<CommandButton>("ADD", -1, kBook.cell(2, 4, kButtons.width, kButtons.height),
                             config.rollUp ? config.rollUp->buttonCaption : "");
    ADD->visible = false;

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{nullptr, cmdaction[1], cmdaction[2]},
        RecordEditingTexts{.edit = "&تعديل",
                           .editSave = "&حفظ",
                           .cancelPrompt = config.cancelPrompt,
                           .cancelTitle = config.cancelTitle,
                           .cancelResetsEdit = true});
    editing_->gatedBoxes = {Text1[0], Text1[1], Text1[2], Text1[3], Text1[4], DataCombo1};
    // The window's own edit/save: editing starts before a row is picked.
    cmdaction[2]->onClick = [this] { editOrSave(); };
    cmdaction[1]->onClick = [this] { cancel(); };

    DataCombo1->onChange = [this] { pick(false); };
    DataCombo1->onDblClick = [this] { pick(true); };
    Command1->onClick = [this] { total(); };
    if (config.rollUp) ADD->onClick = [this] { rollUp(); };

    MenuItem* tools = addMenu("tools", config.toolsMenu);
    addMenu(config.searchItem, config.searchCaption, tools)->onClick = [this] { search(); };
    addMenu(config.exitItem, config.exitCaption, tools)->onClick = [this] { Unload(); };
    MenuItem* reports = addMenu("reports", config.reportsMenu);
    addMenu(config.reportItem, config.reportCaption, reports)->onClick = [this] {
        openReport(app(), config_.report);
    };
}

void ExpenseBook::Form_Load() {
    bindTable(*Adodc1, config_.table);
    bindTable(*Adodc2, config_.secondTable);
    caption = config_.captionPrefix + companyTitle(app());
    // No row is chosen yet: what is typed before a pick goes into no row.
    Adodc1->recordset().movePrevious();
    DataCombo1->displayText("");
    Label2->displayCaption("0");
    for (TextBox* t : Text1) t->displayText("0");
    Label6->setCaption(formatShortDate(app().clock().now()));
    MsgBox(kLoadMessage, mb::OKOnly, kNoteTitle);
}

void ExpenseBook::pick(bool byNumber) {
    const std::string wanted = DataCombo1->text();
    if (wanted.empty()) return;
    if (!byNumber) Adodc1->Refresh();  // drops what was typed into the row on show
    Recordset& rs = Adodc1->recordset();
    const char* field = byNumber ? config_.numberField : config_.keyField;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (toText(rs.field(field)) == wanted) return;
}

void ExpenseBook::showPicker() {
    Label1[0]->visible = true;
    DataCombo1->visible = true;
}

std::optional<std::array<double, 5>> ExpenseBook::amountsOnScreen() {
    std::array<double, 5> values{};
    const Recordset& rs = Adodc1->recordset();
    for (size_t i = 0; i < values.size(); ++i) {
        // Each box must hold an amount its field takes; the refusal names it.
        if (auto why = Adodc1->entryRefusal(*Text1[i])) {
            MsgBox(*why);
            return std::nullopt;
        }
        // A box not typed into holds the row's amount, whole (its text may
        // show it cut to 15 digits).
        values[i] = Text1[i]->boundChanged() || !rs.hasCurrentRow()
                        ? amountOf(Text1[i]->text()).value_or(0)
                        : toDouble(rs.field(config_.amountFields[i]));
    }
    return values;
}

std::optional<double> ExpenseBook::totalOf(const std::array<double, 5>& amounts) {
    const double total = bookTotal(config_, amounts);
    if (!withinLimit(total)) {
        MsgBox(beyondLimit(config_.totalCaption));
        return std::nullopt;
    }
    return total;
}

void ExpenseBook::editOrSave() {
    if (!editing_->editing()) {
        if (config_.editMessage) MsgBox(config_.editMessage);
        editing_->standardEditSave();
        showPicker();
        return;
    }
    Recordset& rs = Adodc1->recordset();
    if (!rs.hasCurrentRow()) {
        // Nothing picked (or a search found nothing): nowhere to store.
        MsgBox(kLoadMessage, mb::OKOnly, kNoteTitle);
        showPicker();
        return;
    }
    const auto amounts = amountsOnScreen();
    if (!amounts) return;
    // A book that rolls up stores the total of the amounts it stores, as
    // the sum button works it out, so a roll-up never clears an amount
    // its total did not carry.
    std::optional<double> total;
    if (config_.rollUp && !(total = totalOf(*amounts))) return;
    // The row saved, not the picker's text, tells whether it ends the book.
    const bool lastRow =
        config_.rollUp && toDouble(rs.field(config_.numberField)) == config_.lastNumber;
    // The total goes with the amounts it is worked out from, so each must
    // be what is stored now or typed over it: an amount a roll-up stored
    // since it showed is named.
    if (total)
        for (TextBox* box : Text1)
            if (auto why = Adodc1->overwriteRefusal(*box)) {
                MsgBox(*why, mb::OKOnly, kNoteTitle);
                return;
            }
    // A refusal puts the window back as it was, the edit open.
    const WindowState unsaved({this}, app().focused());
    if (total) {
        Label2->setValue(Value(*total));
        Adodc1->baseOnStored(*Label2);
    }
    if (!editing_->entriesFit()) {
        unsaved.restore({this});
        return;
    }
    editing_->guardWrites([&] { rs.update(); });
    editing_->enter(EditMode::Browsing);
    editing_->SetCancelEnabled(false);
    editing_->setBoxesLocked(true);
    if (lastRow) {
        MsgBoxAfterCommit(config_.rollUp->saveMessage);
        ADD->visible = true;
    }
    showPicker();
}

void ExpenseBook::cancel() {
    editing_->CancelEdit();
    if (!editing_->editing()) editing_->setBoxesLocked(true);
}

void ExpenseBook::total() {
    const auto amounts = amountsOnScreen();
    if (!amounts) return;
    const auto sum = totalOf(*amounts);
    if (!sum) return;
    Label1[6]->visible = true;
    Label2->backColor = kTotalColor;
    Label2->setValue(Value(*sum));
}

void ExpenseBook::search() {
    for (;;) {
        const std::string typed = InputBox(config_.searchPrompt);
        const auto n = parseNumber(typed);
        if (!n || *n < config_.firstNumber || *n > config_.lastNumber) {
            const int a = MsgBox(config_.rangeMessage, mb::YesNo, config_.rangeTitle);
            if (config_.askAgain && a == answer::Yes) continue;
            return;
        }
        Adodc1->Refresh();
        Recordset& rs = Adodc1->recordset();
        const double month = roundToInt16(*n);
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const Value key = rs.field(config_.keyField);
            if (config_.match == SearchMatch::KeyText ? toText(key) == typed
                                                      : toDouble(key) == month)
                break;
        }
        if (config_.monthLine) {
            Label3->visible = Label4->visible = true;
            Label4->setCaption(typed);
        }
        Label1[0]->visible = false;
        DataCombo1->visible = false;
        return;
    }
}

std::optional<int> ExpenseBook::askTarget() {
    const RollUpConfig& r = *config_.rollUp;
    for (;;) {
        const std::string typed = InputBox(r.prompt, r.promptTitle);
        if (typed.empty()) return std::nullopt;  // nothing rolled up
        const auto n = parseNumber(typed);
        const bool whole = n && std::fabs(*n) < 32767.5;
        const int number = whole ? roundToInt16(*n) : 0;
        if (r.rangeMessage && (!whole || number < r.firstNumber || number > r.lastNumber)) {
            MsgBox(r.rangeMessage);
            continue;
        }
        // The next book must hold the row before this book is emptied.
        bool held = false;
        if (whole) {
            Recordset upper(Adodc2->recordset().database(), r.upper->table);
            for (; !held && !upper.eof(); upper.moveNext())
                held = toInt16(upper.field(r.upper->numberField)) == number;
        }
        if (!held) {
            MsgBox(r.missingMessage);
            continue;
        }
        return number;
    }
}

void ExpenseBook::rollUp() {
    const RollUpConfig& r = *config_.rollUp;
    const ExpenseBookConfig& book = *r.upper;
    // What is typed into the row on show goes with the roll-up.
    if (!entriesFit(*this, *Adodc1)) return;
    const auto target = askTarget();
    if (!target) return;

    // Every amount is worked out before anything is written: the sum of
    // the amounts this book clears (the row on show as typed) is added to
    // the upper row, whatever total a row was stored with.
    Database& db = Adodc1->recordset().database();
    Recordset& shown = Adodc1->recordset();
    const long long shownRow = shown.hasCurrentRow() ? shown.rowId() : 0;
    const auto shownAmounts = amountsOnScreen();
    if (!shownAmounts) return;
    double sum = 0;
    for (Recordset lower(db, config_.table); !lower.eof(); lower.moveNext()) {
        std::array<double, 5> amounts = *shownAmounts;
        if (lower.rowId() != shownRow)
            for (size_t i = 0; i < amounts.size(); ++i)
                amounts[i] = toDouble(lower.field(config_.amountFields[i]));
        sum += bookTotal(config_, amounts);
    }
    // A month's total follows its amounts; a year's net gain is worked out
    // by its own button alone.
    const bool carriesTotal = !book.netGain;
    bool found = false;
    double newAmount = 0, newTotal = 0;  // of the upper row
    for (Recordset upper(db, book.table); !found && !upper.eof(); upper.moveNext()) {
        if (toInt16(upper.field(book.numberField)) != *target) continue;
        std::array<double, 5> amounts{};
        for (size_t i = 0; i < amounts.size(); ++i) {
            amounts[i] = toDouble(upper.field(book.amountFields[i]));
            if (namesEqual(book.amountFields[i], r.targetField)) amounts[i] += sum;
        }
        const auto held = std::find_if(book.amountFields.begin(), book.amountFields.end(),
                                       [&](const char* f) { return namesEqual(f, r.targetField); });
        const double amount = amounts[static_cast<size_t>(held - book.amountFields.begin())];
        const double total = bookTotal(book, amounts);
        const char* caption =
            book.amountCaptions[static_cast<size_t>(held - book.amountFields.begin())];
        if (!withinLimit(amount)) {
            MsgBox(beyondLimit(caption));
            return;
        }
        if (carriesTotal && !withinLimit(total)) {
            MsgBox(beyondLimit(book.totalCaption));
            return;
        }
        found = true;
        newAmount = amount;
        newTotal = total;
    }

    if (shown.hasCurrentRow()) {
        Adodc1->storeBoundChanges();
        if (shown.hasPendingChanges()) shown.update();
    }
    Adodc1->Refresh();  // a new recordset: take it only now
    Recordset& lower = Adodc1->recordset();
    for (; !lower.eof(); lower.moveNext()) {
        for (const char* f : r.zeroFields) lower.setField(f, 0);
        lower.update();
    }

    // The upper row's amount takes the sum on top of what it held (an
    // earlier roll-up into it is kept); a month's total follows, so the
    // amounts reach the book after it.
    Adodc2->Refresh();
    Recordset& upper = Adodc2->recordset();
    for (; !upper.eof(); upper.moveNext()) {
        if (found && toInt16(upper.field(book.numberField)) == *target) {
            upper.setField(r.targetField, newAmount);
            if (carriesTotal) upper.setField(book.totalField, newTotal);
            found = false;  // the first row of the number only
        }
        upper.update();
    }

    ADD->visible = false;
    MsgBoxAfterCommit(r.doneBefore + std::to_string(*target) + r.doneAfter);
}

Form18::Form18(Application& a) : ExpenseBook(a, kDays) {}

Form11::Form11(Application& a) : ExpenseBook(a, kMonths) {}

Form19::Form19(Application& a) : ExpenseBook(a, kYears) {}

}  // namespace mk
