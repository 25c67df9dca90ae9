#include "store/expiry.h"

#include <cmath>
#include <optional>
#include <string>

#include "data/record_editing.h"
#include "data/schema.h"
#include "data/scratch.h"
#include "platform/application.h"
#include "platform/table_scan.h"
#include "reports/opener.h"
#include "store/day_quantities.h"

namespace mk {

namespace {

const char* const kTitle = "البحث عن الصلاحية";
const char* const kNotADate = "التاريخ الذى أدخلته غير صحيح، اكتبه بالشكل يوم/شهر/سنة";

// The period, held for the whole program: set by the menu, read by Form55.
struct Period {
    std::string start, end;
};
Period& period() {
    static Period p;
    return p;
}

std::optional<double> dayOf(const std::string& text) {
    auto d = parseDate(text);
    if (!d) return std::nullopt;
    return std::floor(*d);
}

constexpr double kWidth = 9600;
constexpr double kHeight = 4800;

}  // namespace

Form55::Form55(Application& a) : Form(a, kName) {
    caption = "تقرير بالأصناف المنتهية صلاحيتها";
    width = kWidth;
    height = kHeight;

    // Headings along the top, left to right.
    struct Heading {
        const char* text;
        double width;
    };
    const Heading headings[] = {{"رقم", 720},
                                {"تاريخ إنتهاء الصلاحية", 2160},
                                {"الكمية", 1080},
                                {"أسم الصنف", 2400},
                                {"مجموعة رئيسية", 2400}};
    Label** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
    double left = 240;
    for (int i = 0; i < 5; ++i) {
        Label* l = add<Label>("Label" + std::to_string(i + 1), -1,
                              Geometry{left, 120, headings[i].width - 60, 285}, headings[i].text);
        l->fontBold = true;
        *labels[i] = l;
        left += headings[i].width;
    }

    Adodc1 = addHidden<Adodc>("Adodc1");
    Adodc2 = addHidden<Adodc>("Adodc2");
    Adodc3 = addHidden<Adodc>("Adodc3");

    // Carriers of the rows found; never shown.
    const char* fields[] = {"QQQ", "SUB_TYPE", "QUANTITY", "DATE", "ID"};
    TextBox** boxes[] = {&Text1, &Text2, &Text3, &Text4, &Text5};
    for (int i = 0; i < 5; ++i) {
        TextBox* t = addHidden<TextBox>("Text" + std::to_string(i + 1));
        t->bindTo(*Adodc2, fields[i]);
        *boxes[i] = t;
    }
    Text6 = addHidden<TextBox>("Text6");
    Text6->bindTo(*Adodc1, "q");
    Text7 = addHidden<TextBox>("Text7");
    Text7->bindTo(*Adodc3, "DESC");

    Timer1 = add<Timer>("Timer1", -1, 1000, true);
    Timer1->onTimer = [this] { Unload(); };
}

void Form55::Form_Load() {
    bindTable(*Adodc1, "qqq");
    bindTable(*Adodc2, "VALIDITY_DATE");
    preClean(app(), ScratchTable::ValidityDate, *Adodc2);
    ScratchRun rows(app(), ScratchTable::ValidityDate, *Adodc2);

    // The menu lets only dates through; without a period nothing is listed.
    const auto from = dayOf(period().start);
    const auto to = dayOf(period().end);

    Database& db = app().machine().database(kDatabasePath);
    Recordset& groups = Adodc1->recordset();
    for (groups.moveFirst(); from && to && !groups.eof(); groups.moveNext()) {
        const std::string group = Text6->text();
        if (group.empty()) continue;
        // A group whose table is missing is skipped, as the totals skip it.
        const std::string table = groupTable(app(), group);
        if (table.empty()) continue;
        // The item control stands past the group's last row, as a walk
        // over it leaves it; the rows in the period are found in SQL.
        Adodc3->bindTableAtEnd(kConnectionString, table);
        // An item with no expiry date is not in any period.
        scan::forEachInDays(
            db, table, "DATES_SAVE", *from, *to, {"DATES_SAVE", "DESC", "ONSTOCK"},
            [&](const std::vector<Value>& item) {
                const Value& expiry = item[0];
                const std::string name = toText(item[1]);
                // Stock is held in 32 bits; a large stock is listed as it is.
                const int32_t quantity = toInt32(item[2]);
                Print({Value::date(toDate(expiry)), Value::i32(quantity), name, group});
                rows.append([&](Recordset&) {
                    Text2->setText(name);
                    Text1->setText(group);
                    Text3->setText(std::to_string(quantity));
                    Text4->setText(toText(expiry));
                    Text5->setText(std::to_string(rows.count()));
                });
            });
    }
    rows.finish();

    if (rows.found()) openReport(app(), "DataReport16");
    else rows.placeholder();
}

void registerExpiryWindows(Application& app) { app.registerForm<Form55>(); }

void askExpiryPeriodAndShow(Application& app) {
    // "01/01/50" in the short date form: 1 January 1950.
    const std::string suggested = formatShortDate(toDate(Value("01/01/50")));

    const std::string start =
        app.inputBox("ادخل التاريخ الابتدائى للبحث عن الصلاحية :", kTitle, suggested);
    if (start.empty()) return;
    if (!parseDate(start)) {
        app.msgBox(kNotADate, 0, kTitle);
        return;
    }
    const std::string end =
        app.inputBox("ادخل التاريخ النهائى للبحث عن الصلاحية :", kTitle, suggested);
    if (end.empty()) return;
    if (!parseDate(end)) {
        app.msgBox(kNotADate, 0, kTitle);
        return;
    }
    period() = {start, end};

    // A window still open from the last request is closed first, so this
    // request runs its own job.
    if (Form* open = app.loadedForm(Form55::kName)) app.unload(*open);
    app.show(app.form(Form55::kName));
}

}  // namespace mk
