// The totals, the day routines, the expiry and movement scans and the item
// search read their tables in SQL. Each is checked here against the walk
// the windows used to make over their snapshots (written out below as a
// reference), on random shops: every result must be the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>

#include "access/day_close.h"
#include "app/main_window.h"
#include "store/item_card.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

const char* const kNames[] = {"bolt", "nut", "washer", "pin", "tape"};

struct Random {
    std::mt19937 rng;
    explicit Random(unsigned seed) : rng(seed) {}
    int below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    std::string number(double scale) {
        if (chance(10)) return "NULL";
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", (below(20001) - 5000) / scale);
        return buf;
    }
    std::string name() {
        if (chance(5)) return "NULL";
        if (chance(4)) return "''";
        return std::string("'") + kNames[below(5)] + "'";
    }
    std::string date() {
        if (chance(20)) return "NULL";
        return "'" + formatIsoDate(makeDate(2026, 11, 1) + below(900)) + "'";
    }
};

void fillShop(Harness& h, Random& r, int groups) {
    for (int g = 0; g < groups; ++g) {
        const std::string table = "G" + std::to_string(g);
        makeGroup(h, table);
        const int items = g == 1 ? 0 : r.below(40);
        for (int i = 0; i < items; ++i)
            h.exec("INSERT INTO " + table +
                   " (\"DESC\", ONSTOCK, UNITE_PRICE, BUY_PRICE, DATES_SAVE) VALUES (" + r.name() +
                   ", " + (r.chance(10) ? "NULL" : std::to_string(r.below(320) - 20)) + ", " +
                   r.number(10) + ", " + r.number(100) + ", " + r.date() + ")");
    }
    for (int i = r.below(30); i > 0; --i) {
        h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('b', " + r.number(100) + ")");
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('s', " + r.number(10) + ")");
    }
    h.exec("INSERT INTO BOX (MONEY) VALUES (" + r.number(100) + ")");
    for (int i = r.below(15); i > 0; --i)
        h.exec("INSERT INTO DAILY_TRADE (\"DESC\", STARY_DAY_Q) VALUES (" +
               (r.chance(10) ? std::string("'ghost'") : r.name()) + ", 1)");
    for (int i = r.below(30); i > 0; --i) {
        std::string cols = "INVO_NO, DATES, SALES_MAN", vals = std::to_string(r.below(100)) +
                                                              ", " + r.date() + ", 'p" +
                                                              std::to_string(r.below(4)) + "'";
        for (int k = r.below(6); k > 0; --k) {
            const std::string slot = std::to_string(1 + r.below(32));
            if (cols.find("MED_NAME" + slot + ",") != std::string::npos) continue;
            const char* quantities[] = {"NULL", "0", "-1", "2.5", "3.5", "7", "40000"};
            cols += ", MED_NAME" + slot + ", QNTITY" + slot;
            vals += ", " + r.name() + ", " + quantities[r.below(7)];
        }
        h.exec("INSERT INTO SALES_INVOICE (" + cols + ") VALUES (" + vals + ")");
    }
}

// ---- The walks the windows made before, over whole-table snapshots.

std::vector<std::string> groupsOf(Harness& h) {
    std::vector<std::string> out;
    for (const Value& v : h.column("qqq", "Q")) out.push_back(toText(v));
    return out;
}

double walkSum(Harness& h, const std::string& table) {
    Recordset rs(h.db(), table);
    double sum = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) sum += toDouble(rs.field("MONEY"));
    return sum;
}

std::vector<std::string> walkTotals(Harness& h) {
    Recordset box(h.db(), "BOX");
    box.moveLast();
    double sale = 0, buy = 0;
    for (const std::string& g : groupsOf(h)) {
        Recordset items(h.db(), g);
        for (items.moveFirst(); !items.eof(); items.moveNext()) {
            const double onStock = toDouble(items.field("ONSTOCK"));
            sale += onStock * toDouble(items.field("UNITE_PRICE"));
            buy += onStock * toDouble(items.field("BUY_PRICE"));
        }
    }
    return {formatDouble(walkSum(h, "BUYER")), formatDouble(walkSum(h, "SUPPLIER")),
            formatDouble(box.eof() ? 0.0 : toDouble(box.field("MONEY"))), formatDouble(sale),
            formatDouble(buy)};
}

