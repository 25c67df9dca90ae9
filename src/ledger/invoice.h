// An invoice posted by one call. A window reads what the user typed into
// an InvoiceDocument once (its number, group, lines and payment as typed)
// and hands it to postInvoice, which checks it, works out its line sums
// and total, plans its stock and money postings and, once nothing
// refuses, stores the invoice row and writes both plans in the running
// action. A refusal comes back with what to say; nothing is written.
//
// The checks, in the order a user is told of them: the group (chosen,
// listed, with a table), the number (whole, 1..2147483647, held by no
// other invoice; a posted holder is said in the book's own words), each
// line (a whole quantity 0..32767, a price 0..1e12), the total (1e12; a
// whole total 32767), slot 32 empty, every named item in the group. Then
// the sums are shown (the window's showTotals) and the posting planned:
// the lines' dates (a book that checks them), no quantity without an item,
// the stock of slots 1..31, the payment (its choice seen and made, its
// partner listed, a part payment's amount asked and checked, the balances
// it leaves). The row is stored by its data control's recordset, and the
// postings are made by its stored number.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/money_posting.h"
#include "ledger/stock_posting.h"
#include "platform/recordset.h"

namespace mk {

// Why a save or posting was refused: what to say and its title. An empty
// text says nothing (the user cancelled a question, or was told already).
struct Refusal {
    std::string text;
    std::string title;
};

// A book of invoices: one invoice table, how its lines move stock, and the
// words its refusals use.
struct InvoiceBook {
    std::string table;
    StockFlow flow = StockFlow::Out;
    // The total is a 16-bit whole number, rounded half to even after each
    // line.
    bool wholeTotal = false;
    // Each line's date box must be empty or hold a date.
    bool lineDates = false;
    std::string postedText;  // a number held by a posted invoice
    std::string postedTitle;
};

// A line as typed: its boxes turned into numbers (nullopt: not a number;
// an empty box counts 0).
struct TypedLine {
    std::string item{};
    std::optional<double> quantity = 0.0;
    std::optional<double> price = 0.0;
    bool dateOk = true;  // the date box is empty or holds a date
};

// How the user chose to pay.
struct PaymentChoice {
    std::optional<PaymentKind> kind{};  // nullopt: none chosen
    // Why the choice cannot be seen on the window ("": it can).
    std::string unseen{};
    const PartnerTable* partners = nullptr;  // null: no partner
    std::string partner{};
    CashFlow flow = CashFlow::In;
    std::string referenceField{};  // the cash box column naming the document
};

struct InvoiceDocument {
    std::optional<double> number{};  // as typed
    std::string group{};
    std::vector<TypedLine> lines{};  // slot n is lines[n - 1]; 32 slots
    Value date{};                    // the document date, of the cash box row
    PaymentChoice payment{};
};

// A line as checked.
struct InvoiceLine {
    int slot = 0;
    std::string item{};
    double quantity = 0;
    double price = 0;
    double sum() const { return quantity * price; }
};

struct Invoice {
    int32_t number = 0;  // the stored row's own number once posted
    std::string group;
    std::vector<InvoiceLine> lines;
    double total = 0;
};

// What a posting wrote: the invoice and both plans.
struct PostedInvoice {
    Invoice invoice;
    StockPlan stock;
    PaymentPlan payment;
};

// The lines and total of a document, or why they cannot be taken.
struct InvoiceCheck {
    std::optional<Invoice> invoice;
    Refusal refusal;
};

// The lines as checked and summed, lines in slot order (slot 32 is not
// checked to be empty here).
InvoiceCheck totalLines(const InvoiceBook& book, const std::vector<TypedLine>& lines);

// The checks of an edited invoice's save: its number, unless it was posted
// (it keeps its own), then its lines.
InvoiceCheck checkEditedInvoice(Database& db, const InvoiceBook& book, const InvoiceDocument& doc,
                                int32_t ownNumber, bool posted);

// Asks the amount paid now of a part payment: the text typed, "" when the
// user cancels.
using AskPaidNow = std::function<std::string()>;

// A payment by the user's choice, planned: the kind chosen, the partner
// listed, a part payment's amount asked (only then) and checked, then
// every amount and balance. On refusal the plan's problem is what to say.
struct PaymentOutcome {
    std::optional<PaymentPlan> plan;
    Refusal refusal;
};
PaymentOutcome planChosenPayment(Database& db, const PaymentChoice& choice, double total,
                                 const Value& reference, const Value& date,
                                 const AskPaidNow& askPaidNow);

// What postInvoice asks of the window as it goes.
struct PostingSteps {
    // The sums and the total shown, before any question about the money.
    std::function<void(const Invoice&)> showTotals;
    AskPaidNow askPaidNow;
    // Whether the window's typed row can be stored (said why when not).
    std::function<bool()> rowFits;
};

struct InvoiceOutcome {
    std::optional<PostedInvoice> posted;  // stored and posted
    Refusal refusal;
    bool totalsShown = false;  // the window showed the sums before the refusal
};

// Checks and plans the document, then stores the row being added (its
// bound boxes as typed) with its sums, and posts it, marking it posted.
// A write that fails throws: the action rolls back.
InvoiceOutcome postInvoice(Database& db, Recordset& row, const InvoiceBook& book,
                           const InvoiceDocument& doc, const PostingSteps& steps);

}  // namespace mk
