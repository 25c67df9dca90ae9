#include "ledger/numbering.h"

#include <cmath>

#include "platform/table_scan.h"

namespace mk {

namespace {

constexpr int32_t kFirstLast = 2;

}  // namespace

const char* const kBadInvoiceNumber = "رقم الفاتورة يجب أن يكون عددا صحيحا من 1 إلى 2147483647";
const char* const kInvoiceNumberHeld = "يوجد فاتورة أخرى بهذا الرقم، أختر رقما آخر";
const char* const kInvoiceNumbersUsedUp =
    "لا يمكن إضافة فاتورة جديدة: بلغ رقم الفاتورة 2147483647";

int32_t lastNumber(Database& db, const std::string& table) {
    return static_cast<int32_t>(scan::maxNumber(db, table, "INVO_NO", kFirstLast));
}

bool validNumber(const std::optional<double>& number) {
    return number && *number >= 1 && *number <= kLastDocumentNumber &&
           std::floor(*number) == *number;
}

NumberHolder numberHolder(Database& db, const std::string& table, int32_t number,
                          std::optional<int32_t> own) {
    const bool posts = db.tableInfo(table).fieldIndex("STATUS_SUB") >= 0;
    auto st = db.prepare(std::string("SELECT ") + (posts ? "STATUS_SUB" : "0") + " FROM " +
                         quoteName(table) + " WHERE INVO_NO=?1");
    st->bindInt(1, number);
    bool skipOwn = own == number;
    while (st->step()) {
        if (skipOwn) {
            skipOwn = false;
            continue;
        }
        return posts && st->column(0, FieldType::YesNo) == Value(true) ? NumberHolder::Posted
                                                                        : NumberHolder::Saved;
    }
    return NumberHolder::None;
}

void claimNumber(Database& db, const std::string& table, const std::string& field, double number) {
    db.beginWrite();
    auto st = db.prepare("SELECT 1 FROM " + quoteName(table) + " WHERE " + quoteName(field) +
                         "=?1 LIMIT 1");
    st->bind(1, Value(number), FieldType::Double);
    if (st->step())
        throw RuntimeError::told(err::DuplicateKey,
                                 "الرقم " + formatDouble(number) +
                                     " سجل به مستند آخر فى هذه الأثناء، ولم يحفظ شيء. غير الرقم ثم "
                                     "احفظ من جديد",
                                 table + "." + field + " = " + formatDouble(number));
}

}  // namespace mk