std::vector<std::pair<std::string, int32_t>> walkStartOfDay(Harness& h) {
    std::vector<std::pair<std::string, int32_t>> out;
    for (const std::string& g : groupsOf(h)) {
        Recordset items(h.db(), g);
        for (items.moveFirst(); !items.eof(); items.moveNext())
            out.emplace_back(toText(items.field("DESC")), toInt32(items.field("ONSTOCK")));
    }
    return out;
}

std::vector<Value> walkEndOfDay(Harness& h) {
    std::map<std::string, int32_t> stock;
    for (const std::string& g : groupsOf(h)) {
        Recordset items(h.db(), g);
        for (items.moveFirst(); !items.eof(); items.moveNext())
            stock[toText(items.field("DESC"))] = toInt32(items.field("ONSTOCK"));
    }
    Recordset day(h.db(), "DAILY_TRADE");
    std::vector<Value> out;
    for (day.moveFirst(); !day.eof(); day.moveNext()) {
        auto it = stock.find(toText(day.field("DESC")));
        out.push_back(it != stock.end() ? Value::i32(it->second) : day.field("END_DAY_Q"));
    }
    return out;
}

std::vector<std::string> walkExpiry(Harness& h, double from, double to) {
    std::vector<std::string> lines;
    for (const std::string& g : groupsOf(h)) {
        Recordset items(h.db(), g);
        for (items.moveFirst(); !items.eof(); items.moveNext()) {
            const Value expiry = items.field("DATES_SAVE");
            if (expiry.isNull()) continue;
            const double day = std::floor(toDate(expiry));
            if (!(from <= day && day <= to)) continue;
            lines.push_back(formatPrintLine({Value::date(toDate(expiry)),
                                             Value::i32(toInt32(items.field("ONSTOCK"))),
                                             toText(items.field("DESC")), g}));
        }
    }
    return lines;
}

std::vector<std::string> walkSalesMovement(Harness& h, const std::string& item) {
    std::vector<std::string> lines(3, std::string(11, ' '));
    Recordset invoices(h.db(), "SALES_INVOICE");
    for (invoices.moveFirst(); !invoices.eof(); invoices.moveNext()) {
        const Value date = invoices.field("DATES");
        const std::string number = toText(invoices.field("INVO_NO"));
        const std::string partner = toText(invoices.field("SALES_MAN"));
        for (int n = 1; n <= 31; ++n) {
            const std::string slot = std::to_string(n);
            if (item.empty() || toText(invoices.field("MED_NAME" + slot)) != item) continue;
            const int32_t quantity = roundToInt32(toDouble(invoices.field("QNTITY" + slot)));
            if (quantity <= 0) continue;
            lines.push_back(
                formatPrintLine({Value::i32(quantity), zone, number, zone, date, zone, partner}));
        }
    }
    return lines;
}

// The place of the first row whose field matches, 0 when none.
long walkSearch(Harness& h, const std::string& table, const std::string& field,
                const std::function<bool(const Value&)>& match) {
    long position = 0;
    for (const Value& v : h.column(table, field)) {
        ++position;
        if (match(v)) return position;
    }
    return 0;
}

// ---- The windows, pressed as a user would.

