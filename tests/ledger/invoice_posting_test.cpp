// Invoices posted by the ledger alone: documents as a window hands them
// over, stored and posted by one call with no window open; every refusal
// in the order a user is told of it, writing nothing; every write failing
// half way leaving every table as before; the numbering.
#include <gtest/gtest.h>

#include "ledger/amounts.h"
#include "ledger/invoice.h"
#include "ledger/numbering.h"
#include "support/steps.h"

namespace mk {
namespace {

using namespace test;

const InvoiceBook kRetail{.table = "SALES_INVOICE", .flow = StockFlow::Out,
                          .postedText = "لقد تم خصم هذه الفاتورة سابقا.", .postedTitle = "Attention"};
const InvoiceBook kWholesale{.table = "SALES_INVO_GROUP", .flow = StockFlow::Out,
                             .postedText = "posted", .postedTitle = "Attention"};
const InvoiceBook kReturns{.table = "RETURN_INVOICE", .flow = StockFlow::Return,
                           .wholeTotal = true, .postedText = "returned", .postedTitle = "Attention"};
const InvoiceBook kIncoming{.table = "BUY_INVOICE", .flow = StockFlow::In, .lineDates = true,
                            .postedText = "لقد تم إضافة هذه الفاتورة سابقا.",
                            .postedTitle = "ملحوظة"};

PaymentChoice cash(CashFlow flow, const char* reference) {
    return {.kind = PaymentKind::Cash, .flow = flow, .referenceField = reference};
}

PaymentChoice customer(std::optional<PaymentKind> kind, const std::string& who = "Hala") {
    return {.kind = kind, .partners = &kBuyers, .partner = who, .flow = CashFlow::In,
            .referenceField = "RECEIVED_INV"};
}

PaymentChoice supplier(std::optional<PaymentKind> kind, const std::string& who = "Acme") {
    return {.kind = kind, .partners = &kSuppliers, .partner = who, .flow = CashFlow::Out,
            .referenceField = "IN_INVOICE"};
}

// A document of number n on G1: the lines given, the other slots empty.
InvoiceDocument document(std::optional<double> n, std::vector<TypedLine> lines,
                         PaymentChoice payment) {
    lines.resize(32, TypedLine{.item = "."});
    return {.number = n, .group = "G1", .lines = std::move(lines), .date = Value("06/12/2026"),
            .payment = std::move(payment)};
}

// A shop with one group, a customer, a supplier and cash in the box.
struct Shop {
    Shop() {
        makeGroup(h, "G1", "('.', 0, 0, 0), ('bolt', 10, 5, 3), ('nut', 20, 2, 1)");
        h.exec("INSERT INTO DAILY_TRADE (\"DESC\", OUTPUT, INPUT) VALUES ('bolt', 0, 0), ('nut', 1, 0)");
        h.exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('Hala', 40)");
        h.exec("INSERT INTO SUPPLIER (SALES_MAN, MONEY) VALUES ('Acme', 100)");
        h.exec("INSERT INTO BOX (MONEY) VALUES (1000)");
    }

    // Posts the document as its window does: the row added with its number
    // (its bound box), the total stored as shown, the answer typed to a
    // part payment's question. `said` lists the steps asked for, in order.
    InvoiceOutcome post(const InvoiceBook& book, const InvoiceDocument& doc,
                        const std::string& paid = "") {
        InvoiceOutcome out;
        said.clear();
        h.machine.action([&] {
            Recordset row(h.db(), book.table);
            row.addNew();
            if (validNumber(doc.number)) row.setField("INVO_NO", Value(*doc.number));
            out = postInvoice(h.db(), row, book, doc,
                              {.showTotals =
                                   [&](const Invoice& inv) {
                                       said += "totals ";
                                       if (book.table != "RETURN_INVOICE")
                                           row.setField("TOTAL_SUM", Value(inv.total));
                                   },
                               .askPaidNow =
                                   [&] {
                                       said += "paid ";
                                       return paid;
                                   },
                               .rowFits = [&] { return fits; }});
        });
        return out;
    }

