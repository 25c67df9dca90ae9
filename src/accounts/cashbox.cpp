#include "accounts/cashbox.h"

#include <array>
#include <string_view>

namespace mk {

namespace {

constexpr std::array<std::string_view, 7> kReferenceFields = {
    "OUT_INVOICE", "SMALL_INV", "RETURN_INV", "RECEIVED_INV", "IN_INVOICE", "OUT_INV",
    "emplyee_name"};

bool isReferenceField(const std::string& name) {
    for (std::string_view f : kReferenceFields)
        if (namesEqual(f, name)) return true;
    return false;
}

}  // namespace

double cashBalance(Database& db) {
    // A snapshot of its own: the posting window's control may have been
    // opened before other windows appended.
    Recordset ledger(db, "BOX");
    ledger.moveLast();
    return ledger.eof() ? 0.0 : toDouble(ledger.field("MONEY"));
}

double postCash(Adodc& box, const CashPosting& posting) { return postCash(box.recordset(), posting); }

double postCash(Recordset& box, const CashPosting& posting) {
    if (!namesEqual(box.tableName(), "BOX"))
        throw RuntimeError(err::DatabaseError,
                           "A cash box posting needs a data control on BOX, not " +
                               box.tableName() + ".");
    if (!isReferenceField(posting.referenceField))
        throw RuntimeError(err::FieldNotFound,
                           "'" + posting.referenceField + "' is not a reference field of BOX.");
    // Everything that can fail on the input fails before the row is added.
    const double amount = toDouble(posting.amount);
    box.moveLast();
    const double previous = cashBalance(box.database());
    const double balance = posting.flow == CashFlow::In ? previous + amount : previous - amount;

    box.addNew();
    box.setField("MONEY", balance);
    box.setField(posting.flow == CashFlow::In ? "MONEY_RECIVED" : "MONEY_OUT", posting.amount);
    box.setField("DATE", posting.date);
    box.setField(posting.referenceField, posting.reference);
    box.update();
    return balance;
}

}  // namespace mk
