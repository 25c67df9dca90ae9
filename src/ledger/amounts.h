// Amounts: no amount a document stores or a posting moves, and no balance
// a posting leaves, is beyond kLargestAmount (1e12) in size or not finite;
// no amount a posting moves is negative. Every window and posting checks
// amounts here, so each refusal says the same words.
#pragma once

#include <optional>
#include <string>

namespace mk {

// Finite and at most kLargestAmount in size.
bool withinLimit(double amount);

// What is said of an amount beyond the limit: its caption, then
// " أكبر من الحد المسموح به (1000000000000)".
std::string beyondLimit(const std::string& caption);

// Why an amount cannot be moved (beyond the limit, or negative), or nullopt.
std::optional<std::string> amountProblem(double amount, const std::string& caption);

}  // namespace mk
