// What a field takes: converting a value for it, and the refusals a box's
// entry gets when it does not fit.
#include <cfloat>
#include <cmath>

#include "platform/database.h"
#include "platform/database_detail.h"

namespace mk {

namespace detail {

size_t utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace detail

namespace {

using detail::utf8Length;

[[noreturn]] void mismatch(const FieldInfo& f, const Value& v) {
    throw RuntimeError(err::TypeMismatch, "Data type mismatch: \"" + toText(v) +
                                              "\" cannot be stored in the field " + f.name +
                                              ".");
}

[[noreturn]] void outOfRange(const FieldInfo& f, double d) {
    throw RuntimeError(err::Overflow, "Overflow: " + formatDouble(d) +
                                          " cannot be stored in the field " + f.name + ".");
}

double numberFor(const FieldInfo& f, const Value& v) {
    if (v.isText()) {
        auto n = parseNumber(v.asTextRaw());
        if (!n) mismatch(f, v);
        return *n;
    }
    return toDouble(v);
}

bool isControlCharacter(unsigned char c, bool lineBreaks) {
    if (lineBreaks && (c == '\t' || c == '\r' || c == '\n')) return false;
    return c < 0x20 || c == 0x7F;
}

// The length a text field takes.
size_t textLimit(const FieldInfo& f) {
    if (f.size > 0) return static_cast<size_t>(f.size);
    return static_cast<size_t>(f.type == FieldType::Memo ? kMemoLength : kOpenTextLength);
}

}  // namespace

Value convertForField(const FieldInfo& f, const Value& v) {
    const bool blank = v.isEmpty() || v.isNull() || (v.isText() && v.asTextRaw().empty());
    switch (f.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            if (v.isNull() || v.isEmpty()) return Value::null();
            std::string s = toText(v);
            if (f.size > 0 && utf8Length(s) > static_cast<size_t>(f.size))
                throw RuntimeError(err::FieldTooSmall,
                                   "The text is too long for the field " + f.name + " (at most " +
                                       std::to_string(f.size) + " characters).");
            return Value(s);
        }
        case FieldType::Int16:
            if (blank) return Value::null();
            return Value::i16(roundToInt16(numberFor(f, v)));
        case FieldType::Int32:
        case FieldType::AutoNumber:
            if (blank) return Value::null();
            return Value::i32(roundToInt32(numberFor(f, v)));
        case FieldType::Single: {
            if (blank) return Value::null();
            // A double beyond the single range would be stored as infinity.
            const double d = numberFor(f, v);
            if (!(std::fabs(d) <= FLT_MAX)) outOfRange(f, d);
            return Value(static_cast<double>(static_cast<float>(d)) + 0.0);
        }
        case FieldType::Double: {
            if (blank) return Value::null();
            const double d = numberFor(f, v);
            if (!std::isfinite(d)) outOfRange(f, d);
            return Value(d + 0.0);  // -0 is stored as 0
        }
        case FieldType::Date: {
            if (blank) return Value::null();
            if (v.isText()) {
                auto d = parseDate(v.asTextRaw());
                if (!d) mismatch(f, v);
                return Value::date(*d);
            }
            return Value::date(toDate(v));
        }
        case FieldType::YesNo: {
            if (blank) return Value(false);
            try {
                return Value(toBool(v));
            } catch (const RuntimeError&) {
                mismatch(f, v);
            }
        }
    }
    return v;
}

Unfit entryFit(const FieldInfo& f, const Value& v, bool lineBreaks) {
    if (v.isEmpty() || v.isNull()) return Unfit::None;
    const bool text = v.isText();
    const std::string typed = text ? v.asTextRaw() : std::string();
    if (text && typed.empty()) return Unfit::None;
    switch (f.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            const std::string s = text ? typed : toText(v);
            const bool breaks = lineBreaks || f.type == FieldType::Memo;
            for (unsigned char c : s)
                if (isControlCharacter(c, breaks)) return Unfit::ControlCharacter;
            return utf8Length(s) > textLimit(f) ? Unfit::TooLong : Unfit::None;
        }
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::AutoNumber:
        case FieldType::Single:
        case FieldType::Double: {
            std::optional<double> n = text ? parseNumber(typed) : std::nullopt;
            if (!text) {
                try {
                    n = toDouble(v);
                } catch (const RuntimeError&) {
                }
            }
            if (!n) return Unfit::NotANumber;
            const double whole = std::nearbyint(*n);  // halves to even, as stored
            bool fits;
            if (f.type == FieldType::Int16) fits = whole >= -32768 && whole <= 32767;
            else if (f.type == FieldType::Single || f.type == FieldType::Double)
                fits = std::fabs(*n) <= kLargestAmount;
            else fits = whole >= -2147483648.0 && whole <= 2147483647.0;
            return fits ? Unfit::None : Unfit::OutOfRange;
        }
        case FieldType::Date:
            if (text) return parseDate(typed) ? Unfit::None : Unfit::NotADate;
            break;
        case FieldType::YesNo:
            break;
    }
    try {
        convertForField(f, v);
    } catch (const RuntimeError&) {
        return f.type == FieldType::Date ? Unfit::NotADate : Unfit::NotYesNo;
    }
    return Unfit::None;
}

std::string unfitMessage(const std::string& caption, const FieldInfo& f, Unfit why) {
    std::string reason;
    switch (why) {
        case Unfit::None: return "";
        case Unfit::NotANumber: reason = "يجب أن يكون رقما"; break;
        case Unfit::NotADate: reason = "يجب أن يكون تاريخا صحيحا (يوم/شهر/سنة)"; break;
        case Unfit::NotYesNo: reason = "يجب أن يكون نعم أو لا"; break;
        case Unfit::OutOfRange:
            if (f.type == FieldType::Int16) reason = "يجب أن يكون رقما من -32768 إلى 32767";
            else if (f.type == FieldType::Single || f.type == FieldType::Double)
                reason = "رقم أكبر من الحد المسموح به (1000000000000)";
            else reason = "يجب أن يكون رقما من -2147483648 إلى 2147483647";
            break;
        case Unfit::TooLong:
            reason = "النص أطول من " + std::to_string(textLimit(f)) + " حرفا";
            break;
        case Unfit::ControlCharacter: reason = "النص يحوى رموز تحكم لا تحفظ"; break;
    }
    return "لا يمكن حفظ ما كتب فى «" + caption + "»: " + reason;
}

std::string overwriteMessage(const std::string& caption, const Value& stored) {
    const std::string now = toText(stored);
    return "لم يحفظ شىء: «" + caption + "» تغير فى الملف منذ بدأ التعديل، والمحفوظ الآن " +
           (now.empty() ? "فارغ" : now) + ". ألغ التعديل، أو أكتب القيمة من جديد ثم أحفظ";
}

}  // namespace mk
