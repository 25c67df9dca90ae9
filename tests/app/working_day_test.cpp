// A long working day as a new user lives it, every window opened once:
// retail and wholesale invoices, issue vouchers, searches between them, a
// return, incoming invoices, a receipt and a payment, with the item card
// left in edit and the customers and cash box windows open. After each
// step what the windows show is checked against the file as another
// program reads it, and against a book the test keeps itself; at the end
// every table must agree with the documents stored.
#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

const std::vector<std::string> kItems{"bolt", "nut"};
// Each document window's book, and the line it prints last when it posts.
struct Document {
    const char *table, *printed;
};
const std::map<std::string, Document> kBooks{
    {"Form3", {"SALES_INVOICE", " the quantities were subtracted "}},
    {"Form42", {"SALES_INVO_GROUP", " the quantities were subtracted "}},
    {"Form53", {"COAST_INVO_GROUP", " the quantities were subtracted "}},
    {"Form28", {"RETURN_INVOICE", "MED_NAME31"}},
    {"Form17", {"BUY_INVOICE", " the process was completed "}}};

// What the day should have stored, kept by hand.
struct Book {
    std::map<std::string, double> stock{{"bolt", 50}, {"nut", 80}}, out, in;
    double cash = 1000;
    int cashRows = 1;
    std::map<std::string, double> debt{{"Hala", 40}, {"Sami", 0}};
    std::map<std::string, double> owed{{"Acme", 100}, {"Beta", 0}};

    void sold(const Lines& lines) {
        for (const auto& [item, q] : lines) stock[item] -= std::stod(q), out[item] += std::stod(q);
    }
    void bought(const std::vector<Line>& lines) {
        for (const Line& l : lines)
            stock[l.item] += std::stod(l.quantity), in[l.item] += std::stod(l.quantity);
    }
    void cashMoves(double amount) { cash += amount, ++cashRows; }
};

double total(const std::map<std::string, double>& m) {
    return std::accumulate(m.begin(), m.end(), 0.0,
                           [](double s, const auto& e) { return s + e.second; });
}

