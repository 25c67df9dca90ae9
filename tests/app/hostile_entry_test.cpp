// Every box of every entry window against hostile values, through the real
// buttons: nothing crashes, no raw database text is shown, a refused value
// changes no row and its message names the box, and nothing a field cannot
// hold is ever stored. The same windows keep their document through a full
// disk and save it once when space is made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "data/schema.h"
#include "sales/wholesale_steps.h"

namespace mk {
namespace {

using namespace test;

struct EntryWindow {
    const char* form;
    const char* menu;  // of the main window
    // A valid document being added or edited, from browsing.
    std::function<void(Harness&)> start;
    // The buttons: save (0 add/save, 2 edit/save) and whether cmdaction(1)
    // drops a refused document.
    int saveButton = 0;
    bool cancels = true;
    // What a refusal of a box names when it is not the caption beside it.
    std::map<std::string, std::string> names = {};
    bool permissions = false;  // the permissions switch on (Form32)
};

void startInvoice(Harness& h, const char* form, bool cash, const char* price = nullptr) {
    h.choose(form, "DataCombo3", "G1");
    h.click(form, "cmdaction", 0);
    h.type(form, "Text3", "1", 0);
    if (price) h.type(form, price, "5", 0);
    h.choose(form, "DataCombo1", "bolt", 0);
    if (cash) h.click(form, "Option1");
}

void add(Harness& h, const char* form) { h.click(form, "cmdaction", 0); }

// An expense book's row picked for editing, one amount typed.
void editBook(Harness& h, const char* form, const char* row) {
    h.click(form, "cmdaction", 2);
    h.choose(form, "DataCombo1", row);
    h.type(form, "Text1", "7", 0);
}

const std::map<std::string, std::string> kLines = {{"DataCombo1", "الصنف"}};

const std::vector<EntryWindow> kWindows = {
    {"Form3", "SALES_IN", [](Harness& h) { startInvoice(h, "Form3", false); }, 0, true, kLines},
    {"Form42", "saleslarge", [](Harness& h) { startInvoice(h, "Form42", true); }, 0, true,
     {{"DataCombo1", "الصنف"}, {"DataCombo2", "العميل"}}},
    {"Form53", "sellgroup", [](Harness& h) { startInvoice(h, "Form53", true); }, 0, true,
     {{"DataCombo1", "الصنف"}, {"DataCombo2", "العميل"}}},
    {"Form28", "returne", [](Harness& h) { startInvoice(h, "Form28", false, "Text6"); }, 0,
     true, kLines},
    {"Form17", "supply_inv",
     [](Harness& h) {
         h.click("Form17", "cmdaction", 0);
         h.choose("Form17", "DataCombo3", "G1");
         h.click("Form17", "Option1");
         h.choose("Form17", "DataCombo1", "bolt", 0);
         h.type("Form17", "Text3", "1", 0);
         h.type("Form17", "Text4", "5", 0);
     },
     0, true, {{"DataCombo1", "الصنف"}, {"DataCombo2", "المورد"}, {"Text9", "تاريخ"}}},
    {"Form35", "PAY",
     [](Harness& h) {
         add(h, "Form35");
         h.choose("Form35", "DataCombo1", "Hala");
         h.type("Form35", "Text2", "5");
     },
     0, true,
     {{"Text1", "الإذن"}, {"DataCombo1", "العميل"}, {"Text2", "قيمة المبلغ"}, {"Text3", "تاريخ"}}},
    {"Form41", "ECEIVE",
     [](Harness& h) {
         add(h, "Form41");
         h.type("Form41", "Text2", "5");
     },
     0, true, {{"Text1", "الإذن"}, {"Text2", "قيمة المبلغ"}, {"Text3", "تاريخ"}}},
    {"Form18", "doutput", [](Harness& h) { editBook(h, "Form18", "1"); }, 2},
    {"Form11", "moutput", [](Harness& h) { editBook(h, "Form11", "1"); }, 2},
    {"Form19", "yearout", [](Harness& h) { editBook(h, "Form19", "2026"); }, 2},
    {"Form5", "SUPPLY_INF", [](Harness& h) { add(h, "Form5"); }},
    {"Form6", "BUYER", [](Harness& h) { add(h, "Form6"); }},
    {"Form1", "store_functions",
     [](Harness& h) {
         h.choose("Form1", "DataCombo3", "G1");
         add(h, "Form1");
     }},
    {"Form32", "SUPPLY_INF", [](Harness& h) { add(h, "Form32"); }, 0, true, {}, true},
    {"Form50", "ADD_EMPLOYEE",
     [](Harness& h) {
         add(h, "Form50");
         h.type("Form50", "Text1", "Worker_2");
     },
     0, false,
     {{"Text1", "أسم الموظف"}}},
    {"Form51", "observe_employee",
     [](Harness& h) {
         h.choose("Form51", "DataList1", "Worker_1");
         add(h, "Form51");
     },
     0, false},
};

// A shop: group G1, a customer, a supplier, an employee with a follow-up
// table, a day started anew, the main window shown.
void openShop(Harness& h, bool permissions) {
    h.exec("PRAGMA synchronous = OFF");  // hundreds of saves; no power cut here
    startTradingDay(h);
    if (permissions) setProfile(h, "ACME", true);
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 0)");
    h.db().createTable(followUpTableDef("Worker_1"));
    h.exec("INSERT INTO Worker_1 (DATES, APSENT) VALUES ('2007-10-10', 0)");
    h.exec("INSERT INTO emplyee (code, name) VALUES ('.', 'Worker_1')");
}

bool entering(Harness& h, const EntryWindow& w) {
    for (int i : {0, 2})
        if (auto* b = dynamic_cast<CommandButton*>(h.form(w.form).findControl("cmdaction", i)))
            if (b->caption == "&save" || b->caption == "&حفظ") return true;
    return false;
}

// Every table as stored (the filler of a full disk aside).
std::string everything(Harness& h) {
    std::vector<std::string> tables;
    for (const std::string& t : h.db().tableNames())
        if (t != "filler") tables.push_back(t);
    return tablesText(h, tables);
}

// What no field may hold: control characters, more text than it takes, a
// number that is not finite or beyond 1e12.
std::string garbage(Harness& h) {
    for (const std::string& table : h.db().tableNames()) {
        Recordset rs(h.db(), table);
        for (; !rs.eof(); rs.moveNext())
            for (const FieldInfo& f : rs.fields()) {
                const Value v = rs.field(f.name);
                const std::string where = table + "." + f.name + ": ";
                if (v.isText()) {
                    const std::string& s = v.asTextRaw();
                    const size_t limit = f.size > 0 ? static_cast<size_t>(f.size)
                                         : f.type == FieldType::Memo ? 65535u : 255u;
                    const auto chars = std::count_if(s.begin(), s.end(), [](char c) {
                        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
                    });
                    if (static_cast<size_t>(chars) > limit) return where + "too long";
                    for (unsigned char c : s)
                        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
                            return where + "control character";
                } else if (f.type == FieldType::Double || f.type == FieldType::Single) {
                    if (!(std::fabs(toDouble(v)) <= kLargestAmount)) return where + toText(v);
                }
            }
    }
    return "";
}

TEST(HostileEntry, EveryBoxRefusesWhatItsFieldCannotHoldNamingTheBox) {
    const std::string controls("a\0b\x01\x1f", 5);
    const std::string longText(100000, 'x');
    // Values no box may store, then values some boxes take.
    const std::vector<std::string> refused = {longText, controls};
    const std::vector<std::string> values = {longText, controls, "", "   ", "-0",
                                             "1e308", std::string(40, '9'), "'\"", "31/02/2026"};
    const char* raw[] = {"mismatch", "Overflow", "too long", "Database error", "Invalid use"};
    int walked = 0;
    for (const EntryWindow& w : kWindows) {
        Harness h;
        openShop(h, w.permissions);
        h.menu("Form1", w.menu);
        w.start(h);
        std::vector<std::pair<std::string, int>> boxes;  // the window may open anew
        for (const auto& c : h.form(w.form).controls()) {
            // Boxes a user types into that store what they hold.
            auto* bound = dynamic_cast<BoundValue*>(c.get());
            const bool entry =
                c->kind() == ControlKind::TextBox || c->kind() == ControlKind::DataCombo;
            const bool named = w.names.count(c->name()) > 0;
            if (entry && h.app.canTakeInput(*c) && ((bound && bound->dataSource()) || named))
                boxes.emplace_back(c->name(), c->index());
        }
        ASSERT_FALSE(boxes.empty()) << w.form;
        for (const auto& [control, index] : boxes) {
            const Control& box = h.form(w.form).control(control, index);
            const std::string what = std::string(w.form) + "." + box.fullName();
            auto named = w.names.find(control);
            const Label* beside = box.form().labelBeside(box);
            const std::string name = named != w.names.end() ? named->second
                                     : beside ? beside->caption()
                                              : dynamic_cast<const BoundValue&>(box).dataField();
            for (const std::string& value : values) {
                const std::string shown = what + " = \"" + value.substr(0, 20) + "\"";
                if (!entering(h, w)) w.start(h);
                std::string held = h.text(w.form, control, index);
                if (!h.type(w.form, control, value, index)) {
                    // A box a save locks till the window opens again (the
                    // typed prices of an invoice window).
                    if (w.form == std::string("Form1") || !h.close(w.form)) continue;
                    h.menu("Form1", w.menu);
                    w.start(h);
                    held = h.text(w.form, control, index);
                    if (!h.type(w.form, control, value, index)) continue;
                }
                ++walked;
                const std::string before = everything(h);
                h.dialogs.clear();
                h.click(w.form, "cmdaction", w.saveButton);
                const auto messages = h.messageTexts();
                for (const std::string& m : messages) {
                    for (const char* r : raw) EXPECT_EQ(m.find(r), std::string::npos) << shown << m;
                    EXPECT_LT(m.size(), 1000u) << shown;  // a message, not the value typed
                }
                if (everything(h) == before) {
                    const bool says = std::any_of(messages.begin(), messages.end(), [&](auto& m) {
                        return m.find(name) != std::string::npos;
                    });
                    EXPECT_TRUE(says) << shown << " names " << name;
                } else {
                    EXPECT_EQ(std::count(refused.begin(), refused.end(), value), 0) << shown;
                    EXPECT_EQ(garbage(h), "") << shown;
                }
                // A refused document is dropped, or (with no cancel) the box
                // takes back what it held.
                if (entering(h, w) && w.cancels) {
                    h.answer(answer::Yes);
                    h.click(w.form, "cmdaction", 1);
                } else if (entering(h, w)) {
                    h.type(w.form, control, held, index);
                }
            }
        }
    }
    EXPECT_GT(walked, 500);
}

// A full disk: the save is refused with the disk's message and nothing
// stored, the window keeps the document, and once room is made the same
// press saves it once.
TEST(HostileEntry, EveryEntryWindowKeepsItsDocumentThroughAFullDisk) {
    for (const EntryWindow& w : kWindows) {
        Harness h;
        openShop(h, w.permissions);
        h.menu("Form1", w.menu);
        w.start(h);
        // Every write needs room: each row written brings a large one.
        std::string fill = "BEGIN; CREATE TABLE filler (x);";
        for (const std::string& t : h.db().tableNames())
            for (const char* event : {"INSERT", "UPDATE"})
                fill += "CREATE TRIGGER \"fill_" + t + event + "\" BEFORE " + event + " ON " +
                        quoteName(t) + " BEGIN INSERT INTO filler VALUES (zeroblob(100000)); END;";
        h.exec(fill + "COMMIT");
        auto pages = h.db().prepare("PRAGMA page_count");
        ASSERT_TRUE(pages->step());
        const long long count = pages->columnInt(0);
        pages.reset();
        h.exec("PRAGMA max_page_count = " + std::to_string(count));
        const std::string before = everything(h);
        h.dialogs.clear();
        h.click(w.form, "cmdaction", w.saveButton);
        EXPECT_EQ(h.lastMessage(), kDiskFullMessage) << w.form;
        EXPECT_EQ(everything(h), before) << w.form;
        ASSERT_TRUE(entering(h, w)) << w.form;

        h.exec("PRAGMA max_page_count = 1000000");
        h.dialogs.clear();
        h.click(w.form, "cmdaction", w.saveButton);
        EXPECT_NE(everything(h), before) << w.form;
        EXPECT_FALSE(entering(h, w)) << w.form;
        for (const std::string& m : h.messageTexts()) EXPECT_NE(m, kDiskFullMessage) << w.form;
    }
}

}  // namespace
}  // namespace mk
