// Every box of every entry window against hostile values, through the real
// buttons: nothing crashes, no raw database text is shown, a refused value
// changes no row and its message names the box, and nothing a field cannot
// hold is ever stored. The same windows keep their document through a full
// disk and save it once when space is made; every posting whose write fails
// half way leaves every table and window as before, and its retry stores
// what one clean press stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "data/schema.h"
#include "support/steps.h"

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

// A shop: group G1, customers, a supplier, an employee with a follow-up
// table, a day started anew, the main window shown.
void openShop(Harness& h, bool permissions) {
    h.exec("PRAGMA synchronous = OFF");  // hundreds of saves; no power cut here
    startTradingDay(h);
    if (permissions) setProfile(h, "ACME", true);
    h.db().createTable(followUpTableDef("Worker_1"));
    h.exec("INSERT INTO Worker_1 (DATES, APSENT) VALUES ('2007-10-10', 0)");
    h.exec("INSERT INTO emplyee (code, name, net_sallery) VALUES ('.', 'Worker_1', 300)");
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
        h.exec("PRAGMA max_page_count = " + formatDouble(h.committed("PRAGMA page_count")));
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

// What a press does, and the control it clicks (which takes the focus as
// the user presses it), if any.
struct Press {
    std::function<void(Harness&)> run;
    std::function<Control&(Harness&)> target = {};
    template <class F>
    Press(F f) : run(std::move(f)) {}
    Press(std::function<void(Harness&)> r, std::function<Control&(Harness&)> t)
        : run(std::move(r)), target(std::move(t)) {}
    void operator()(Harness& h) const { run(h); }
};

// A posting path: a document made ready from the main window, the press
// that posts it, and the writes it makes, each made to fail in turn.
struct Posting {
    const char* what;
    const char* menu;
    std::function<void(Harness&)> start;
    Press press;
    std::vector<const char*> writes;
    bool permissions = false;
    // Boxes the press shows before it writes (the new employee's note).
    size_t notes = 0;
};

// A press, with the amount a part payment asks for.
Press pressing(const char* form, const char* button, int index = -1, const char* paid = nullptr) {
    return {[=](Harness& h) {
                if (paid) h.answerInput(paid);
                h.click(form, button, index);
            },
            [=](Harness& h) -> Control& { return h.form(form).control(button, index); }};
}

void wholesaleOnCredit(Harness& h, const char* form, const char* option) {
    h.choose(form, "DataCombo3", "G1");
    enterWholesale(h, form, {{"bolt", "2"}, {"nut", "1"}});
    h.choose(form, "DataCombo2", "Hala");
    h.click(form, option);
}

void voucher(Harness& h, const char* form, const char* party, bool saved) {
    add(h, form);
    h.type(form, std::string(form) == "Form35" ? "DataCombo1" : "Text6", party);
    h.type(form, "Text2", "5");
    if (saved) h.click(form, "cmdaction", 0);
}

void purchase(Harness& h, bool saved) {
    h.exec("INSERT INTO INVENTORY (\"DESC\", ONSTOCK, TOTAL) VALUES ('filter', 5, 100)");
    h.show("Form4");
    add(h, "Form4");
    h.choose("Form4", "DataCombo1", "filter", 0);
    for (auto [box, text] : {std::pair{1, "3"}, {2, "10"}, {3, "0"}})
        h.type("Form4", "Text2", text, box);
    if (saved) h.click("Form4", "cmdaction", 0);
}

const std::vector<Posting> kPostings = {
    {"retail sale", "SALES_IN", [](Harness& h) { startInvoice(h, "Form3", false); },
     pressing("Form3", "cmdaction", 0), {"UPDATE ON G1", "UPDATE ON DAILY_TRADE", "INSERT ON BOX"}},
    {"wholesale, part paid", "saleslarge",
     [](Harness& h) { wholesaleOnCredit(h, "Form42", "Option3"); },
     pressing("Form42", "cmdaction", 0, "10"),
     {"UPDATE ON BUYER", "UPDATE ON DAILY_TRADE", "INSERT ON BOX",
      "UPDATE OF STATUS_SUB ON SALES_INVO_GROUP"}},
    {"issue voucher on credit", "sellgroup",
     [](Harness& h) { wholesaleOnCredit(h, "Form53", "Option2"); },
     pressing("Form53", "cmdaction", 0), {"UPDATE ON BUYER", "UPDATE ON G1"}},
    {"collection (hidden in the design, shown to press it)", "sellgroup",
     [](Harness& h) {
         wholesaleOnCredit(h, "Form53", "Option3");
         CommandButton& collect = h.form("Form53").button("Command2");
         collect.visible = collect.enabled = true;
     },
     pressing("Form53", "Command2", -1, "4"), {"UPDATE ON BUYER"}},
    {"return", "returne", [](Harness& h) { startInvoice(h, "Form28", false, "Text6"); },
     pressing("Form28", "cmdaction", 0),
     {"UPDATE ON G1", "INSERT ON BOX", "UPDATE OF STATUS_SUB ON RETURN_INVOICE"}},
    {"incoming, part paid", "supply_inv",
     [](Harness& h) {
         kWindows[4].start(h);
         h.choose("Form17", "DataCombo2", "Acme");
         h.click("Form17", "Option3");
     },
     pressing("Form17", "cmdaction", 0, "3"),
     {"UPDATE ON DAILY_TRADE", "UPDATE ON G1", "INSERT ON BOX", "UPDATE ON SUPPLIER"}},
    {"later payment of an unposted incoming invoice (never shown)", "supply_inv",
     [](Harness& h) {
         h.exec("INSERT INTO BUY_INVOICE (INVO_NO, SALES_MAN, STATUS_SUB, QNTITY1, \"EXPIRY_ DATE1\") "
                "VALUES (9, 'Acme', 0, 2, 10)");
         Form& f = h.form("Form17");
         f.adodc("Adodc2").Refresh();
         f.adodc("Adodc2").recordset().moveLast();
         f.option("Option3").value = true;
     },
     [](Harness& h) {
         h.answerInput("5");
         h.app.raise(h.form("Form17"), h.form("Form17").button("Command2").onClick);
     },
     {"INSERT ON BOX", "UPDATE ON SUPPLIER"}},
    {"receipt", "PAY", [](Harness& h) { voucher(h, "Form35", "Hala", true); },
     pressing("Form35", "Command2"),
     {"INSERT ON BOX", "UPDATE ON BUYER", "UPDATE OF POSTED ON REVEIVED_MONEY"}},
    {"receipt posted while adding", "PAY", [](Harness& h) { voucher(h, "Form35", "Hala", false); },
     pressing("Form35", "Command2"), {"INSERT ON REVEIVED_MONEY", "INSERT ON BOX", "UPDATE ON BUYER"}},
    {"payment posted while adding", "ECEIVE",
     [](Harness& h) { voucher(h, "Form41", "driver", false); }, pressing("Form41", "Command2"),
     {"INSERT ON MONEY_OUT", "INSERT ON BOX"}},
    {"wage", "SUPPLY_INF",
     [](Harness& h) { h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::Next); },
     pressing("Form32", "Command2"), {"INSERT ON BOX", "UPDATE OF get_money ON emplyee"}, true},
    {"days rolled into a month", "doutput",
     [](Harness& h) {
         editBook(h, "Form18", "30");
         h.click("Form18", "Command1");
         h.click("Form18", "cmdaction", 2);
     },
     pressing("Form18", "ADD", -1, "3"), {"UPDATE ON MONTH_OUTPUT", "UPDATE ON DAY_OUTPUT"}},
    {"months rolled into a year", "moutput",
     [](Harness& h) {
         editBook(h, "Form11", "12");
         h.click("Form11", "Command1");
         h.click("Form11", "cmdaction", 2);
     },
     pressing("Form11", "ADD", -1, "2026"), {"UPDATE ON YEAR_OUTPUT", "UPDATE ON MONTH_OUTPUT"}},
    {"new user", "account",
     [](Harness& h) {
         add(h, "Form12");
         h.type("Form12", "Text1", "omar", 2);
         h.type("Form12", "Text1", "abcde", 3);
     },
     pressing("Form12", "cmdaction", 0), {"INSERT ON Admin"}},
    {"new employee", "ADD_EMPLOYEE",
     [](Harness& h) {
         add(h, "Form50");
         h.type("Form50", "Text1", "Worker_2");
     },
     pressing("Form50", "cmdaction", 0), {"INSERT ON emplyee"}, false, 1},
    {"purchase invoice", "", [](Harness& h) { purchase(h, false); },
     pressing("Form4", "cmdaction", 0), {"INSERT ON BUY_INVOICE"}},
    {"purchase invoice added to stock", "", [](Harness& h) { purchase(h, true); },
     [](Harness& h) { h.menu("Form4", "ADD"); },
     {"UPDATE ON INVENTORY", "UPDATE OF STATUS_SUB ON BUY_INVOICE"}},
};