    std::string books() {
        return tablesText(h, {"G1", "DAILY_TRADE", "BOX", "BUYER", "SUPPLIER", "SALES_INVOICE",
                              "SALES_INVO_GROUP", "RETURN_INVOICE", "BUY_INVOICE"});
    }

    Harness h{Harness::Windows::None};
    std::string said;
    bool fits = true;
};

TEST(InvoicePosting, EachKindOfInvoiceIsStoredAndPostedByOneCallWithNoWindow) {
    Shop s;
    Harness& h = s.h;
    // Retail, cash in: two lines of one item add up.
    InvoiceOutcome out = s.post(kRetail, document(3, {{"bolt", 2, 5}, {"nut", 3, 2}, {"bolt", 1, 5}},
                                                cash(CashFlow::In, "OUT_INVOICE")));
    ASSERT_TRUE(out.posted) << out.refusal.text;
    EXPECT_EQ(s.said, "totals ");
    EXPECT_EQ(out.posted->invoice.total, 21);
    EXPECT_EQ(out.posted->invoice.lines.size(), 32u);
    EXPECT_EQ(out.posted->invoice.lines[1].sum(), 6);
    EXPECT_EQ(col(h, "G1", "ONSTOCK") + " " + col(h, "DAILY_TRADE", "OUTPUT"), "0|7|17 3|4");
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "MONEY_RECIVED", "OUT_INVOICE"}), "1021|21|3");
    EXPECT_EQ(row(h, "SALES_INVOICE", -1, {"INVO_NO", "STATUS_SUB", "TOTAL_SUM"}), "3|True|21");

    // Wholesale, part paid: asked only once the sums are shown; paying
    // more than the total lowers the debt.
    out = s.post(kWholesale, document(3, {{"nut", 5, 2}}, customer(PaymentKind::Part)), "25");
    ASSERT_TRUE(out.posted) << out.refusal.text;
    EXPECT_EQ(s.said, "totals paid ");
    EXPECT_EQ(out.posted->payment.balanceChange, -15);
    EXPECT_EQ(row(h, "BUYER", 0, {"MONEY"}) + " " + row(h, "BOX", -1, {"MONEY", "RECEIVED_INV"}),
              "25 1046|3");

    // Returns: the whole total rounds half to even line by line (2.5 gives
    // 2, then 5.5 gives 6); the RETURN counter alone moves.
    out = s.post(kReturns, document(3, {{"bolt", 1, 2.5}, {"bolt", 1, 3.5}},
                                  cash(CashFlow::Out, "RETURN_INV")));
    ASSERT_TRUE(out.posted) << out.refusal.text;
    EXPECT_EQ(out.posted->invoice.total, 6);
    EXPECT_EQ(col(h, "G1", "RETURN") + " " + col(h, "G1", "ONSTOCK"), "2| 0|7|12");  // Null, 2, Null
    EXPECT_EQ(row(h, "BOX", -1, {"MONEY", "MONEY_OUT", "RETURN_INV"}), "1040|6|3");

    // Incoming on credit: the stock at the weighted buy price, the day's
    // input, the supplier's balance, no cash.
    const long boxRows = h.count("BOX");
    out = s.post(kIncoming, document(3, {{"bolt", 7, 10}}, supplier(PaymentKind::Credit)));
    ASSERT_TRUE(out.posted) << out.refusal.text;
    EXPECT_EQ(col(h, "G1", "ONSTOCK") + " " + col(h, "G1", "BUY_PRICE"), "0|14|12 0|6.5|1");
    EXPECT_EQ(col(h, "DAILY_TRADE", "INPUT"), "7|0");
    EXPECT_EQ(row(h, "SUPPLIER", 0, {"MONEY"}), "170");
    EXPECT_EQ(h.count("BOX"), boxRows);
}