TEST(SqlWalks, EveryRoutineGivesWhatTheWalkGaveOnRandomShops) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Random r(seed);
        WorkerHarness h;
        setProfile(h, "ACME");
        const int groups = 2 + r.below(3);
        fillShop(h, r, groups);
        const auto totals = walkTotals(h);
        const auto startRows = walkStartOfDay(h);
        const long before = h.count("DAILY_TRADE");

        startNewDay(h);
        Form1& main = h.app.form<Form1>();
        ASSERT_TRUE(main.visible());
        EXPECT_EQ((std::vector<std::string>{main.Label23[0]->caption(), main.Label23[1]->caption(),
                                            main.Label23[2]->caption(), main.Label24->caption(),
                                            main.Label21->caption()}),
                  totals);
        const auto names = h.column("DAILY_TRADE", "DESC");
        const auto quantities = h.column("DAILY_TRADE", "STARY_DAY_Q");
        ASSERT_EQ(names.size(), before + startRows.size());
        for (size_t i = 0; i < startRows.size(); ++i) {
            EXPECT_EQ(toText(names[before + i]), startRows[i].first);
            EXPECT_EQ(quantities[before + i], Value::i32(startRows[i].second));
        }
        EXPECT_EQ(toText(h.cell("DAILY_TRADE", 0, "OUTPUT")), "0");
        // The day's control stands on the last row added, as the walk left it.
        if (!startRows.empty()) {
            EXPECT_EQ(main.Text11->text(), startRows.back().first);
        }

        const auto endOfDay = walkEndOfDay(h);
        h.menu("Form1", "inventory_rep");
        EXPECT_EQ(h.column("DAILY_TRADE", "END_DAY_Q"), endOfDay);
        // The day's control stands past the last row, as the walk left it,
        // and reads the quantities set.
        EXPECT_TRUE(main.Adodc6->recordset().eof());
        EXPECT_EQ(main.Adodc6->recordset().columnValues("END_DAY_Q"), endOfDay);

        // The movement of the item the card shows (none while G0 is empty).
        h.menu("Form1", "store_functions");
        h.choose("Form1", "DataCombo3", "G0");
        for (int step = r.below(6); step > 0; --step)
            h.app.navigate(*main.card->Adodc4, Nav::Next);
        const std::string item = h.text("Form1", "Text6");
        h.click("Form1", "Command6");
        EXPECT_EQ(h.lines("Form29"), walkSalesMovement(h, item));
        h.advance(1000);

        const double from = makeDate(2026, 11, 1) + r.below(400);
        const double to = from + r.below(500);
        const auto expiry = walkExpiry(h, from, to);
        h.answerInput(formatShortDate(from));
        h.answerInput(formatShortDate(to));
        h.menu("Form1", "date_report");
        EXPECT_EQ(h.lines("Form55"), expiry);
        h.advance(1000);

        const std::string group = "G" + std::to_string(r.below(2) ? 0 : groups - 1);
        h.choose("Form1", "DataCombo3", group);
        const std::string wanted = kNames[r.below(5)];
        const long expected =
            walkSearch(h, group, "DESC", [&](const Value& v) { return toText(v) == wanted; });
        h.dialogs.clear();
        h.answerInput(wanted);
        h.menu("Form1", "earchby_name");
        Recordset& card = main.card->Adodc4->recordset();
        if (expected > 0) {
            EXPECT_EQ(card.absolutePosition(), expected);
            EXPECT_EQ(h.lines("Form1").back(), wanted);
        } else {
            EXPECT_TRUE(card.eof());
            EXPECT_EQ(h.lastMessage(), " ذلك المنتج غير موجود  ");
        }
    }
}

// The invoices of one partner as the dealings views walked their table:
// the lines printed, and the rows written to BUYER_DEALS.
struct Dealings {
    std::vector<std::string> lines = std::vector<std::string>(3, std::string(11, ' '));
    std::vector<std::vector<Value>> rows;
};

Dealings walkDealings(Harness& h, const std::string& table, const std::string& partner) {
    Dealings out;
    Recordset invoices(h.db(), table);
    for (invoices.moveFirst(); !invoices.eof(); invoices.moveNext()) {
        const Value name = invoices.field("SALES_MAN");
        if (partner.empty() || name.isNull() || toText(name) != partner) continue;
        const Value date = invoices.field("DATES");
        const Value number = invoices.field("INVO_NO");
        const double total = toDouble(invoices.field("TOTAL_SUM"));
        const std::string notes = toText(invoices.field("NOTES"));
        out.lines.push_back(formatPrintLine({zone, date, zone, toText(number), total, notes}));
        out.rows.push_back({Value::i16(static_cast<int16_t>(out.rows.size() + 1)), number, date,
                            Value(total), Value(notes)});
    }
    return out;
}

