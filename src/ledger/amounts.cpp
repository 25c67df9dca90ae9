#include "ledger/amounts.h"

#include <cmath>

#include "platform/database.h"

namespace mk {

bool withinLimit(double amount) { return std::isfinite(amount) && std::fabs(amount) <= kLargestAmount; }

std::string beyondLimit(const std::string& caption) {
    return caption + " أكبر من الحد المسموح به (1000000000000)";
}

std::optional<std::string> amountProblem(double amount, const std::string& caption) {
    if (!withinLimit(amount)) return beyondLimit(caption);
    if (amount < 0) return caption + " يجب أن يكون رقما لا يقل عن صفر";
    return std::nullopt;
}

}  // namespace mk
