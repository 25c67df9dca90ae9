#include "app/main_window.h"

#include "accounts/cashbox_window.h"
#include "app/main_totals.h"
#include "ledger/money_posting.h"
#include "purchasing/partners.h"

#include "data/record_editing.h"
#include "data/schema.h"
#include "platform/application.h"
#include "reports/opener.h"
#include "store/day_quantities.h"
#include "store/expiry.h"
#include "store/item_card.h"

namespace mk {

namespace {

std::u32string toU32(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra && i + static_cast<size_t>(k) < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string toUtf8(const std::u32string& s) {
    std::string out;
    for (char32_t cp : s) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// Along the top, right to left: the date, the time and, at the left, the
// credits line.
constexpr TwipGrid kTopLine{
    .right = 12360, .top = 120, .colStep = 1980, .width = 1800, .height = 285};
constexpr double kCreditsWidth = 4200;
// The five totals, right to left: caption (row 0) over value (row 1).
constexpr TwipGrid kTotals{
    .right = 12360, .top = 540, .colStep = 2400, .rowStep = 300, .width = 2280, .height = 285};
constexpr double kValueHeight = 315;

}  // namespace

const char* const Form1::kCredits =
    "   مخزن و حسابات  *  إدارة المخزن و المبيعات و المشتريات و الصندوق و المصاريف و العاملين  "
    "*  makhzan   ";

Form1::Form1(Application& a) : Form(a, kName) {
    caption = "مخزن ";
    width = 12600;
    height = 7920;

    // Data controls opened at load, never shown.
    Adodc7 = addHidden<Adodc>("Adodc7");
    Adodc6 = addHidden<Adodc>("Adodc6");
    Adodc9 = addHidden<Adodc>("Adodc9");
    Adodc2 = addHidden<Adodc>("Adodc2");
    Adodc5 = addHidden<Adodc>("Adodc5");
    Adodc3 = addHidden<Adodc>("Adodc3");
    Text12 = addHidden<TextBox>("Text12");
    Text12->bindTo(*Adodc7, "UserID");
    Text11 = addHidden<TextBox>("Text11");
    Text11->bindTo(*Adodc6, "DESC");

    // Date and time at the top right, the five totals below them.
    Label13 = add<Label>("Label13", -1, kTopLine.cell(0, 0));
    Label13->alignment = 1;
    Label9 = add<Label>("Label9", -1, kTopLine.cell(1, 0));
    Label9->alignment = 1;
    Label11 = add<Label>("Label11", -1, kTopLine.cell(4, 0, kCreditsWidth));
    const char* const totalCaptions[3] = {"إجمالى المدين", "إجمالى الداين", "إجمالى الصندوق"};
    auto valueAt = [](int column) {
        return kTotals.cell(column, 1, kTotals.width, kValueHeight);
    };
    for (int i = 0; i < 3; ++i) {
        Label25[i] = add<Label>("Label25", i, kTotals.cell(i, 0), totalCaptions[i]);
        Label23[i] = add<Label>("Label23", i, valueAt(i));
    }
    Label26 = add<Label>("Label26", -1, kTotals.cell(3, 0), "إجمالى  المبيع");
    Label24 = add<Label>("Label24", -1, valueAt(3));
    Label20 = add<Label>("Label20", -1, kTotals.cell(4, 0), "إجمالى المخزن ");
    Label21 = add<Label>("Label21", -1, valueAt(4));
    for (Label* l : {Label25[0], Label25[1], Label25[2], Label26, Label20}) l->alignment = 2;
    for (Label* l : {Label23[0], Label23[1], Label23[2], Label24, Label21}) {
        l->alignment = 2;
        l->fontBold = true;
    }

    card = std::make_unique<ItemCard>(*this, *Adodc5);

    // Over the item card and the group chooser until the store is opened.
    Picture2 = add<PictureBox>("Picture2", -1, Geometry{120, 1560, 12360, 4740});
    Picture2->covering = true;

    Label19 = add<Label>("Label19", -1, Geometry{240, 6480, 12120, 315});

    Timer1 = add<Timer>("Timer1", -1, 12000, false);
    Timer2 = add<Timer>("Timer2", -1, 650, true);
    Timer3 = add<Timer>("Timer3", -1, 1000, true);
    Timer1->onTimer = [this] { enabled = true; };
    Timer2->onTimer = [this] { Timer2_Timer(); };
    Timer3->onTimer = [this] { Label9->setCaption(formatTime(app().clock().now())); };

    buildMenus();
}

Form1::~Form1() = default;

void Form1::buildMenus() {
    auto item = [this](const char* name, const char* itemCaption, MenuItem* parent,
                       std::function<void()> action, const char* shortcut = "") {
        MenuItem* m = addMenu(name, itemCaption, parent, shortcut);
        if (action) m->onClick = std::move(action);
        return m;
    };
    auto shows = [this](const char* window) { return [this, window] { showWindow(window); }; };
    auto opens = [this](const char* report) { return [this, report] { openReport(app(), report); }; };

    MenuItem* file = addMenu("file", "م&لف");
    item("account", "إضافة و حذف مستخدمين", file,
         [this] { showWindow(switchOff() ? "Form12" : "Form13"); });
    item("board", "أغلق لوحة المفاتيح و الفأرة", file, [this] {
        // The running unlock timer is not restarted: a second lock ends at its next tick.
        enabled = false;
        Timer1->setEnabled(true);
    });
    item("copy", " إسترجاع النسخة الإحتياطية من قاعدة البيانات", file, shows("Form47"));
    item("day_exite", "عمل نسخة إحتياطيةوإغلاق نهاية اليوم", file, shows("Form48"));
    item("exit", "إغلاق", file, [this] { Unload(); });

    MenuItem* store = addMenu("store", "المخزن");
    item("store_functions", "تعاملات المخزن", store, [this] {
        if (!switchOff()) {
            showWindow("Form20");
            return;
        }
        uncoverStore();
    });
    item("RENAME_MAIN", "إضافة الأصناف الرئيسية", store, shows("Form49"));
    item("earchby_name", "بحث عن صنف بدلالة أسمه", store, [this] { card->searchByName(); });
    item("INVENTORY_REPORT", "تقرير بحركة يومية المخزن", store,
         [this] { showDailyMovement(app(), true); });

    MenuItem* output = addMenu("output", "الحسابات");
    item("moutput", "المصاريف الشهرية", output, shows("Form11"), "Ctrl+M");
    item("doutput", "المصاريف اليومية", output, shows("Form18"), "Ctrl+D");
    item("yearout", "الحسابات السنوية", output, shows("Form19"), "Ctrl+Y");

    MenuItem* invo = addMenu("invo", "أذون و فواتير");
    item("SALES_IN", "فواتير مبيعات القطاعى", invo, shows("Form3"), "Ctrl+S");
    item("saleslarge", "فواتير مبيعات الجملة", invo, shows("Form42"));
    item("sellgroup", "أذون صرف جملة", invo, shows("Form53"));
    item("returne", "فواتير المرتجعات", invo, shows("Form28"));
    item("supply_inv", "فواتير الواردات", invo, shows("Form17"));
    item("ECEIVE", "أذون صرف نقدى", invo, shows("Form41"));
    item("PAY", "أذون إستلام نقدى", invo, shows("Form35"));

    MenuItem* dealers = addMenu("dealers", "العملاء و الموردين");
    // With the switch on, this item opens the employee data window.
    item("SUPPLY_INF", "بيانات الموردين", dealers,
         [this] { showWindow(switchOff() ? "Form5" : "Form32"); }, "Shift+F1");
    item("BUYER", "بيانات العملاء", dealers,
         [this] { showWindow(switchOff() ? "Form6" : "Form52"); }, "Shift+F2");

    MenuItem* box = addMenu("BOX", "الصندوق");
    item("BOX_MANGEMENT", "تعاملات الصندوق", box, shows("Form34"));

    MenuItem* staff = addMenu("emplyee1", "بيانات العاملين");
    item("emplyee", "بيانات العاملين الأساسية", staff, nullptr);
    item("observe_employee", "متابعة العاملين", staff, shows("Form51"));
    item("ADD_EMPLOYEE", "أضف موظف", staff, shows("Form50"));

    MenuItem* help = addMenu("HELP", "مساعدة");
    item("PROGRAMMER", "معلومات عن البرنامج", help, shows("Form7"), "Ctrl+I");
    item("USE", "كيف تستخدم البرنامج", help, nullptr, "Ctrl+Q");

    MenuItem* reports = addMenu("reports", "تقارير");
    item("inventory_rep", "تقرير بالحركة اليومية للمخزن ", reports,
         [this] { showDailyMovement(app(), false); });
    item("akkes_repo", "تقرير عن فواتير مبيعات الجملة", reports, opens("DataReport3"));
    item("buy_repo", "تقرير عن فواتير الواردات", reports, opens("DataReport4"));
    item("ss", "تقرير الموردين", reports, opens("DATA_SUPPLIER"));
    item("dealer", "تقرير العملاء", reports, opens("DataReport2"));
    item("BOX_REPORT", "تقرير الصندوق", reports, opens("DataReport8"));
    item("emplyee_report", "تقرير ببيانات الموظفين", reports, opens("DataReport12"));
    item("date_report", "تقرير بالأصناف المنتهية صلاحيتها خلال فترة محددة", reports,
         [this] { askExpiryPeriodAndShow(app()); });
    item("new", "new", reports, shows("Form56"));
}

void Form1::Form_Load() {
    credits_ = toU32(kCredits);
    marqueeLength_ = toInt16(Value(static_cast<int>(credits_.size()) + 250));

    bindTable(*Adodc7, "Admin");
    bindTable(*Adodc6, "DAILY_TRADE");
    bindTable(*Adodc9, "VALIDITY_DATE");
    bindTable(*Adodc2, "DIM");
    bindTable(*Adodc5, "qqq");
    bindTable(*Adodc3, "SALES_INVOICE");

    const double now = app().clock().now();
    const double today = app().clock().today();
    caption = "مخزن " + companyTitle(app());
    Label11->setCaption("");
    Label9->setCaption(formatTime(now));
    Label13->setCaption(formatShortDate(today));
    computeTotals();
}

void Form1::computeTotals() {
    // The partners' tables are those their windows show, and the cash box
    // is the cash box window's; asking loads those windows hidden, as it
    // always has.
    const std::string customers = app().form<Form6>().partnersTable();
    const std::string suppliers = app().form<Form5>().partnersTable();
    totals_.reset();
    totals_ = std::make_unique<MainTotals>(app(), customers, suppliers);
    Label23[0]->setCaption(formatDouble(totals_->customers()));
    Label23[1]->setCaption(formatDouble(totals_->suppliers()));
    Label23[2]->setCaption(formatDouble(app().form<Form34>().lastBalance()));
    showStockTotals();
}

void Form1::uncoverStore() {
    Picture2->visible = false;
    // The item card opens on its group chooser, the first thing used.
    if (app().canTakeInput(*card->DataCombo3)) card->DataCombo3->SetFocus();
}

std::string Form1::itemShown() const { return card->Text6->text(); }

void Form1::openStore() {
    Picture2->visible = false;
    app().show(*this);
    uncoverStore();
}

void Form1::showStockTotals() {
    const MainTotals::Stock stock = totals_->stock();
    Label24->setCaption(formatDouble(stock.sale));
    Label21->setCaption(formatDouble(stock.buy));
}

void Form1::tablesChanged(const ChangedTables& tables) {
    // Each total follows what the postings changed in the rows they wrote.
    if (totals_) {
        if (tableChanged(tables, "BUYER"))
            Label23[0]->setCaption(formatDouble(totals_->customers()));
        if (tableChanged(tables, "SUPPLIER"))
            Label23[1]->setCaption(formatDouble(totals_->suppliers()));
        if (tableChanged(tables, "qqq")) totals_->relistGroups();
        if (totals_->stockTouched(tables)) showStockTotals();
    }
    // The group chooser lists a group another window added at once.
    if (tableChanged(tables, "qqq") && Adodc5->isOpen()) Adodc5->Refresh();
    if (tableChanged(tables, "BOX"))
        Label23[2]->setCaption(formatDouble(cashBalance(app().machine().database(kDatabasePath))));
    card->tablesChanged(tables);
}

bool Form1::switchOff() {
    const Value security = Adodc2->recordset().field("SECURITY");
    if (security.type() == Value::Type::Bool) return !security.asBoolRaw();
    return security.isNumber() && toDouble(security) == 0;
}

void Form1::showWindow(const char* name) { app().show(app().form(name)); }

void Form1::Timer2_Timer() {
    // The text becomes its last N characters followed by its first N.
    const size_t n = static_cast<size_t>(marqueeLength_ < 0 ? 0 : marqueeLength_);
    const std::u32string& s = credits_;
    const std::u32string tail = s.size() > n ? s.substr(s.size() - n) : s;
    const std::u32string head = s.size() > n ? s.substr(0, n) : s;
    credits_ = tail + head;
    Label19->setCaption(toUtf8(credits_));
}

}  // namespace mk
