// The cash box ledger BOX: one appended row per movement of cash, each
// carrying the balance after it. Every window that moves cash posts through
// postCash, on its own data control on BOX.
#pragma once

#include <string>

#include "platform/application.h"

namespace mk {

enum class CashFlow { In, Out };

struct CashPosting {
    CashFlow flow = CashFlow::In;
    Value amount;                // a number, or the text of an amount box
    Value date;                  // the document date, as a date or its text
    std::string referenceField;  // OUT_INVOICE, SMALL_INV, RETURN_INV, RECEIVED_INV,
                                 // IN_INVOICE, OUT_INV or emplyee_name
    Value reference;             // the document's number, or the employee's name
};

// MONEY of the ledger's last row as stored at this moment; 0 for an empty
// ledger.
double cashBalance(Database& db);

// Appends one row through the given data control on BOX: the previous
// balance is read from the ledger's true last row, whichever window added
// it. The control stands on the new row afterwards. Returns the new balance.
double postCash(Adodc& box, const CashPosting& posting);
double postCash(Recordset& box, const CashPosting& posting);

}  // namespace mk
