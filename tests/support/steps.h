// Steps the system's tests share: starting the program over a shop, users
// and logins, documents entered line by line as a user enters them, stored
// rows as text, a refused save, writes made to fail, and the launchers of
// the report workers.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/system.h"
#include "data/record_editing.h"
#include "data/schema.h"
#include "support/harness.h"

namespace mk::test {

// Starts the program as its command does: the start window first.
inline void begin(Harness& h) {
    startProgram(h.app);
}

// The program started and its start window's button pressed: an ordinary
// start, or a new day after a closed one.
inline void enterMain(Harness& h) {
    begin(h);
    h.click("Form16", "Command1");
}
inline void startNewDay(Harness& h) {
    h.exec("UPDATE Admin SET enter=1");
    begin(h);
    h.click("Form16", "Command2");
}

inline void setProfile(Harness& h, const std::string& company, bool security = false) {
    h.exec("UPDATE DIM SET COMPANY_NAME='" + company + "', COMP=1, SECURITY=" +
           (security ? "1" : "0"));
}

// A group table listed in qqq; rows as "('bolt', 5, 10, 6), ..." for DESC,
// ONSTOCK, UNITE_PRICE, BUY_PRICE.
inline void makeGroup(Harness& h, const std::string& name, const std::string& rows = {}) {
    h.db().createTable(itemGroupTableDef(name));
    h.exec("INSERT INTO qqq (Q) VALUES ('" + name + "')");
    if (!rows.empty())
        h.exec("INSERT INTO " + name + " (\"DESC\", ONSTOCK, UNITE_PRICE, BUY_PRICE) VALUES " +
               rows);
}

// An ordinary start up to the main window with the store uncovered.
inline Form& openStore(Harness& h) {
    enterMain(h);
    h.menu("Form1", "store_functions");
    return h.form("Form1");
}

// Drops the document being added or edited, answering Yes.
inline void cancel(Harness& h, const std::string& form) {
    h.answer(answer::Yes);
    h.click(form, "cmdaction", 1);
}

// Every row of the tables, table by table, each row's values in field
// order, as text: to compare all a save touched before and after.
inline std::string tablesText(Harness& h, const std::vector<std::string>& tables) {
    std::string out;
    for (const std::string& table : tables) {
        Recordset rs(h.db(), table);
        out += table + ":";
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            for (const FieldInfo& f : rs.fields()) out += toText(rs.field(f.name)) + "|";
            out += "\n";
        }
    }
    return out;
}

// A field of the cash box's last row.
inline double lastBox(Harness& h, const std::string& field) {
    return toDouble(h.cell("BOX", h.count("BOX") - 1, field));
}

// A stored value as text, exactly: a double its short text does not give
// back is written out whole, so no difference in money hides.
inline std::string exact(const Value& v) {
    const std::string shown = toText(v);
    if (v.type() != Value::Type::Double || parseNumber(shown) == v.asDoubleRaw()) return shown;
    char whole[40];
    std::snprintf(whole, sizeof whole, "%.17g", toDouble(v));
    return whole;
}

// Fields of one stored row as "a|b|c"; a row below 0 counts from the end
// (-1 the last).
inline std::string row(Harness& h, const std::string& table, long r,
                       std::initializer_list<const char*> fields) {
    if (r < 0) r += h.count(table);
    std::string out;
    for (const char* f : fields) out += (out.empty() ? "" : "|") + exact(h.cell(table, r, f));
    return out;
}

// A stored column as "a|b|c".
inline std::string col(Harness& h, const std::string& table, const std::string& field) {
    std::string out;
    for (const Value& v : h.column(table, field)) out += (out.empty() ? "" : "|") + exact(v);
    return out;
}

// Presses save on a document window and expects it refused: `message` the
// only box shown (none when empty), what `stored` reads as it was, the
// document still open.
inline void expectRefused(Harness& h, const std::string& form,
                          const std::function<std::string()>& stored, const std::string& why,
                          const std::string& message) {
    const std::string before = stored();
    h.dialogs.clear();
    h.click(form, "cmdaction", 0);
    EXPECT_EQ(h.messageTexts(), message.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{message})
        << why;
    EXPECT_EQ(stored(), before) << why;
    EXPECT_EQ(h.caption(form, "cmdaction", 0), "&save") << why;
}

