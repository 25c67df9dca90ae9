// Money postings: what a document moves in the cash box ledger BOX (one
// appended row per movement, each carrying the balance after it) and in
// its partner's balance (MONEY of BUYER, what a customer owes, or of
// SUPPLIER, what the company owes a supplier). Every window that moves
// money posts through here, beside the stock postings of
// ledger/stock_posting.h.
//
// A posting is planned first and written after, in the same user action:
// planPayment checks everything and works out every new value from the
// rows as stored at that moment, so a refusal writes nothing; applyPayment
// writes the plan. Invariants:
// - a plan is applied in the action that made it, with no question asked
//   in between (questions whose answer goes into the plan come first);
// - a credit, part or settling payment names a partner listed by exactly
//   that name, and only the first row of the name is changed;
// - no amount, and no balance a posting leaves (the cash box's or the
//   partner's), is beyond 1e12 in size or not finite; no amount is
//   negative;
// - balances are exact doubles; the cash box row takes its balance from
//   the ledger's true last row, whichever window appended it.
#pragma once

#include <optional>
#include <string>

#include "platform/recordset.h"

namespace mk {

enum class CashFlow { In, Out };

// How a document is paid.
enum class PaymentKind {
    Cash,    // the total moves cash; no balance changes
    Credit,  // the total goes onto the partner's balance; no cash moves
    Part,    // the amount paid now moves cash, the rest goes onto the balance
    Settle,  // the total moves cash and comes off the partner's balance
};

// A table of partners and how the messages name one.
struct PartnerTable {
    const char* table;      // "SUPPLIER"
    const char* nameField;  // "SALES_MAN"
    const char* noPartner;  // said when a payment that needs one names none
    const char* unknownBefore;  // said around a name no row carries
    const char* unknownAfter;
};

extern const PartnerTable kBuyers;
extern const PartnerTable kSuppliers;

struct Payment {
    const PartnerTable* partners = nullptr;  // null: the document has no partner
    std::string partner{};  // the name the document stores ("" or ".": none)
    PaymentKind kind = PaymentKind::Cash;
    double total = 0;
    double paidNow = 0;  // part payments only
    CashFlow flow = CashFlow::In;
    // The cash box row: its reference column (OUT_INVOICE, RETURN_INV,
    // RECEIVED_INV, IN_INVOICE, OUT_INV or emplyee_name), the document's
    // number or the employee's name, and the date.
    std::string referenceField{};
    Value reference{};
    Value date{};
    // How messages name the amounts.
    const char* totalCaption = "إجمالى الفاتورة";
    const char* paidCaption = "المبلغ المدفوع";
};

// What a payment writes, worked out before anything is written.
struct PaymentPlan {
    Payment payment{};
    bool cashRow = false;   // a cash box row is appended
    double cash = 0;        // its amount
    long long partnerRow = 0;  // the partner row written (rowid), 0: none
    double balanceChange = 0;  // added to the partner's balance
    double balance = 0;        // the partner's balance after the posting
    // The row values as the cash box stores them.
    Value date{};
    Value reference{};
    // Why the payment cannot be made ("" when it can).
    std::string problem{};
    bool ok() const { return problem.empty(); }
};

// Whether a payment of this kind needs a partner.
bool needsPartner(PaymentKind kind);

// Whether some row carries exactly that name.
bool partnerListed(Database& db, const PartnerTable& partners, const std::string& name);

// Why a partner text cannot stand on a document, or nullopt: a given name
// ("" and "." give none) must be listed, and a payment that needs a
// partner must give one.
std::optional<std::string> partnerProblem(Database& db, const PartnerTable& partners,
                                          const std::string& name, bool required);

// MONEY of the ledger's last row as stored now; 0 for an empty ledger.
double cashBalance(Database& db);

PaymentPlan planPayment(Database& db, const Payment& payment);

// Writes a plan made in this same action; a refused plan is not written.
// The balances are read again inside the action's write transaction, so
// what is written rests on what is stored at the commit, whatever another
// writer stored since the plan; a payment they refuse fails, telling why.
void applyPayment(Database& db, const PaymentPlan& plan);

// A row paid by one payment (a voucher, a wage), posted once: a row being
// added (its typed number given) is stored first, the number claimed in
// INVO_NO inside the write; then the plan is written and the row's posted
// flag set, all in the running action.
void postPaidRow(Database& db, Recordset& row, const PaymentPlan& plan,
                 const std::string& postedField, std::optional<double> newNumber = std::nullopt);

}  // namespace mk