std::vector<std::vector<Value>> dealingsRows(Harness& h) {
    std::vector<std::vector<Value>> out;
    Recordset rs(h.db(), "BUYER_DEALS");
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out.push_back({rs.field("ID"), rs.field("INVO_NO"), rs.field("DATES"), rs.field("TOTAL"),
                       rs.field("NOTES")});
    return out;
}

// Both dealings views, then the day's close, on random shops: the lines,
// the last invoice shown, BUYER_DEALS (numbered from 1) and its counter as the walks left
// them; the close empties the day and marks the reserved user row only.
TEST(SqlWalks, DealingsAndTheDayCloseGiveWhatTheWalksGaveOnRandomShops) {
    // A name with quotes and SQL in it is a name like any other.
    const char* const partners[] = {"'p0'", "'p1'", "'p0 '", "'P0'", "NULL", "''",
                                    "'O''Hara \"x\"; DROP TABLE BUYER_DEALS; --'"};
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Random r(seed);
        WorkerHarness h;
        setProfile(h, "ACME");
        fillShop(h, r, 2);
        for (const char* table : {"SALES_INVO_GROUP", "BUY_INVOICE"})
            for (int i = r.below(40); i > 0; --i)
                h.exec(std::string("INSERT INTO ") + table +
                       " (INVO_NO, DATES, SALES_MAN, TOTAL_SUM, NOTES) VALUES (" +
                       std::to_string(r.below(500)) + ", " + r.date() + ", " +
                       partners[r.below(7)] + ", " + r.number(100) + ", " +
                       (r.chance(30) ? "NULL" : "'n" + std::to_string(r.below(9)) + "'") + ")");

        for (const char* partner : {"p0", "p1", "p2", "O'Hara \"x\"; DROP TABLE BUYER_DEALS; --"}) {
            SCOPED_TRACE(partner);
            for (const bool suppliers : {false, true}) {
                const char* view = suppliers ? "Form46" : "Form40";
                const Dealings expected =
                    walkDealings(h, suppliers ? "BUY_INVOICE" : "SALES_INVO_GROUP", partner);
                h.dialogs.clear();
                h.showPartner(suppliers ? "Form5" : "Form6", partner);
                h.launch(suppliers ? "Suppliers" : "Customers");
                EXPECT_EQ(h.lines(view), expected.lines) << view;
                if (expected.rows.empty()) {
                    EXPECT_EQ(h.lastMessage(), "لا توجد فواتير لهذا العميل  ");
                    EXPECT_EQ(h.column("BUYER_DEALS", "ID"), (std::vector<Value>{Value::i16(999)}));
                    EXPECT_EQ(toInt16(h.flag("COUNTER_BUYER_DEALS")), 1);
                } else {
                    EXPECT_EQ(dealingsRows(h), expected.rows) << view;
                    EXPECT_EQ(toInt16(h.flag("COUNTER_BUYER_DEALS")),
                              static_cast<int16_t>(expected.rows.size()));
                    if (!suppliers) {
                        EXPECT_EQ(h.text(view, "Text4"), toText(expected.rows.back()[1]));
                    }
                }
                h.close(view);
            }
        }

        // The day's close, from the copy window's login.
        startNewDay(h);
        addUser(h, "boss", "secret2", {"close"});
        h.exec("UPDATE Admin SET enter = 0 WHERE UserID = '529'");
        std::vector<Value> enter = h.column("Admin", "enter");
        const std::vector<Value> ids = h.column("Admin", "UserID");
        for (size_t i = 0; i < ids.size(); ++i)
            if (toText(ids[i]) == kDayStateUser) enter[i] = Value(true);
        const std::vector<Value> passwords = h.column("Admin", "Password");
        h.show("Form48");
        login(h, "Form44", "boss", "secret2");
        EXPECT_EQ(h.count("DAILY_TRADE"), 0);
        EXPECT_EQ(h.column("Admin", "enter"), enter);
        EXPECT_EQ(h.column("Admin", "UserID"), ids);
        EXPECT_EQ(h.column("Admin", "Password"), passwords);
        EXPECT_FALSE(h.app.isLoaded("Form1"));
    }
}