// What every loaded window shows: each control's place, state and text,
// the row each data control stands on, the lines printed on it, and where
// the focus is.
inline std::string windowsText(Harness& h) {
    std::string out;
    for (Form* f : h.app.loadedForms()) {
        out += f->name() + (f->visible() ? " " : " hidden ") + f->caption.get() + "\n";
        for (const auto& c : f->controls()) {
            out += c->fullName() + (c->visible ? "" : " hidden") + (c->enabled ? " " : " off ") +
                   formatDouble(c->top) + " ";
            if (auto* t = dynamic_cast<TextBox*>(c.get()))
                out += (t->locked ? "locked " : "") + t->text();
            if (auto* d = dynamic_cast<DataCombo*>(c.get())) out += d->text();
            if (auto* l = dynamic_cast<Label*>(c.get())) out += l->caption();
            if (auto* b = dynamic_cast<CommandButton*>(c.get())) out += b->caption;
            if (auto* k = dynamic_cast<CheckBox*>(c.get())) out += std::to_string(k->value());
            if (auto* o = dynamic_cast<OptionButton*>(c.get())) out += o->value ? "on" : "";
            if (auto* b = dynamic_cast<BoundValue*>(c.get()); b && b->boundChanged())
                out += " (typed)";
            if (auto* a = dynamic_cast<Adodc*>(c.get()); a && a->isOpen()) {
                Recordset& rs = a->recordset();
                out += rs.isAdding() ? "adding" : rs.bof() ? "before the first"
                                                 : rs.eof() ? "past the last"
                                                            : "row " + std::to_string(rs.rowId());
            }
            out += "\n";
        }
        for (const std::string& l : f->printedLines()) out += l + "\n";
    }
    Control* focus = h.app.focused();
    out += "focus: " + (focus ? focus->form().name() + "." + focus->fullName() : "none") + "\n";
    return out;
}

// Makes the writes named ("UPDATE ON BUYER", "INSERT ON BOX") fail until
// `succeed`.
inline void fail(Harness& h, const std::string& writes) {
    h.exec("CREATE TRIGGER stop BEFORE " + writes + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
}
inline void succeed(Harness& h) { h.exec("DROP TRIGGER stop"); }

// Whether a message is told in the windows' language: it has Arabic
// letters, and no Latin letters besides the names given (files, the log),
// so no database or system text reached it.
inline bool toldInArabic(std::string message, std::initializer_list<std::string> names = {}) {
    for (const std::string& name : names)
        for (size_t at; !name.empty() && (at = message.find(name)) != std::string::npos;)
            message.erase(at, name.size());
    for (size_t at; (at = message.find("makhzan.log")) != std::string::npos;) message.erase(at, 11);
    bool arabic = false;
    for (size_t i = 0; i < message.size(); ++i) {
        const auto c = static_cast<unsigned char>(message[i]);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return false;
        // U+0600..U+06FF are 0xD8..0xDB lead bytes in UTF-8.
        if (c >= 0xD8 && c <= 0xDB) arabic = true;
    }
    return arabic;
}

inline std::vector<int32_t> ints(const std::vector<Value>& values) {
    std::vector<int32_t> out;
    for (const Value& v : values) out.push_back(toInt32(v));
    return out;
}

// The print area holds a line and covers no shown control.
inline bool roomClearOfControls(const Form& f) {
    const Geometry a = f.printArea();
    for (const auto& c : f.controls())
        if (c->isShowing() && c->kind() != ControlKind::Timer && a.left < c->left + c->width &&
            c->left < a.left + a.width && a.top < c->top + c->height && c->top < a.top + a.height)
            return false;
    return a.height >= kPrintLineTwips && a.width >= kPrintZoneTwips;
}

// ---- Users and logins.

// A user row of Admin with the given rights True.
inline void addUser(Harness& h, const std::string& id, const std::string& password,
                    std::initializer_list<const char*> rights = {}) {
    std::string cols = "UserID, Password", vals = "'" + id + "', '" + password + "'";
    for (const char* r : rights) cols += std::string(", \"") + r + "\"", vals += ", 1";
    h.exec("INSERT INTO Admin (" + cols + ") VALUES (" + vals + ")");
}

inline bool right(Harness& h, const std::string& id, const std::string& field) {
    auto ids = h.column("Admin", "UserID");
    for (size_t i = 0; i < ids.size(); ++i)
        if (toText(ids[i]) == id) return h.cell("Admin", static_cast<long>(i), field) == Value(true);
    return false;
}

// Types a user id and password into a login window and presses its button.
inline void login(Harness& h, const std::string& form, const std::string& user,
                  const std::string& password) {
    h.type(form, "Text1", user, 0);
    h.type(form, "Text1", password, 1);
    h.click(form, "Command1");
}

// ---- Sales and incoming documents.

using Lines = std::vector<std::pair<std::string, std::string>>;

// A company, one group G1 with the given rows (DESC, ONSTOCK, UNITE_PRICE,
// BUY_PRICE), a closed day started anew, and the retail window shown.
inline Form& openRetail(Harness& h, const std::string& rows) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", rows);
    startNewDay(h);
    h.menu("Form1", "SALES_IN");
    return h.form("Form3");
}

