#include "ledger/money_posting.h"

#include <cmath>

#include "ledger/amounts.h"
#include "ledger/numbering.h"
#include "platform/failure.h"

namespace mk {

const PartnerTable kBuyers{.table = "BUYER",
                           .nameField = "BUYER",
                           .noPartner = "يجب إختيار العميل من القائمة أولا",
                           .unknownBefore = "العميل ",
                           .unknownAfter = " غير موجود فى جدول العملاء، إختر العميل من القائمة"};
const PartnerTable kSuppliers{.table = "SUPPLIER",
                              .nameField = "SALES_MAN",
                              .noPartner = "يجب إختيار المورد من القائمة أولا",
                              .unknownBefore = "المورد ",
                              .unknownAfter =
                                  " غير موجود فى جدول الموردين، إختر المورد من القائمة"};

namespace {

// The partner's first row of that name: its rowid and balance (a Null
// balance counts 0).
std::optional<std::pair<long long, double>> firstRow(Database& db, const PartnerTable& partners,
                                                     const std::string& name) {
    auto st = db.prepare("SELECT rowid, MONEY FROM " + quoteName(partners.table) + " WHERE " +
                         quoteName(partners.nameField) + "=?1 ORDER BY rowid LIMIT 1");
    st->bindText(1, name);
    if (!st->step()) return std::nullopt;
    return std::pair{st->columnInt(0), toDouble(st->column(1, FieldType::Double))};
}

bool namesNone(const std::string& name) { return name.empty() || name == "."; }

// A typed name as a message shows it: no control characters, and a name
// longer than any partner's cut short.
std::string shownName(const std::string& name) {
    constexpr size_t kShown = 60;
    std::string out;
    size_t chars = 0;
    for (unsigned char c : name) {
        if ((c & 0xC0) != 0x80 && ++chars > kShown) return out + "...";
        out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
    }
    return out;
}

// The cash a payment moves and what it adds to the partner's balance.
double cashOf(const Payment& p) {
    switch (p.kind) {
        case PaymentKind::Cash:
        case PaymentKind::Settle: return p.total;
        case PaymentKind::Part: return p.paidNow;
        case PaymentKind::Credit: return 0;
    }
    return 0;
}

double balanceChangeOf(const Payment& p) {
    switch (p.kind) {
        case PaymentKind::Credit: return p.total;
        case PaymentKind::Part: return p.total - p.paidNow;  // more paid lowers the balance
        case PaymentKind::Settle: return -p.total;
        case PaymentKind::Cash: return 0;
    }
    return 0;
}

const FieldInfo& boxField(Database& db, const std::string& name) {
    const TableInfo& info = db.tableInfo("BOX");
    const int i = info.fieldIndex(name);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "'" + name + "' is not a field of BOX.");
    return info.fields[static_cast<size_t>(i)];
}

// The amount column of a movement.
const char* amountField(CashFlow flow) { return flow == CashFlow::In ? "MONEY_RECIVED" : "MONEY_OUT"; }

}  // namespace

bool needsPartner(PaymentKind kind) { return kind != PaymentKind::Cash; }

bool partnerListed(Database& db, const PartnerTable& partners, const std::string& name) {
    return firstRow(db, partners, name).has_value();
}

std::optional<std::string> partnerProblem(Database& db, const PartnerTable& partners,
                                          const std::string& name, bool required) {
    if (namesNone(name)) {
        if (required) return std::string(partners.noPartner);
        return std::nullopt;
    }
    if (!partnerListed(db, partners, name))
        return partners.unknownBefore + shownName(name) + partners.unknownAfter;
    return std::nullopt;
}

double cashBalance(Database& db) {
    auto st = db.prepare("SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1");
    return st->step() ? toDouble(st->column(0, FieldType::Double)) : 0.0;
}