// A write that fails half way through the end-of-day pass or the day's
// close leaves every table as it was, and the main window on the row of
// the day it showed.
TEST(SqlWalks, AFailedEndOfDayOrDayCloseLeavesTheTablesAndTheMainWindowAsTheyWere) {
    for (const char* failure :
         {"BEFORE UPDATE ON DAILY_TRADE WHEN OLD.\"DESC\" = 'nut'",
          "BEFORE DELETE ON DAILY_TRADE WHEN OLD.\"DESC\" = 'nut'"}) {
        SCOPED_TRACE(failure);
        Harness h;
        setProfile(h, "ACME");
        makeGroup(h, "G1", "('bolt', 5, 1, 1), ('nut', 7, 1, 1), ('washer', 9, 1, 1)");
        startNewDay(h);
        addUser(h, "boss", "secret2", {"close"});
        Form1& main = h.app.form<Form1>();
        const long at = main.Adodc6->recordset().absolutePosition();
        const std::string shown = main.Text11->text();
        ASSERT_EQ(shown, "washer");
        const std::vector<std::string> tables = {"DAILY_TRADE", "Admin", "G1"};
        const std::string before = tablesText(h, tables);
        h.exec(std::string("CREATE TRIGGER stop ") + failure +
               " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        h.dialogs.clear();
        const bool endOfDay = std::string(failure).find("UPDATE") != std::string::npos;
        if (endOfDay) {
            h.menu("Form1", "inventory_rep");
            EXPECT_EQ(h.app.report("DataReport10"), nullptr);
        } else {
            h.show("Form48");
            login(h, "Form44", "boss", "secret2");
            EXPECT_TRUE(h.app.isLoaded("Form44"));
        }
        // Told in Arabic; the database's words go to the log.
        EXPECT_EQ(h.dialogs.messages().back().style, mb::Critical);
        EXPECT_NE(h.logText().find("disk full"), std::string::npos);
        EXPECT_EQ(tablesText(h, tables), before);
        ASSERT_TRUE(h.app.isLoaded("Form1"));
        EXPECT_EQ(main.Adodc6->recordset().absolutePosition(), at);
        EXPECT_EQ(main.Text11->text(), shown);
    }
}

// Document numbers as shops come to hold them: whole numbers and repeats;
// in some shops Nulls (read as 0) and halves (read to the even
// neighbour), which the index still answers; in others numbers past 16
// bits and texts, which it leaves to the walk.
std::string documentNumber(Random& r, unsigned kind) {
    const char* odds[] = {"NULL", "2.5", "3.5", "-1", "40000", "'abc'", "'12x'"};
    if (kind > 0 && r.chance(20)) return odds[r.below(kind == 1 ? 4 : 7)];
    return std::to_string(3 + r.below(25));
}

// The walks: the last number (at least 2) and the first row whose number
// reads as wanted.
double walkLastNumber(Harness& h, const std::string& table) {
    double last = 2;
    for (const Value& v : h.column(table, "INVO_NO")) last = std::max(last, toDouble(v));
    return last;
}

long walkFind(Harness& h, const std::string& table, double wanted) {
    return walkSearch(h, table, "INVO_NO",
                      [&](const Value& v) { return static_cast<double>(toInt32(v)) == wanted; });
}

// Numbering, the invoice search login and the voucher search find through
// the number's index what the walk found.
TEST(SqlWalks, IndexedNumberLookupsGiveWhatTheWalkGave) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Random r(seed);
        Harness h;
        setProfile(h, "ACME");
        const unsigned odd = seed % 3;
        for (int i = r.below(30); i >= 0; --i) {
            h.exec("INSERT INTO SALES_INVOICE (INVO_NO, MED_NAME1) VALUES (" + documentNumber(r, odd) +
                   ", 'item " + std::to_string(i) + "')");
            h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO, MONEY) VALUES (" + documentNumber(r, odd) + ", " +
                   std::to_string(i) + ")");
        }
        h.exec("INSERT INTO Admin (UserID, Password, \"sell-inv\") VALUES ('omar', 'pw2', 1)");
        enterMain(h);
        h.menu("Form1", "SALES_IN");
        EXPECT_EQ(h.caption("Form3", "Label4"),
                  std::to_string(toInt32(Value(walkLastNumber(h, "SALES_INVOICE")))));
        h.menu("Form1", "PAY");
        EXPECT_EQ(h.caption("Form35", "Label6"),
                  std::to_string(static_cast<int>(walkLastNumber(h, "REVEIVED_MONEY"))));

        for (const std::string& typed : {std::to_string(3 + r.below(25)), std::string("7.0"),
                                         std::string("2.5"), std::string("2"), std::string("4"),
                                         std::string("0"), std::string("40000"), std::string("99")}) {
            SCOPED_TRACE("typed " + typed);
            const double wanted = *parseNumber(typed);
            Recordset& invoices = h.form("Form3").adodc("Adodc2").recordset();
            const long shown = invoices.absolutePosition();
            h.dialogs.clear();
            h.menu("Form3", "INV_NO");
            h.answerInput(typed);
            h.type("Form14", "Text1", "omar", 0);
            h.type("Form14", "Text1", "pw2", 1);
            h.click("Form14", "Command1");
            const long found = walkFind(h, "SALES_INVOICE", wanted);
            EXPECT_EQ(invoices.absolutePosition(), found ? found : shown);
            EXPECT_EQ(h.lastMessage() == " unable to find that item ", found == 0);

            Recordset& vouchers = h.form("Form35").adodc("Adodc1").recordset();
            h.answerInput(typed);
            h.menu("Form35", "SEARCH");
            const long voucher = walkFind(h, "REVEIVED_MONEY", wanted);
            EXPECT_EQ(vouchers.absolutePosition(), voucher);
            EXPECT_EQ(vouchers.eof(), voucher == 0);
        }
    }
}