struct WorkingDayTest : ::testing::Test {
    WorkingDayTest() {
        setProfile(h, "ACME", true);  // windows guarded by logins
        makeGroup(h, "G1", "('bolt', 50, 20, 9), ('nut', 80, 10, 2)");
        h.exec("UPDATE G1 SET GROUP_PRICE = UNITE_PRICE - 5, \"RETURN\" = 0");
        h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40), ('Sami', 0)");
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 100), ('Beta', 0)");
        h.exec("UPDATE BOX SET MONEY = 1000");  // the opening row
        h.exec("INSERT INTO emplyee (code, name, net_sallery) VALUES ('E1', 'Ali', 300)");
        addUser(h, "rana", "pw", {"store", "buyer", "sell-inv", "sell-inv_group", "buy_inv"});
    }

    double stored(const std::string& sql) { return h.committed(sql); }
    double item(const std::string& field, const std::string& name) {
        return stored("SELECT " + field + " FROM G1 WHERE \"DESC\"='" + name + "'");
    }
    double day(const std::string& field, const std::string& name) {
        return stored("SELECT " + field + " FROM DAILY_TRADE WHERE \"DESC\"='" + name + "'");
    }
    double balance(const char* table, const char* field, const std::string& name) {
        return stored(std::string("SELECT MONEY FROM ") + table + " WHERE " + field + "='" + name +
                      "'");
    }

    // Enters a sale on a sales window: the group (while its chooser is
    // open), the lines, the buyer and the payment type when given. The book
    // takes it in at its save.
    void sale(const std::string& form, const Lines& lines, const std::string& buyer = "",
              const char* option = nullptr) {
        h.choose(form, "DataCombo3", "G1");
        if (form == "Form3")
            enterLines(h, lines);
        else
            enterWholesale(h, form, lines);
        if (!buyer.empty()) h.choose(form, "DataCombo2", buyer);
        if (option) h.click(form, option);
        sold_ = lines;
    }
    void incoming(const std::string& supplier, const char* option, const std::vector<Line>& lines) {
        enterInvoice(h, supplier, option, lines);
        bought_ = lines;
    }
    // Saves with the answers queued in order: the boxes shown must be the
    // messages given, then the another-invoice question, each shown once
    // the document is stored (another program reading the file sees it);
    // the last number and the total shown are the ones stored.
    void saved(const std::string& form, std::vector<std::string> said, int another = answer::No,
               const std::string& paid = "") {
        const std::string table = kBooks.at(form).table;
        const double rows = stored("SELECT count(*) FROM " + table);
        std::vector<double> seen;
        h.dialogs.onShown = [&](const auto& box) {
            if (!box.input) seen.push_back(stored("SELECT count(*) FROM " + table) - rows);
        };
        h.dialogs.clear();
        if (!paid.empty()) h.answerInput(paid);
        for (size_t i = 0; i < said.size(); ++i) h.answer(answer::OK);
        h.answer(another);
        h.click(form, "cmdaction", 0);
        h.dialogs.onShown = nullptr;
        said.push_back(form == "Form3" ? "هل تريد ملىء فاتورة أخرى "
                                       : "هل تريد إدخال فاتورة أخرى ");
        EXPECT_EQ(h.messageTexts(), said) << form;
        EXPECT_EQ(seen, std::vector<double>(said.size(), 1)) << form;
        EXPECT_EQ(h.dialogs.unusedAnswers(), 0u) << form;
        EXPECT_EQ(h.lines(form).back(), kBooks.at(form).printed) << form;
        EXPECT_EQ(h.caption(form, "Label4"),
                  formatDouble(stored("SELECT max(INVO_NO) FROM " + table)));
        if (form != "Form28") {  // a return keeps no total
            // The incoming window shows its first invoice once saved.
            const char* shown = form == "Form17" ? "" : " DESC";
            EXPECT_EQ(h.caption(form, "Label9"),
                      formatDouble(stored("SELECT TOTAL_SUM FROM " + table + " ORDER BY rowid" +
                                          shown + " LIMIT 1")));
        }
        book.sold(sold_);
        book.bought(bought_);
        sold_.clear();
        bought_.clear();
    }

    void search(const std::string& window, const char* item, const char* login,
                const char* number) {
        h.menu(window, item);
        h.answerInput(number);
        test::login(h, login, "rana", "pw");
        EXPECT_EQ(h.text(window, "Text1", 0), number);
    }

    // The windows that show money and stock, the file and the book agree.
    void agree(const std::string& when) {
        SCOPED_TRACE(when);
        const double cash = stored("SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1");
        EXPECT_EQ(cash, book.cash);
        EXPECT_EQ(stored("SELECT count(*) FROM BOX"), book.cashRows);
        EXPECT_EQ(h.text("Form34", "Text1"), formatDouble(cash));
        EXPECT_EQ(h.caption("Form1", "Label23", 2), formatDouble(cash));
        EXPECT_EQ(h.caption("Form1", "Label23", 0),
                  formatDouble(stored("SELECT sum(MONEY) FROM BUYER")));
        EXPECT_EQ(h.caption("Form1", "Label23", 0), formatDouble(total(book.debt)));
        EXPECT_EQ(h.caption("Form1", "Label23", 1), formatDouble(total(book.owed)));
        for (const auto& [name, debt] : book.debt)
            EXPECT_EQ(balance("BUYER", "BUYER", name), debt) << name;
        for (const auto& [name, owed] : book.owed)
            EXPECT_EQ(balance("SUPPLIER", "SALES_MAN", name), owed) << name;
        for (const std::string& name : kItems) {
            EXPECT_EQ(item("ONSTOCK", name), book.stock[name]) << name;
            EXPECT_EQ(day("OUTPUT", name), book.out[name]) << name;
            EXPECT_EQ(day("INPUT", name), book.in[name]) << name;
        }
        // The customers window shows its customer's stored debt.
        if (h.app.isLoaded("Form6")) {
            EXPECT_EQ(h.text("Form6", "Text2"),
                      formatDouble(balance("BUYER", "BUYER", h.text("Form6", "Text1", 0))));
        }
    }
    // A stock box shows the stored stock of the item named.
    void stockShown(const std::string& form, const char* box, const std::string& name) {
        EXPECT_EQ(h.text(form, box), formatDouble(item("ONSTOCK", name))) << form;
    }

    Harness h;
    Book book;
    Lines sold_;
    std::vector<Line> bought_;
};