// Add on a window of the family, then each line (item, quantity) on the
// rows the line stepping shows: the row the counter stands on, then one
// more per line. The counter and stepping button are the window's own.
inline void enterDocument(Harness& h, const std::string& form, const Lines& lines,
                          const char* counter, const char* step) {
    h.click(form, "cmdaction", 0);
    const int start = static_cast<int>(leadingNumber(h.text(form, counter)));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) h.click(form, step);
        const int row = start + static_cast<int>(i);
        h.type(form, "Text3", lines[i].second, row);
        h.choose(form, "DataCombo1", lines[i].first, row);
    }
}

// The same on the retail window.
inline void enterLines(Harness& h, const Lines& lines) {
    enterDocument(h, "Form3", lines, "Text8", "Command2");
}

// Saves a retail invoice, answering the another-invoice question.
inline void save(Harness& h, int another = answer::No) {
    h.answer(answer::OK);
    h.answer(another);
    h.click("Form3", "cmdaction", 0);
}

// Every row of the tables a retail save touches, as text, to compare.
inline std::string tablesNow(Harness& h) {
    return tablesText(h, {"SALES_INVOICE", "G1", "DAILY_TRADE", "BOX"});
}

// What a posting says: cash into the box, or a debt charged to a customer
// (the whole invoice on credit, or the rest of one part paid).
inline std::string cashSaid(double amount, const std::string& who = "") {
    return " ألى الصندوق " + formatDouble(amount) + "بقيمة " + who + " تم أضافة حساب فاتورة  ";
}
inline const char* const kCreditEnd = " تم أضافة حساب الفاتورة  ";
inline const char* const kRestEnd = " تم أضافة  باقى حساب الفاتورة الآجل  ";
inline std::string debtSaid(const std::string& who, double amount, const char* end = kCreditEnd) {
    return who + " ألى حساب مديونية العميل " + formatDouble(amount) + end;
}

// G1: bolt (stock 10, wholesale 15), nut (stock 20, wholesale 5); the
// customers Hala (owing 40) and Sami (owing 0); the supplier Acme (owed
// 0); the cash box at 1000; a day started anew.
inline void startTradingDay(Harness& h) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 10, 20, 9), ('nut', 20, 10, 2)");
    h.exec("UPDATE G1 SET GROUP_PRICE = UNITE_PRICE - 5, \"RETURN\" = 0");
    h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40), ('Sami', 0)");
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 0)");
    h.exec("INSERT INTO BOX (MONEY) VALUES (1000)");
    startNewDay(h);
}

inline void enterWholesale(Harness& h, const std::string& form, const Lines& lines) {
    enterDocument(h, form, lines, "Text9", "Command3");
}

// Every row of the tables a wholesale save touches, as text.
inline std::string wholesaleTables(Harness& h) {
    return tablesText(h, {"SALES_INVO_GROUP", "COAST_INVO_GROUP", "G1", "DAILY_TRADE", "BOX",
                          "BUYER"});
}

inline double debtOf(Harness& h, const std::string& customer) {
    const auto names = h.column("BUYER", "BUYER");
    for (size_t i = 0; i < names.size(); ++i)
        if (toText(names[i]) == customer)
            return toDouble(h.cell("BUYER", static_cast<long>(i), "MONEY"));
    return -1;
}