TEST(InvoicePosting, EveryRefusalComesInItsOrderBeforeAnyWriteAndSaysWhy) {
    Shop s;
    Harness& h = s.h;
    h.exec("INSERT INTO SALES_INVOICE (INVO_NO, STATUS_SUB) VALUES (5, 1), (6, 0)");
    makeGroup(h, "Unlisted");
    h.exec("DELETE FROM qqq WHERE Q='Unlisted'");
    h.exec("INSERT INTO qqq (Q) VALUES ('NoTable')");
    const PaymentChoice retail = cash(CashFlow::In, "OUT_INVOICE");
    auto withGroup = [](InvoiceDocument d, const char* group) {
        d.group = group;
        return d;
    };
    auto withLine32 = [](InvoiceDocument d) {
        d.lines[31] = {"nut", 0, 0};
        return d;
    };
    auto unseen = [](PaymentChoice p) {
        p.unseen = "frame hidden";
        return p;
    };
    struct Case {
        const char* what;
        const InvoiceBook& book;
        InvoiceDocument doc;
        std::string says;   // the start of what is s.said
        std::string title;
        std::string steps;  // asked of the window before the refusal
        std::string paid = "";
    };
    const std::vector<Case> cases = {
        {"no group", kRetail, withGroup(document(3, {{"bolt", 1, 5}}, retail), ""),
         "لم يتم إختيار مجموعة الأصناف", "ملحوظة", ""},
        {"a table not listed", kRetail, withGroup(document(3, {}, retail), "Unlisted"),
         kUnknownGroupMessage, "ملحوظة", ""},
        {"listed with no table", kRetail, withGroup(document(3, {}, retail), "NoTable"),
         kUnknownGroupMessage, "ملحوظة", ""},
        {"a number beyond 2147483647", kRetail, document(3e9, {}, retail), kBadInvoiceNumber,
         "Attention", ""},
        {"no number", kRetail, document(std::nullopt, {}, retail), kBadInvoiceNumber, "Attention",
         ""},
        {"held by a posted invoice", kRetail, document(5, {}, retail), kRetail.postedText,
         "Attention", ""},
        {"held by a saved one", kRetail, document(6, {}, retail), kInvoiceNumberHeld, "Attention",
         ""},
        {"a fraction", kRetail, document(3, {{"bolt", 1.5, 5}}, retail),
         "الكمية فى السطر 1 يجب أن تكون عددا صحيحا", "Attention", ""},
        {"a quantity not a number", kRetail, document(3, {{}, {"bolt", std::nullopt, 5}}, retail),
         "الكمية فى السطر 2", "Attention", ""},
        {"a negative price", kRetail, document(3, {{"bolt", 1, -1}}, retail),
         "السعر فى السطر 1 يجب أن يكون رقما لا يقل عن صفر", "Attention", ""},
        {"a price beyond 1e12", kRetail, document(3, {{"bolt", 1, 2e12}}, retail),
         beyondLimit("السعر فى السطر 1"), "Attention", ""},
        {"a total beyond 1e12", kRetail,
         document(3, {{"bolt", 32767, 1e12}, {"bolt", 32767, 1e12}}, retail),
         beyondLimit("إجمالى الفاتورة"), "Attention", ""},
        {"a whole total beyond 32767", kReturns, document(3, {{"bolt", 2, 20000}}, retail),
         "إجمالى الفاتورة أكبر من 32767", "Attention", ""},
        {"slot 32", kRetail, withLine32(document(3, {{"bolt", 1, 5}}, retail)),
         "السطر 32 لا يرحل", "Attention", ""},
        {"an item of another group", kRetail, document(3, {{"pipe", 1, 5}}, retail),
         "الصنف فى السطر 1 ليس فى مجموعة الأصناف المختارة", "Attention", ""},
        // The sums show from here on.
        {"a line date", kIncoming,
         document(3, {{"bolt", 1, 5, true}, {"nut", 1, 5, false}}, supplier(PaymentKind::Cash)),
         "تاريخ الصلاحية فى السطر 2 غير صحيح", "Attention", "totals "},
        {"a quantity with no item", kRetail, document(3, {{".", 2, 5}}, retail),
         "السطر 1 له كمية بدون صنف", "Attention", "totals "},
        {"stock beyond its range", kRetail, document(3, {{"bolt", 32767, 0}}, retail),
         "لا يمكن ترحيل السطر 1 (bolt): كمية المخزن", "Attention", "totals "},
        {"a choice not seen", kWholesale,
         document(3, {{"bolt", 1, 5}}, unseen(customer(PaymentKind::Cash))), "frame hidden",
         "Attention", "totals "},
        {"no kind chosen", kWholesale, document(3, {{"bolt", 1, 5}}, customer(std::nullopt)),
         " لم تقم بأختيار نوعية السداد", "", "totals "},
        {"credit to no one", kWholesale, document(3, {{"bolt", 1, 5}}, customer(PaymentKind::Credit, ".")),
         kBuyers.noPartner, "Attention", "totals "},
        {"a part payment to an unlisted supplier asks nothing", kIncoming,
         document(3, {{"bolt", 1, 5}}, supplier(PaymentKind::Part, "Nobody")), "المورد Nobody",
         "Attention", "totals "},
        {"a part payment cancelled", kWholesale,
         document(3, {{"bolt", 1, 5}}, customer(PaymentKind::Part)), "", "", "totals paid ", ""},
        {"a part payment not a number", kWholesale,
         document(3, {{"bolt", 1, 5}}, customer(PaymentKind::Part)),
         "المبلغ المدفوع يجب أن يكون رقما", "Attention", "totals paid ", "five"},
        {"a part payment beyond 1e12", kWholesale,
         document(3, {{"bolt", 1, 5}}, customer(PaymentKind::Part)),
         beyondLimit("المبلغ المدفوع"), "Attention", "totals paid ", "2e12"},
    };
    const std::string before = s.books();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Stock out of its range: the bolt's stock at the bottom of 32 bits.
        if (std::string(c.what) == "stock beyond its range")
            h.exec("UPDATE G1 SET ONSTOCK=-2147483000 WHERE \"DESC\"='bolt'");
        const InvoiceOutcome out = s.post(c.book, c.doc, c.paid);
        h.exec("UPDATE G1 SET ONSTOCK=10 WHERE \"DESC\"='bolt'");
        EXPECT_FALSE(out.posted);
        EXPECT_EQ(out.refusal.text.rfind(c.says, 0), 0u) << out.refusal.text;
        EXPECT_EQ(out.refusal.title, c.title);
        EXPECT_EQ(s.said, c.steps);
        EXPECT_EQ(out.totalsShown, !c.steps.empty());
        EXPECT_EQ(s.books(), before);
    }
    // A row the window cannot store is refused last, s.said by the window.
    s.fits = false;
    const InvoiceOutcome out = s.post(kRetail, document(3, {{"bolt", 1, 5}}, retail));
    EXPECT_FALSE(out.posted);
    EXPECT_EQ(out.refusal.text, "");
    EXPECT_EQ(s.books(), before);
}