PaymentPlan planPayment(Database& db, const Payment& payment) {
    PaymentPlan plan{.payment = payment};
    const Payment& p = plan.payment;
    auto refused = [&plan](std::string why) {
        plan.problem = std::move(why);
        return plan;
    };
    if (auto why = amountProblem(p.total, p.totalCaption)) return refused(*why);
    if (p.kind == PaymentKind::Part)
        if (auto why = amountProblem(p.paidNow, p.paidCaption)) return refused(*why);
    if (p.partners)
        if (auto why = partnerProblem(db, *p.partners, p.partner, needsPartner(p.kind)))
            return refused(*why);
    if (!p.partners && needsPartner(p.kind))
        throw RuntimeError(err::DatabaseError, "A payment on a balance needs a partner table.");

    plan.cashRow = p.kind != PaymentKind::Credit;
    plan.cash = cashOf(p);
    if (plan.cashRow) {
        const double before = cashBalance(db);
        if (!withinLimit(p.flow == CashFlow::In ? before + plan.cash : before - plan.cash))
            return refused(beyondLimit("رصيد الصندوق بعد الترحيل"));
        try {
            plan.date = convertForField(boxField(db, "DATE"), p.date);
            plan.reference = convertForField(boxField(db, p.referenceField), p.reference);
        } catch (const RuntimeError& e) {
            return refused(failureMessage(e));
        }
    }
    if (needsPartner(p.kind)) {
        const auto row = firstRow(db, *p.partners, p.partner);
        plan.partnerRow = row->first;
        plan.balanceChange = balanceChangeOf(p);
        plan.balance = row->second + plan.balanceChange;
        if (!withinLimit(plan.balance))
            return refused(beyondLimit("رصيد " + p.partner + " بعد الترحيل"));
    }
    return plan;
}

namespace {

void appendCashRow(Database& db, const PaymentPlan& plan) {
    const Payment& p = plan.payment;
    // The balance of the ledger's true last row, read as it posts.
    const double before = cashBalance(db);
    const double after = p.flow == CashFlow::In ? before + plan.cash : before - plan.cash;
    const FieldInfo& reference = boxField(db, p.referenceField);
    db.beginWrite();
    auto st = db.prepare("INSERT INTO BOX (MONEY, " + quoteName(amountField(p.flow)) +
                         ", " + quoteName("DATE") + ", " + quoteName(reference.name) +
                         ") VALUES (?1, ?2, ?3, ?4)");
    st->bind(1, Value(after), FieldType::Double);
    st->bind(2, Value(plan.cash), FieldType::Double);
    st->bind(3, plan.date, FieldType::Date);
    st->bind(4, plan.reference, reference.type);
    st->step();
}

void writeBalance(Database& db, const PaymentPlan& plan) {
    const PartnerTable& partners = *plan.payment.partners;
    db.beginWrite();
    auto st = db.prepare("UPDATE " + quoteName(partners.table) + " SET MONEY=?1 WHERE rowid=?2");
    st->bind(1, Value(plan.balance), FieldType::Double);
    st->bindInt(2, plan.partnerRow);
    st->step();
    if (db.changes() != 1)
        throw RuntimeError(err::RowChanged, "The row of " + plan.payment.partner +
                                                " to post to was deleted in another window.");
}

}  // namespace

void applyPayment(Database& db, const PaymentPlan& planned) {
    if (!planned.ok()) throw RuntimeError::told(err::Overflow, planned.problem);
    db.beginWrite();
    const PaymentPlan plan = planPayment(db, planned.payment);
    if (!plan.ok()) throw RuntimeError::told(err::Overflow, plan.problem);
    if (plan.cashRow) appendCashRow(db, plan);
    if (plan.partnerRow != 0) writeBalance(db, plan);
}

void postPaidRow(Database& db, Recordset& row, const PaymentPlan& plan,
                 const std::string& postedField, std::optional<double> newNumber) {
    if (newNumber) {
        claimNumber(db, row.tableName(), "INVO_NO", *newNumber);
        row.update();
    }
    applyPayment(db, plan);
    row.setField(postedField, true);
    row.update();
}

}  // namespace mk