struct Line {
    std::string item, quantity, price;
};

// A company, group G1 with rows (DESC, ONSTOCK, UNITE_PRICE, BUY_PRICE),
// suppliers ACME (balance 100) and Beta (0), a new day, and Form17 shown.
inline Form& openIncoming(Harness& h, const std::string& rows) {
    setProfile(h, "ACME");
    makeGroup(h, "G1", rows);
    h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 100), ('Beta', 0)");
    startNewDay(h);
    h.menu("Form1", "supply_inv");
    return h.form("Form17");
}

// Add, the supplier, the group, the payment option, then the lines on the
// rows the line stepping shows.
inline void enterInvoice(Harness& h, const std::string& supplier, const char* option,
                         const std::vector<Line>& lines) {
    h.click("Form17", "cmdaction", 0);
    h.choose("Form17", "DataCombo2", supplier);
    h.choose("Form17", "DataCombo3", "G1");
    if (option) h.click("Form17", option);
    const int start = static_cast<int>(leadingNumber(h.text("Form17", "Text8")));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) h.click("Form17", "Command1");
        const int row = start + static_cast<int>(i);
        h.choose("Form17", "DataCombo1", lines[i].item, row);
        h.type("Form17", "Text3", lines[i].quantity, row);
        h.type("Form17", "Text4", lines[i].price, row);
    }
}

// Saves; messages are OK, and the another-invoice question No unless
// told (after that many messages).
inline void saveIncoming(Harness& h, int messagesBefore = 0, int another = answer::No) {
    if (another != answer::No) {
        for (int i = 0; i < messagesBefore; ++i) h.answer(answer::OK);
        h.answer(another);
    }
    h.click("Form17", "cmdaction", 0);
}

// Every row of the tables an incoming save touches, as text.
inline std::string incomingTables(Harness& h) {
    return tablesText(h, {"BUY_INVOICE", "G1", "DAILY_TRADE", "BOX", "SUPPLIER"});
}

// ---- The report workers, launched from the buttons and menus that launch
// them: the item card's Command6, Command7, Command9 and the main menu's
// date_report; Command2 of the suppliers and customers windows.
class WorkerHarness : public Harness {
public:
    // The main window, opened as a user does, with the store uncovered.
    void openMain() {
        if (app.isLoaded("Form1")) return;
        exec("UPDATE DIM SET COMP=1, SECURITY=0");
        openStore(*this);
    }
    // The item card shows an item of this name: a group of its own holding
    // it, chosen in the group chooser.
    void showItem(const std::string& name) {
        const std::string group = "CARD_" + std::to_string(++groups_);
        makeGroup(*this, group, "('" + name + "', 0, 0, 0)");
        openMain();
        choose("Form1", "DataCombo3", group);
    }
    // A partner window, opened from the main menu, shows this partner: the
    // row is added when missing and found with the window's own search.
    void showPartner(const std::string& window, const std::string& name) {
        const bool suppliers = window == "Form5";
        const std::string table = suppliers ? "SUPPLIER" : "BUYER";
        const std::string field = suppliers ? "SALES_MAN" : "BUYER";
        bool listed = false;
        for (const Value& v : column(table, field)) listed = listed || toText(v) == name;
        if (!listed) {
            std::string literal;  // a name may hold quotes
            for (char c : name) literal += c == '\'' ? std::string("''") : std::string(1, c);
            exec("INSERT INTO " + table + " (" + field + ") VALUES ('" + literal + "')");
        }
        openMain();
        close(window);  // opened afresh, so it reads the rows as stored now
        menu("Form1", suppliers ? "SUPPLY_INF" : "BUYER");
        answerInput(name);
        menu(window, suppliers ? "SALES" : "BUYER");
    }
    void launch(const std::string& button) {
        openMain();
        if (button == "Suppliers") click("Form5", "Command2");
        else if (button == "Customers") click("Form6", "Command2");
        else if (button == "date_report") menu("Form1", "date_report");
        else click("Form1", button);
    }
    Value flag(const std::string& field) { return cell("FLAGS", 0, field); }

private:
    int groups_ = 0;
};

}  // namespace mk::test