// Each write of each kind of posting fails in turn, half way: every table
// stays as it was; once writes succeed again the same document posts what
// one clean call posts.
TEST(InvoicePosting, EveryPostingFailingHalfWayLeavesAllAsBeforeAndItsRetryPostsOnce) {
    struct Kind {
        const char* what;
        const InvoiceBook& book;
        InvoiceDocument doc;
        std::string paid;
        std::vector<std::string> writes;
    };
    const std::vector<Kind> kinds = {
        {"retail", kRetail, document(3, {{"bolt", 2, 5}}, cash(CashFlow::In, "OUT_INVOICE")), "",
         {"INSERT ON SALES_INVOICE", "UPDATE ON G1", "UPDATE ON DAILY_TRADE", "INSERT ON BOX",
          "UPDATE OF STATUS_SUB ON SALES_INVOICE"}},
        {"wholesale, part paid", kWholesale, document(3, {{"nut", 2, 2}}, customer(PaymentKind::Part)),
         "1", {"UPDATE ON BUYER", "INSERT ON BOX", "UPDATE OF STATUS_SUB ON SALES_INVO_GROUP"}},
        {"return", kReturns, document(3, {{"bolt", 1, 3}}, cash(CashFlow::Out, "RETURN_INV")), "",
         {"UPDATE ON G1", "INSERT ON BOX", "INSERT ON RETURN_INVOICE"}},
        {"incoming, part paid", kIncoming, document(3, {{"bolt", 4, 2}}, supplier(PaymentKind::Part)),
         "3", {"UPDATE ON G1", "UPDATE ON DAILY_TRADE", "INSERT ON BOX", "UPDATE ON SUPPLIER"}},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.what);
        Shop clean;
        const std::string unposted = clean.books();
        ASSERT_TRUE(clean.post(k.book, k.doc, k.paid).posted);
        const std::string posted = clean.books();
        ASSERT_NE(posted, unposted);

        Shop failing;
        for (const std::string& writes : k.writes) {
            fail(failing.h, writes);
            EXPECT_THROW(failing.post(k.book, k.doc, k.paid), RuntimeError) << writes;
            EXPECT_EQ(failing.books(), unposted) << writes;
            succeed(failing.h);
        }
        ASSERT_TRUE(failing.post(k.book, k.doc, k.paid).posted);
        EXPECT_EQ(failing.books(), posted);
    }
}