TEST_F(WorkingDayTest, EveryTableAgreesWithWhatTheWindowsShowed) {
    startNewDay(h);
    // Every window opened once, at the start: each must follow the others.
    for (const char* item : {"BOX_MANGEMENT", "PAY", "ECEIVE", "supply_inv", "returne", "sellgroup",
                             "saleslarge", "SALES_IN"})
        h.menu("Form1", item);
    agree("the day starts");

    // The item card in edit: bolt's retail price typed 20 -> 26, not saved.
    h.menu("Form1", "store_functions");
    login(h, "Form20", "rana", "pw");
    h.choose("Form1", "DataCombo3", "G1");
    h.click("Form1", "cmdaction", 2);
    h.type("Form1", "Text7", "26");

    // Retail: one cancelled, then two, the second after Yes to another one.
    sale("Form3", {{"bolt", "5"}});
    cancel(h, "Form3");
    EXPECT_EQ(stored("SELECT count(*) FROM SALES_INVOICE"), 0);
    sale("Form3", {{"bolt", "2"}, {"nut", "3"}});
    saved("Form3", {cashSaid(70)}, answer::Yes);
    book.cashMoves(70);
    stockShown("Form3", "Text9", "nut");
    EXPECT_EQ(row(h, "SALES_INVOICE", -1,
                  {"INVO_NO", "STATUS_SUB", "SUM1", "SUM2", "TOTAL_SUM", "DATES"}),
              "3|True|40|30|70|06/12/2026");
    agree("retail 3");
    // The card keeps its typed price and still waits for its save.
    EXPECT_EQ(h.text("Form1", "Text7") + h.caption("Form1", "cmdaction", 2), "26&save");
    sale("Form3", {{"nut", "1"}});
    saved("Form3", {cashSaid(10)});
    book.cashMoves(10);
    agree("retail 4");

    // A search shows invoice 3; then a new invoice of bolt at the stored price.
    search("Form3", "INV_NO", "Form14", "3");
    EXPECT_EQ(h.text("Form3", "DataCombo1", 1) + "/" + h.caption("Form3", "Label9"), "nut/70");
    sale("Form3", {{"bolt", "1"}});
    EXPECT_EQ(h.text("Form3", "Text4", 0), "20");
    saved("Form3", {cashSaid(20)});
    book.cashMoves(20);
    agree("retail 5 after a search");

    // Wholesale: cash, once a payment type is chosen.
    sale("Form42", {{"bolt", "4"}});
    h.click("Form42", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ");
    h.click("Form42", "Option1");
    saved("Form42", {cashSaid(60)}, answer::Yes);
    book.cashMoves(60);
    stockShown("Form42", "Text10", "bolt");
    EXPECT_EQ(row(h, "SALES_INVO_GROUP", -1, {"NOTES", "STATUS_SUB", "TOTAL_SUM"}), ".|True|60");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_RECIVED", "RECEIVED_INV"}), "60|3");
    const auto& printed = h.lines("Form42");  // two blank lines before the last
    EXPECT_EQ(printed.at(printed.size() - 3) + printed.at(printed.size() - 2), "");
    agree("wholesale 3, cash");

    // Both windows sold bolt under the card's edit. Its save stores the typed
    // price and shows the stock the sales left; retail sells at the new price.
    h.click("Form1", "cmdaction", 2);
    EXPECT_EQ(item("UNITE_PRICE", "bolt"), 26);
    EXPECT_EQ(h.text("Form1", "Text3", 0), formatDouble(book.stock["bolt"]));
    sale("Form3", {{"bolt", "1"}});
    saved("Form3", {cashSaid(26)});
    book.cashMoves(26);
    stockShown("Form3", "Text9", "bolt");
    agree("retail 6 at the new price");

    // Back to wholesale: credit with the customers window open, then part.
    h.menu("Form1", "BUYER");
    login(h, "Form52", "rana", "pw");  // the customers window, on Hala
    sale("Form42", {{"nut", "10"}}, "Hala", "Option2");
    saved("Form42", {debtSaid("Hala", 50)}, answer::Yes);
    book.debt["Hala"] += 50;
    EXPECT_EQ(h.caption("Form42", "Command2"), formatDouble(book.debt["Hala"]));
    agree("wholesale 4, credit");
    sale("Form42", {{"bolt", "2"}, {"nut", "4"}}, "Sami", "Option3");
    saved("Form42", {cashSaid(20, "Sami"), debtSaid("Sami", 30, kRestEnd)}, answer::No, "20");
    book.cashMoves(20);
    book.debt["Sami"] += 30;
    agree("wholesale 5, part");

    // A search, then a new credit invoice for Hala.
    search("Form42", "SERARCH_INVO", "Form43", "4");
    sale("Form42", {{"nut", "2"}}, "Hala", "Option2");
    saved("Form42", {debtSaid("Hala", 10)});
    book.debt["Hala"] += 10;
    agree("wholesale 6 after a search");

    // Issue vouchers: the customer chosen once is each voucher's own.
    sale("Form53", {{"bolt", "1"}}, "Sami", "Option1");
    saved("Form53", {cashSaid(15, "Sami")}, answer::Yes);
    book.cashMoves(15);
    sale("Form53", {{"nut", "3"}}, "", "Option2");
    saved("Form53", {debtSaid("Sami", 15)}, answer::Yes);
    book.debt["Sami"] += 15;
    sale("Form53", {{"bolt", "2"}}, "", "Option3");
    saved("Form53", {cashSaid(10, "Sami"), debtSaid("Sami", 20, kRestEnd)}, answer::No, "10");
    book.cashMoves(10);
    book.debt["Sami"] += 20;
    EXPECT_EQ(stored("SELECT count(*) FROM COAST_INVO_GROUP WHERE SALES_MAN='Sami'"), 3);
    stockShown("Form53", "Text10", "bolt");
    agree("issue vouchers 3 to 5");

    // A return pays out and counts the item returned; stock stays as it is.
    h.choose("Form28", "DataCombo3", "G1");
    enterDocument(h, "Form28", {{"bolt", "1"}}, "Text5", "Command1");
    h.type("Form28", "Text6", "20", 0);
    saved("Form28", {cashSaid(20)});
    EXPECT_EQ(row(h, "RETURN_INVOICE", -1, {"STATUS_SUB", "PRICE1", "BUYER"}), "True|20|.");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY_OUT", "RETURN_INV"}), "20|3");
    book.cashMoves(-20);
    EXPECT_EQ(item("\"RETURN\"", "bolt"), 1);
    agree("return 3");

    // Incoming: cash from Beta (its name typed wrong first), a search, then
    // credit from Acme.
    incoming("Bet", "Option1", {{"nut", "20", "2"}});
    h.click("Form17", "cmdaction", 0);
    EXPECT_EQ(h.lastMessage(), "المورد Bet غير موجود فى جدول الموردين، إختر المورد من القائمة");
    EXPECT_TRUE(h.choose("Form17", "DataCombo2", "Beta"));
    saved("Form17", {cashSaid(40, "Beta")});
    book.cashMoves(-40);
    agree("incoming 3, cash");
    search("Form17", "Search_invo", "Form15", "3");
    incoming("Acme", "Option2", {{"bolt", "10", "9"}});
    saved("Form17", {"Acme ألى حساب المورد  90 تم أضافة حساب الفاتورة  "});
    book.owed["Acme"] += 90;
    stockShown("Form17", "Text10", "bolt");
    agree("incoming 4 after a search");

    // Hala pays 50 by a receipt; a payment voucher pays 30 out.
    h.click("Form35", "cmdaction", 0);
    h.type("Form35", "DataCombo1", "Hala");
    h.type("Form35", "Text2", "50");
    h.click("Form35", "cmdaction", 0);
    h.click("Form35", "Command2");
    EXPECT_EQ(h.lastMessage(),
              " تم خصم المبلغ المستلم من مديونية العميل و إضافته الى رصيد صندوق الشركة ");
    book.cashMoves(50);
    book.debt["Hala"] -= 50;
    h.click("Form41", "cmdaction", 0);
    h.type("Form41", "Text6", "driver");
    h.type("Form41", "Text2", "30");
    h.click("Form41", "Command2");
    EXPECT_EQ(h.lastMessage(), " تم طرح المبلغ المنصرف من رصيد الصندوق ");
    book.cashMoves(-30);
    EXPECT_EQ(h.caption("Form35", "Label6") + h.caption("Form41", "Label6"), "33");
    agree("receipt and payment");

    // Ali's wage is paid from the cash box.
    h.menu("Form1", "SUPPLY_INF");
    h.app.navigate(h.form("Form32").adodc("Adodc1"), Nav::Next);
    h.click("Form32", "Command2");
    book.cashMoves(-300);
    EXPECT_EQ(stored("SELECT count(*) FROM BOX WHERE emplyee_name='Ali' AND MONEY_OUT=300"), 1);
    agree("a wage");

    // The day's end: every table agrees with the documents stored.
    const std::vector<std::string> sales{"SALES_INVOICE", "SALES_INVO_GROUP", "COAST_INVO_GROUP"};
    auto lineSum = [&](const std::vector<std::string>& tables, const std::string& name) {
        double q = 0;
        for (const std::string& t : tables)
            for (int n = 1; n <= 32; ++n)
                q += stored("SELECT total(QNTITY" + std::to_string(n) + ") FROM " + t +
                            " WHERE MED_NAME" + std::to_string(n) + "='" + name + "'");
        return q;
    };
    h.menu("Form1", "INVENTORY_REPORT");  // the day's movement: its end quantities
    ASSERT_NE(h.app.report("DataReport10"), nullptr);
    for (const std::string& name : kItems) {
        SCOPED_TRACE(name);
        const double out = lineSum(sales, name), in = lineSum({"BUY_INVOICE"}, name);
        EXPECT_EQ(day("OUTPUT", name), out);
        EXPECT_EQ(day("INPUT", name), in);
        EXPECT_EQ(item("ONSTOCK", name), (name == "bolt" ? 50 : 80) - out + in);
        EXPECT_EQ(day("END_DAY_Q", name), day("STARY_DAY_Q", name) - out + in);
    }
    // Each line's sum is its quantity times its price, the total their sum.
    std::string wrong = "TOTAL_SUM IS NOT 0", lines;
    for (int n = 1; n <= 32; ++n) {
        const std::string k = std::to_string(n);
        wrong += "+SUM" + k;
        lines += " OR SUM" + k + " IS NOT QNTITY" + k + "*\"EXPIRY_ DATE" + k + "\"";
    }
    for (const char* t : {"SALES_INVOICE", "SALES_INVO_GROUP", "COAST_INVO_GROUP", "BUY_INVOICE"})
        EXPECT_EQ(stored(std::string("SELECT count(*) FROM ") + t + " WHERE " + wrong + lines), 0)
            << t;
    for (const std::string t : {"SALES_INVOICE", "SALES_INVO_GROUP", "COAST_INVO_GROUP",
                                "BUY_INVOICE", "RETURN_INVOICE"}) {
        EXPECT_EQ(stored("SELECT count(*) - count(DISTINCT INVO_NO) FROM " + t), 0) << t;
        EXPECT_EQ(stored("SELECT count(*) FROM " + t + " WHERE STATUS_SUB IS NOT 1"), 0) << t;
    }
    for (const std::string t : {"REVEIVED_MONEY", "MONEY_OUT"})
        EXPECT_EQ(stored("SELECT count(*) FROM " + t + " WHERE POSTED IS NOT 1"), 0) << t;
    EXPECT_EQ(stored("SELECT count(*) FROM SALES_INVOICE"), 4);
    EXPECT_EQ(stored("SELECT count(*) FROM SALES_INVO_GROUP"), 4);
    // Each retail invoice and the return moved its own total once.
    EXPECT_EQ(stored("SELECT count(*) FROM SALES_INVOICE s WHERE (SELECT total(MONEY_RECIVED) "
                     "FROM BOX WHERE OUT_INVOICE=s.INVO_NO) IS NOT s.TOTAL_SUM"),
              0);
    EXPECT_EQ(stored("SELECT total(MONEY_OUT) FROM BOX WHERE RETURN_INV IS NOT NULL"), 20);
    // Each cash box row carries the balance before it plus what it moved.
    EXPECT_EQ(
        stored("SELECT count(*) FROM BOX b JOIN BOX p ON p.rowid = (SELECT max(rowid) FROM BOX "
               "WHERE rowid < b.rowid) WHERE abs(b.MONEY - (p.MONEY + ifnull(b.MONEY_RECIVED, 0) "
               "- ifnull(b.MONEY_OUT, 0))) > 1e-9"),
        0);
    agree("the day's end");
}

}  // namespace
}  // namespace mk