TEST(SqlWalks, AFailedConversionInSqlFailsTheActionWithTheWalksError) {
    WorkerHarness h;
    makeGroup(h, "G1");
    h.exec("INSERT INTO G1 (\"DESC\", DATES_SAVE) VALUES ('bolt', '2027-01-05'), ('nut', 'soon')");
    std::string expected, logged;
    try {
        toDate(Value("soon"));
    } catch (const RuntimeError& e) {
        expected = failureMessage(e);
        logged = e.description();
    }
    ASSERT_FALSE(logged.empty());
    h.answerInput("01/01/2027");
    h.answerInput("31/12/2027");
    h.launch("date_report");
    EXPECT_EQ(h.lastMessage(), expected);
    EXPECT_NE(h.logText().find(logged), std::string::npos);
    EXPECT_EQ(h.app.report("DataReport16"), nullptr);
}

TEST(SqlWalks, AnItemNameTooLongForTheDayTableStopsTheStartOfDay) {
    Harness h;
    setProfile(h, "ACME");
    makeGroup(h, "G1", "('bolt', 5, 1, 1), ('" + std::string(201, 'x') + "', 1, 1, 1)");
    startNewDay(h);
    EXPECT_EQ(h.count("DAILY_TRADE"), 0);
    EXPECT_EQ(h.lastMessage(), failureMessage(RuntimeError(err::FieldTooSmall, "")));
    EXPECT_NE(h.logText().find("The text is too long for the field DESC (at most 200 characters)."),
              std::string::npos);
}

}  // namespace
}  // namespace mk
