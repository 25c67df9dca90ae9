// Partner balances: MONEY of SUPPLIER (what the company owes a supplier)
// and of BUYER (what a customer owes). A posting finds the partner's first
// row of exactly that name as stored at that moment, so a balance typed in
// another window since this one opened is built on, never overwritten.
#pragma once

#include <string>

namespace mk {

class Database;

struct PartnerTable {
    const char* table;      // "SUPPLIER"
    const char* nameField;  // "SALES_MAN"
};

inline constexpr PartnerTable kSuppliers{"SUPPLIER", "SALES_MAN"};
inline constexpr PartnerTable kBuyers{"BUYER", "BUYER"};

// Whether some row carries exactly that name.
bool partnerListed(Database& db, const PartnerTable& partners, const std::string& name);

// Adds amount (any sign) to MONEY of the first row of that name; a Null
// balance counts as 0. Returns false, writing nothing, when no row has it.
bool addToBalance(Database& db, const PartnerTable& partners, const std::string& name,
                  double amount);

}  // namespace mk