// Another window holds an edit the user has not saved: the customers
// window on its second row, a balance typed.
void typeAside(Harness& h) {
    h.show("Form6");
    h.app.navigate(h.form("Form6").adodc("Adodc1"), Nav::Next);
    h.click("Form6", "cmdaction", 2);
    h.type("Form6", "Text2", "77");
}

TEST(HostileEntry, EveryPostingFailingHalfWayLeavesAllAsBeforeAndItsRetryPostsOnce) {
    for (const Posting& p : kPostings) {
        SCOPED_TRACE(p.what);
        auto ready = [&](Harness& h) {
            openShop(h, p.permissions);
            typeAside(h);
            if (*p.menu) h.menu("Form1", p.menu);
            p.start(h);
            if (p.press.target) h.app.focusByUser(p.press.target(h));
        };
        Harness clean;
        ready(clean);
        const std::string unposted = everything(clean);
        p.press(clean);
        const std::string posted = everything(clean);
        ASSERT_NE(posted, unposted);

        Harness h;
        ready(h);
        const std::string windows = windowsText(h);
        for (const char* writes : p.writes) {
            fail(h, writes);
            h.dialogs.clear();
            p.press(h);
            // The press's own notes, then the error, told in Arabic; the
            // database's words ("disk full") go to the log.
            ASSERT_EQ(h.dialogs.messages().size(), p.notes + 1) << writes;
            EXPECT_EQ(h.dialogs.messages().back().style, mb::Critical) << writes;
            EXPECT_TRUE(toldInArabic(h.dialogs.messages().back().prompt)) << writes;
            EXPECT_NE(h.logText().find("disk full"), std::string::npos) << writes;
            EXPECT_EQ(everything(h), unposted) << writes;  // a failure shows the lines that differ
            EXPECT_EQ(windowsText(h), windows) << writes;
            succeed(h);
        }
        p.press(h);
        EXPECT_EQ(everything(h), posted);
    }
}

}  // namespace
}  // namespace mk