TEST(InvoicePosting, NumbersAreTheBooksOwnAndANumberStoredMeanwhileFailsTheWrite) {
    Shop s;
    Harness& h = s.h;
    EXPECT_EQ(lastNumber(h.db(), "SALES_INVOICE"), 2);  // an empty book starts from 2
    h.exec("INSERT INTO SALES_INVOICE (INVO_NO, STATUS_SUB) VALUES (9, 1), (4, 0), (4, 0)");
    EXPECT_EQ(lastNumber(h.db(), "SALES_INVOICE"), 9);
    EXPECT_EQ(lastNumber(h.db(), "REVEIVED_MONEY"), 2);
    for (double bad : {0.0, -1.0, 2.5, 2147483648.0}) EXPECT_FALSE(validNumber(bad)) << bad;
    EXPECT_FALSE(validNumber(std::nullopt));
    EXPECT_TRUE(validNumber(2147483647.0));
    EXPECT_EQ(numberHolder(h.db(), "SALES_INVOICE", 9), NumberHolder::Posted);
    EXPECT_EQ(numberHolder(h.db(), "SALES_INVOICE", 4), NumberHolder::Saved);
    EXPECT_EQ(numberHolder(h.db(), "SALES_INVOICE", 4, 4), NumberHolder::Saved);  // twice held
    EXPECT_EQ(numberHolder(h.db(), "SALES_INVOICE", 9, 9), NumberHolder::None);
    h.exec("INSERT INTO REVEIVED_MONEY (INVO_NO) VALUES (7)");  // a book that posts no flag
    EXPECT_EQ(numberHolder(h.db(), "REVEIVED_MONEY", 7), NumberHolder::Saved);

    // An edit keeps its own number, unless it was posted: then it is not
    // checked at all.
    const InvoiceDocument edited = document(9, {{"bolt", 1, 5}}, {});
    EXPECT_TRUE(checkEditedInvoice(h.db(), kRetail, edited, 9, false).invoice);
    EXPECT_EQ(checkEditedInvoice(h.db(), kRetail, edited, 4, false).refusal.text, kRetail.postedText);
    EXPECT_TRUE(checkEditedInvoice(h.db(), kRetail, document(4, {}, {}), 0, true).invoice);

    // Another writer stores the number between the checks and the write
    // (its own commit, made as the window is asked whether its row fits):
    // the claim inside the write transaction refuses it, nothing is stored.
    const std::string before = s.books();
    long number = 0;
    try {
        h.machine.action([&] {
            Recordset row(h.db(), "SALES_INVOICE");
            row.addNew();
            row.setField("INVO_NO", Value(10));
            postInvoice(h.db(), row, kRetail, document(10, {{"bolt", 1, 5}}, cash(CashFlow::In, "OUT_INVOICE")),
                        {.showTotals = [](const Invoice&) {},
                         .askPaidNow = [] { return std::string(); },
                         .rowFits =
                             [&] {
                                 h.exec("INSERT INTO SALES_INVOICE (INVO_NO) VALUES (10)");
                                 return true;
                             }});
        });
    } catch (const RuntimeError& e) {
        number = e.number();
    }
    EXPECT_EQ(number, err::DuplicateKey);
    // The other writer's row alone is stored.
    EXPECT_EQ(col(h, "SALES_INVOICE", "INVO_NO"), "9|4|4|10");
    h.exec("DELETE FROM SALES_INVOICE WHERE INVO_NO=10");
    EXPECT_EQ(s.books(), before);
}

}  // namespace
}  // namespace mk
