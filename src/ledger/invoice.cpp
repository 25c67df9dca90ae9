#include "ledger/invoice.h"

#include <cmath>
#include <set>

#include "ledger/amounts.h"
#include "ledger/numbering.h"

namespace mk {

namespace {

constexpr int kPostedSlots = 31;

constexpr const char* kNoteTitle = "ملحوظة";
constexpr const char* kAttention = "Attention";
constexpr const char* kNoGroup = "لم يتم إختيار مجموعة الأصناف، إختر مجموعة من القائمة أولا";
constexpr const char* kSlot32 = "السطر 32 لا يرحل إلى المخزن، أفرغه ثم أعد الحفظ";
constexpr const char* kTotalTooHigh = "إجمالى الفاتورة أكبر من 32767 ولا يمكن حفظها";
constexpr const char* kNoPayment = " لم تقم بأختيار نوعية السداد ارجع و وقم بالإختيار ";
constexpr const char* kPaidNotNumber = "المبلغ المدفوع يجب أن يكون رقما لا يقل عن صفر";

std::string inLine(const char* what, int slot) {
    return std::string(what) + " فى السطر " + std::to_string(slot);
}

std::string quantityProblem(int slot) {
    return inLine("الكمية", slot) + " يجب أن تكون عددا صحيحا من 0 إلى 32767";
}

std::string priceProblem(int slot) {
    return inLine("السعر", slot) + " يجب أن يكون رقما لا يقل عن صفر";
}

std::string notInGroup(int slot) {
    return "الصنف فى السطر " + std::to_string(slot) + " ليس فى مجموعة الأصناف المختارة";
}

std::string noItem(int slot) {
    return "السطر " + std::to_string(slot) + " له كمية بدون صنف، أختر الصنف أو أجعل الكمية صفرا";
}

std::string badDate(int slot) {
    return "تاريخ الصلاحية فى السطر " + std::to_string(slot) + " غير صحيح";
}

bool namesItem(const std::string& item) { return item != "." && !item.empty(); }

InvoiceCheck refused(std::string text, std::string title) {
    return {.invoice = std::nullopt, .refusal = {std::move(text), std::move(title)}};
}

// Why the book cannot take the number ("" text: it can).
std::optional<Refusal> numberRefusal(Database& db, const InvoiceBook& book,
                                     const std::optional<double>& number,
                                     std::optional<int32_t> own) {
    if (!validNumber(number)) return Refusal{kBadInvoiceNumber, kAttention};
    switch (numberHolder(db, book.table, static_cast<int32_t>(*number), own)) {
        case NumberHolder::None: return std::nullopt;
        case NumberHolder::Posted: return Refusal{book.postedText, book.postedTitle};
        case NumberHolder::Saved: break;
    }
    return Refusal{kInvoiceNumberHeld, kAttention};
}

}  // namespace

InvoiceCheck totalLines(const InvoiceBook& book, const std::vector<TypedLine>& lines) {
    Invoice inv;
    for (size_t i = 0; i < lines.size(); ++i) {
        const TypedLine& typed = lines[i];
        InvoiceLine line{.slot = static_cast<int>(i) + 1, .item = typed.item};
        const auto& q = typed.quantity;
        if (!q || *q < 0 || *q > 32767 || std::floor(*q) != *q)
            return refused(quantityProblem(line.slot), kAttention);
        const auto& p = typed.price;
        if (!p || *p < 0) return refused(priceProblem(line.slot), kAttention);
        if (*p > kLargestAmount) return refused(beyondLimit(inLine("السعر", line.slot)), kAttention);
        line.quantity = *q;
        line.price = *p;
        inv.total += line.sum();
        if (book.wholeTotal) {
            inv.total = std::nearbyint(inv.total);  // half to even
            if (inv.total > 32767) return refused(kTotalTooHigh, kAttention);
        }
        inv.lines.push_back(std::move(line));
    }
    // Every line sum is at most the total.
    if (inv.total > kLargestAmount)
        return refused(beyondLimit("إجمالى الفاتورة") + " ولا يمكن حفظها", kAttention);
    return {.invoice = std::move(inv), .refusal = {}};
}

InvoiceCheck checkEditedInvoice(Database& db, const InvoiceBook& book, const InvoiceDocument& doc,
                                int32_t ownNumber, bool posted) {
    // A posted invoice keeps what it posted, its number among it.
    if (!posted)
        if (auto why = numberRefusal(db, book, doc.number, ownNumber))
            return {.invoice = std::nullopt, .refusal = std::move(*why)};
    return totalLines(book, doc.lines);
}

PaymentOutcome planChosenPayment(Database& db, const PaymentChoice& choice, double total,
                                 const Value& reference, const Value& date,
                                 const AskPaidNow& askPaidNow) {
    auto refused = [](std::string text, std::string title = kAttention) {
        return PaymentOutcome{.plan = std::nullopt, .refusal = {std::move(text), std::move(title)}};
    };
    if (!choice.kind) return refused(kNoPayment, "");
    Payment payment{.partners = choice.partners,
                    .partner = choice.partner,
                    .kind = *choice.kind,
                    .total = total,
                    .flow = choice.flow,
                    .referenceField = choice.referenceField,
                    .reference = reference,
                    .date = date};
    // The partner first: no amount is asked for a payment that cannot be made.
    if (payment.partners)
        if (auto why = partnerProblem(db, *payment.partners, payment.partner,
                                      needsPartner(payment.kind)))
            return refused(*why);
    if (payment.kind == PaymentKind::Part) {
        const std::string typed = askPaidNow();
        if (typed.empty()) return refused("", "");
        const auto amount = parseNumber(typed);
        if (!amount) return refused(kPaidNotNumber);
        payment.paidNow = *amount;
    }
    PaymentPlan plan = planPayment(db, payment);
    if (!plan.ok()) return refused(plan.problem);
    return {.plan = std::move(plan), .refusal = {}};
}

InvoiceOutcome postInvoice(Database& db, Recordset& row, const InvoiceBook& book,
                           const InvoiceDocument& doc, const PostingSteps& steps) {
    InvoiceOutcome out;
    auto refuse = [&out](std::string text, std::string title = kAttention) {
        out.refusal = {std::move(text), std::move(title)};
        return out;
    };
    // Every check first: a refusal leaves the document open as it was.
    if (doc.group.empty()) return refuse(kNoGroup, kNoteTitle);
    if (!groupListed(db, doc.group))
        return refuse(kUnknownGroupMessage, kNoteTitle);
    if (auto why = numberRefusal(db, book, doc.number, std::nullopt))
        return refuse(why->text, why->title);
    InvoiceCheck check = totalLines(book, doc.lines);
    if (!check.invoice) return refuse(check.refusal.text, check.refusal.title);
    Invoice inv = std::move(*check.invoice);
    inv.number = static_cast<int32_t>(*doc.number);
    inv.group = doc.group;
    const InvoiceLine& last = inv.lines.back();
    if (last.slot > kPostedSlots && (last.quantity != 0 || namesItem(last.item)))
        return refuse(kSlot32);
    std::set<std::string> named;
    for (const InvoiceLine& l : inv.lines)
        if (namesItem(l.item)) named.insert(l.item);
    const auto listed = itemValues(db, inv.group, "DESC", named);
    for (const InvoiceLine& l : inv.lines)
        if (named.count(l.item) && !listed.count(l.item)) return refuse(notInGroup(l.slot));

    // The sums and the total show before any question about the money.
    steps.showTotals(inv);
    out.totalsShown = true;
    if (book.lineDates)
        for (size_t i = 0; i < doc.lines.size(); ++i)
            if (!doc.lines[i].dateOk) return refuse(badDate(static_cast<int>(i) + 1));
    // A line's money goes with its stock: a line whose item was cleared
    // after it was priced would be paid for and move nothing.
    for (const InvoiceLine& l : inv.lines)
        if (l.quantity != 0 && !namesItem(l.item)) return refuse(noItem(l.slot));
    std::vector<StockLine> stockLines;
    for (const InvoiceLine& l : inv.lines)
        if (l.slot <= kPostedSlots) stockLines.push_back({l.slot, l.item, l.quantity, l.price});
    StockPlan stock = planStock(db, inv.group, book.flow, stockLines);
    if (!stock.ok()) return refuse(stock.problem);
    if (!doc.payment.unseen.empty()) return refuse(doc.payment.unseen);
    PaymentOutcome payment = planChosenPayment(db, doc.payment, inv.total, Value::i32(inv.number),
                                               doc.date, steps.askPaidNow);
    if (!payment.plan) return refuse(payment.refusal.text, payment.refusal.title);
    if (!steps.rowFits()) return refuse("", "");

    claimNumber(db, book.table, "INVO_NO", inv.number);
    row.update();
    // The row just stored is posted by its own stored number.
    inv.number = toInt32(row.field("INVO_NO"));
    applyStock(db, stock);
    applyPayment(db, *payment.plan);
    row.setField("STATUS_SUB", true);
    row.update();
    out.posted = PostedInvoice{std::move(inv), std::move(stock), std::move(*payment.plan)};
    return out;
}

}  // namespace mk
