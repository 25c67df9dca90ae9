// Document numbers: every book of documents (invoices, vouchers) numbers
// them in its INVO_NO field, whole numbers 1..2147483647. A new document
// takes the book's last number plus one, the last number being the
// greatest stored and at least 2. A number held by another document is
// refused; the save claims its number inside its write transaction, so no
// other writer stores it between the check and the commit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/database.h"

namespace mk {

inline constexpr int32_t kLastDocumentNumber = 2147483647;

// What an invoice window says of a number it cannot take.
extern const char* const kBadInvoiceNumber;
extern const char* const kInvoiceNumberHeld;
extern const char* const kInvoiceNumbersUsedUp;

// The greatest number of the book, but at least 2, as stored now.
int32_t lastNumber(Database& db, const std::string& table);

// A whole number 1..2147483647.
bool validNumber(const std::optional<double>& number);

// Who holds a number in a book: no document, a saved one, a posted one
// (STATUS_SUB; a book without that field holds no posted document).
enum class NumberHolder { None, Saved, Posted };
// The first document of that number, passing over the document's own
// stored number once (a document being edited keeps its number).
NumberHolder numberHolder(Database& db, const std::string& table, int32_t number,
                          std::optional<int32_t> own = std::nullopt);

// Takes the running action's write lock, then fails, telling the user,
// when a row of the table holds the number in the field: a document number
// found free by a save's checks is taken so, and no other writer can store
// it between this reading and the commit.
void claimNumber(Database& db, const std::string& table, const std::string& field, double number);

}  // namespace mk
