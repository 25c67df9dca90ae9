#include "platform/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "platform/exact_sum.h"
#include "platform/machine.h"
#include "platform/recordset.h"

namespace mk {

namespace fs = std::filesystem;

namespace {

size_t utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

const char* declaredType(FieldType t) {
    switch (t) {
        case FieldType::Text: return "TEXT";
        case FieldType::Memo: return "LONGTEXT";
        case FieldType::Int16: return "SMALLINT";
        case FieldType::Int32: return "INTEGER";
        case FieldType::AutoNumber: return "INTEGER PRIMARY KEY AUTOINCREMENT";
        case FieldType::Single: return "FLOAT";
        case FieldType::Double: return "DOUBLE";
        case FieldType::Date: return "DATETIME";
        case FieldType::YesNo: return "BOOLEAN";
    }
    return "TEXT";
}

FieldType typeFromDeclared(const std::string& declared, bool pk, int& size) {
    std::string t = upperAscii(declared);
    size = 0;
    if (t.rfind("TEXT(", 0) == 0) {
        size = std::atoi(t.c_str() + 5);
        return FieldType::Text;
    }
    if (t == "TEXT") return FieldType::Text;
    if (t == "LONGTEXT") return FieldType::Memo;
    if (t == "SMALLINT") return FieldType::Int16;
    if (t == "INTEGER") return pk ? FieldType::AutoNumber : FieldType::Int32;
    if (t == "FLOAT") return FieldType::Single;
    if (t == "DOUBLE") return FieldType::Double;
    if (t == "DATETIME") return FieldType::Date;
    if (t == "BOOLEAN") return FieldType::YesNo;
    return FieldType::Text;
}

std::string sqlLiteral(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return "NULL";
        case Value::Type::Bool:
            return v.asBoolRaw() ? "1" : "0";
        case Value::Type::Int16:
        case Value::Type::Int32:
        case Value::Type::Double:
            return toText(v);
        case Value::Type::Date:
            return "'" + formatIsoDate(v.asDateRaw()) + "'";
        case Value::Type::Text: {
            std::string out = "'";
            for (char c : v.asTextRaw()) {
                if (c == '\'') out += '\'';
                out += c;
            }
            return out + "'";
        }
    }
    return "NULL";
}

Value parseDefault(const char* text) {
    if (!text) return Value();
    std::string s(text);
    if (upperAscii(s) == "NULL") return Value();
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') {
        std::string out;
        for (size_t i = 1; i + 1 < s.size(); ++i) {
            out += s[i];
            if (s[i] == '\'' && i + 2 < s.size() && s[i + 1] == '\'') ++i;
        }
        return Value(out);
    }
    if (auto n = parseNumber(s)) return Value(*n);
    return Value(s);
}

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

// A column value as Statement::column reads it.
Value valueOf(sqlite3_value* v, FieldType type) {
    const int t = sqlite3_value_type(v);
    if (t == SQLITE_NULL) return type == FieldType::YesNo ? Value(false) : Value::null();
    auto text = [v] {
        const unsigned char* p = sqlite3_value_text(v);
        return std::string(p ? reinterpret_cast<const char*>(p) : "",
                           static_cast<size_t>(sqlite3_value_bytes(v)));
    };
    switch (type) {
        case FieldType::Int16:
            if (t == SQLITE_INTEGER) return Value::i16(static_cast<int16_t>(sqlite3_value_int64(v)));
            return Value::i16(roundToInt16(sqlite3_value_double(v)));
        case FieldType::Int32:
        case FieldType::AutoNumber:
            if (t == SQLITE_INTEGER) return Value::i32(static_cast<int32_t>(sqlite3_value_int64(v)));
            return Value::i32(roundToInt32(sqlite3_value_double(v)));
        case FieldType::Single:
        case FieldType::Double:
            if (t == SQLITE_TEXT) return Value(leadingNumber(text()));
            return Value(sqlite3_value_double(v));
        case FieldType::Date:
            if (t == SQLITE_TEXT) {
                std::string s = text();
                if (auto d = parseDate(s)) return Value::date(*d);
                return Value(s);
            }
            return Value::date(sqlite3_value_double(v));
        case FieldType::YesNo:
            return Value(sqlite3_value_int64(v) != 0);
        case FieldType::Text:
        case FieldType::Memo:
            break;
    }
    return Value(text());
}

// toDouble of a column read as its field type; the common cases (a number
// in a number field, Null) without building a Value.
double doubleOf(sqlite3_value* v, FieldType type) {
    const int t = sqlite3_value_type(v);
    if (type == FieldType::Double || type == FieldType::Single) {
        if (t == SQLITE_NULL) return 0.0;
        if (t == SQLITE_FLOAT || t == SQLITE_INTEGER) return sqlite3_value_double(v);
    } else if (type == FieldType::Int32 || type == FieldType::AutoNumber) {
        if (t == SQLITE_NULL) return 0.0;
        if (t == SQLITE_INTEGER) return static_cast<int32_t>(sqlite3_value_int64(v));
    }
    return toDouble(valueOf(v, type));
}

// The conversion failure of the program's SQL function that stopped the
// running statement (one thread).
std::optional<RuntimeError>& functionError() {
    static std::optional<RuntimeError> e;
    return e;
}

// mk_<conversion>(value, field type): see sqlRead.
template <class Convert>
void conversionFunction(sqlite3_context* ctx, int, sqlite3_value** argv, Convert convert) {
    try {
        const auto type = static_cast<FieldType>(sqlite3_value_int(argv[1]));
        convert(ctx, valueOf(argv[0], type));
    } catch (const RuntimeError& e) {
        functionError() = e;
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

template <class F>
void guarded(sqlite3_context* ctx, F fn) {
    try {
        fn();
    } catch (const RuntimeError& e) {
        functionError() = e;
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

FieldType typeArg(sqlite3_value* v) { return static_cast<FieldType>(sqlite3_value_int(v)); }

// mk_sum_products(q, type, a, type, b, type, startA, startB): startA + q*a
// and startB + q*b over the rows in order, each value read as its field
// type; a blob of the two doubles (Null when no rows).
struct ProductsState {
    double a = 0, b = 0;
    bool started = false;
    bool failed = false;
};

void productsStep(sqlite3_context* ctx, int, sqlite3_value** v) {
    auto* st = static_cast<ProductsState*>(sqlite3_aggregate_context(ctx, sizeof(ProductsState)));
    if (!st || st->failed) return;
    if (!st->started) {
        st->a = sqlite3_value_double(v[6]);
        st->b = sqlite3_value_double(v[7]);
        st->started = true;
    }
    try {
        const double q = doubleOf(v[0], typeArg(v[1]));
        const double a = doubleOf(v[2], typeArg(v[3]));
        const double b = doubleOf(v[4], typeArg(v[5]));
        st->a += q * a;
        st->b += q * b;
    } catch (const RuntimeError& e) {
        st->failed = true;
        functionError() = e;
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

void productsFinal(sqlite3_context* ctx) {
    auto* st = static_cast<ProductsState*>(sqlite3_aggregate_context(ctx, 0));
    if (!st || !st->started) return sqlite3_result_null(ctx);
    if (st->failed) return sqlite3_result_error(ctx, "conversion failed", -1);
    double both[2] = {st->a, st->b};
    sqlite3_result_blob(ctx, both, sizeof both, SQLITE_TRANSIENT);
}

struct SumState {
    double sum = 0;
    bool started = false;
};

void sumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* st = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
    if (!st) return;
    if (!st->started) {
        st->sum = sqlite3_value_double(argv[1]);
        st->started = true;
    }
    st->sum += sqlite3_value_double(argv[0]);
}

void sumFinal(sqlite3_context* ctx) {
    auto* st = static_cast<SumState*>(sqlite3_aggregate_context(ctx, 0));
    if (st && st->started) sqlite3_result_double(ctx, st->sum);
    else sqlite3_result_null(ctx);
}

// A column's definition as a create or alter statement gives it.
std::string columnSql(const FieldDef& f) {
    std::string sql = quoteName(f.name) + " ";
    if (f.type == FieldType::Text && f.size > 0)
        sql += "TEXT(" + std::to_string(f.size) + ")";
    else
        sql += declaredType(f.type);
    if (f.type == FieldType::YesNo) {
        FieldInfo info{f.name, f.type, f.size, {}};
        Value d = f.defaultValue.isEmpty() ? Value(false) : convertForField(info, f.defaultValue);
        sql += " NOT NULL DEFAULT " + sqlLiteral(d);
    } else if (!f.defaultValue.isEmpty()) {
        FieldInfo info{f.name, f.type, f.size, {}};
        sql += " DEFAULT " + sqlLiteral(convertForField(info, f.defaultValue));
    }
    if (f.unique) sql += " UNIQUE";
    return sql;
}

}  // namespace

Value readValue(sqlite3_value* v, FieldType type) { return valueOf(v, type); }

std::string sqlRead(const char* conversion, const FieldInfo& field) {
    return std::string("mk_") + conversion + "(" + quoteName(field.name) + "," +
           std::to_string(static_cast<int>(field.type)) + ")";
}

std::string sqlArgs(const FieldInfo& field) {
    return quoteName(field.name) + "," + std::to_string(static_cast<int>(field.type));
}

int TableInfo::fieldIndex(std::string_view n) const {
    if (auto it = exact.find(n); it != exact.end()) return it->second;
    for (size_t i = 0; i < fields.size(); ++i)
        if (namesEqual(fields[i].name, n)) return static_cast<int>(i);
    return -1;
}

std::string quoteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool isValidTableName(std::string_view name) {
    if (name.empty() || utf8Length(name) > 64) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (c == '.' || c == '!' || c == '`' || c == '[' || c == ']' || c == '"') return false;
    }
    std::string u = upperAscii(name);
    if (u.rfind("SQLITE_", 0) == 0 || u.rfind("MSYS", 0) == 0) return false;
    return true;
}

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

const char* const kDiskFullMessage =
    "لا توجد مساحة كافية على القرص لحفظ البيانات، ولم يحفظ شيء مما أدخلته. أفرغ مساحة على القرص "
    "ثم أعد المحاولة";

const char* const kDamagedMessage =
    "ملف قاعدة البيانات تالف، ولم يحفظ شيء مما أدخلته. استرجع آخر نسخة إحتياطية سليمة من "
    "نافذة إسترجاع قاعدة البيانات";

namespace {

// A failed write or read of the file, as the user is told it: a full
// disk, a busy file, a file that cannot be read or written and a damaged
// one are said in the windows' language (nothing typed was stored, so the
// press can be repeated); the database's own words go to the log only.
[[noreturn]] void throwFailure(int extendedCode, const std::string& detail) {
    switch (extendedCode & 0xFF) {
        case SQLITE_FULL: throw RuntimeError::told(err::DiskFull, kDiskFullMessage, detail);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw RuntimeError::told(err::DatabaseError,
                                     "ملف قاعدة البيانات مشغول الآن، ولم يحفظ شيء مما أدخلته. "
                                     "أعد المحاولة بعد قليل",
                                     detail);
        case SQLITE_IOERR:
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            throw RuntimeError::told(err::DatabaseError,
                                     "تعذرت القراءة من ملف قاعدة البيانات أو الكتابة فيه، ولم يحفظ "
                                     "شيء مما أدخلته. تأكد من أن القرص متصل ومن إمكان الكتابة "
                                     "فيه ثم أعد المحاولة",
                                     detail);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        // Only the file's check refuses statements (Database::checkBeside).
        case SQLITE_AUTH: throw RuntimeError::told(err::DatabaseError, kDamagedMessage, detail);
        default: throw RuntimeError(err::DatabaseError, "Database error: " + detail);
    }
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

// ---------------------------------------------------------------- Statement

Statement::~Statement() {
    if (!s_) return;
    if (cacheOwner_) {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
        cacheOwner_->stmtInUse_.erase(s_);
    } else {
        sqlite3_finalize(s_);
    }
}

void Statement::bind(int index, const Value& v, FieldType) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            sqlite3_bind_null(s_, index);
            break;
        case Value::Type::Bool:
            sqlite3_bind_int(s_, index, v.asBoolRaw() ? 1 : 0);
            break;
        case Value::Type::Int16:
            sqlite3_bind_int(s_, index, v.asInt16Raw());
            break;
        case Value::Type::Int32:
            sqlite3_bind_int(s_, index, v.asInt32Raw());
            break;
        case Value::Type::Double:
            sqlite3_bind_double(s_, index, v.asDoubleRaw());
            break;
        case Value::Type::Date:
            bindText(index, formatIsoDate(v.asDateRaw()));
            break;
        case Value::Type::Text:
            bindText(index, v.asTextRaw());
            break;
    }
}

void Statement::bindText(int index, std::string_view text) {
    sqlite3_bind_text(s_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bindInt(int index, long long i) { sqlite3_bind_int64(s_, index, i); }

bool Statement::step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3* db = sqlite3_db_handle(s_);
    int ext = sqlite3_extended_errcode(db);
    std::string msg = sqlite3_errmsg(db);
    sqlite3_reset(s_);
    if (functionError()) {
        RuntimeError e = *functionError();
        functionError().reset();
        throw e;
    }
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw RuntimeError(err::DuplicateKey,
                           "The change was not saved: it would create a duplicate value in a "
                           "field that must be unique (" +
                               msg + ").");
    throwFailure(ext, msg);
}

int Statement::columnCount() const { return sqlite3_column_count(s_); }

bool Statement::columnIsNull(int i) const { return sqlite3_column_type(s_, i) == SQLITE_NULL; }

long long Statement::columnInt(int i) const { return sqlite3_column_int64(s_, i); }

std::string Statement::columnText(int i) const {
    const unsigned char* t = sqlite3_column_text(s_, i);
    if (!t) return "";
    return std::string(reinterpret_cast<const char*>(t),
                       static_cast<size_t>(sqlite3_column_bytes(s_, i)));
}

Value Statement::column(int i, FieldType type) const {
    int t = sqlite3_column_type(s_, i);
    if (t == SQLITE_NULL) return type == FieldType::YesNo ? Value(false) : Value::null();
    switch (type) {
        case FieldType::Int16:
            if (t == SQLITE_INTEGER)
                return Value::i16(static_cast<int16_t>(sqlite3_column_int64(s_, i)));
            return Value::i16(roundToInt16(sqlite3_column_double(s_, i)));
        case FieldType::Int32:
        case FieldType::AutoNumber:
            if (t == SQLITE_INTEGER)
                return Value::i32(static_cast<int32_t>(sqlite3_column_int64(s_, i)));
            return Value::i32(roundToInt32(sqlite3_column_double(s_, i)));
        case FieldType::Single:
        case FieldType::Double:
            if (t == SQLITE_TEXT) return Value(leadingNumber(columnText(i)));
            return Value(sqlite3_column_double(s_, i));
        case FieldType::Date:
            if (t == SQLITE_TEXT) {
                std::string s = columnText(i);
                if (auto d = parseDate(s)) return Value::date(*d);
                return Value(s);
            }
            return Value::date(sqlite3_column_double(s_, i));
        case FieldType::YesNo:
            return Value(sqlite3_column_int64(s_, i) != 0);
        case FieldType::Text:
        case FieldType::Memo:
            return Value(columnText(i));
    }
    return Value(columnText(i));
}

// ----------------------------------------------------------------- Database

Database::Database(Machine& machine, fs::path path, bool create)
    : machine_(machine), path_(std::move(path)) {
    open(create);
}

Database::~Database() {
    stopCheck();
    for (Recordset* rs : std::set<Recordset*>(recordsets_)) rs->detach();
    tellListeners(&RowChangeListener::closing);
    rowListeners_.clear();
    watched_.clear();
    close();
}

void Database::open(bool create) {
    // The program has one thread: no per-call connection mutex.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "cannot open";
        sqlite3_close(db_);
        db_ = nullptr;
        throw RuntimeError(err::DatabaseError,
                           "Cannot open the database file '" + path_.string() + "': " + msg);
    }
    sqlite3_busy_timeout(db_, 2000);
    sqlite3_extended_result_codes(db_, 1);
    registerFunctions();
#ifdef MK_PREUPDATE_HOOK
    sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
    // Only the file's own tables count; the row watches' record is temporary.
    sqlite3_update_hook(
        db_,
        [](void* self, int, const char* schema, const char* table, sqlite3_int64) {
            if (schema && std::strcmp(schema, "main") == 0) rowWritten(self, table);
        },
        this);
    try {
        // A commit is synced together with the removal of its journal, so
        // one a power cut follows is kept.
        exec("PRAGMA synchronous=EXTRA");
        exec("SELECT count(*) FROM sqlite_master");
    } catch (const RuntimeError&) {
        close();
        throw RuntimeError(err::DatabaseError,
                           "'" + path_.string() + "' is not a database file of this program.");
    }
}

void Database::registerFunctions() {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    auto add = [&](const char* name, void (*fn)(sqlite3_context*, int, sqlite3_value**)) {
        sqlite3_create_function_v2(db_, name, 2, flags, this, fn, nullptr, nullptr, nullptr);
    };
    // The common cases (a number stored in a number field, a text in a
    // text field) are answered without building a Value.
    add("mk_double", [](sqlite3_context* c, int, sqlite3_value** a) {
        guarded(c, [&] { sqlite3_result_double(c, doubleOf(a[0], typeArg(a[1]))); });
    });
    add("mk_int32", [](sqlite3_context* c, int n, sqlite3_value** a) {
        const auto type = static_cast<FieldType>(sqlite3_value_int(a[1]));
        const int t = sqlite3_value_type(a[0]);
        if (type == FieldType::Int32 || type == FieldType::AutoNumber) {
            if (t == SQLITE_NULL) return sqlite3_result_int(c, 0);
            if (t == SQLITE_INTEGER)
                return sqlite3_result_int(c, static_cast<int32_t>(sqlite3_value_int64(a[0])));
        }
        conversionFunction(c, n, a, [](sqlite3_context* ctx, const Value& v) {
            sqlite3_result_int(ctx, toInt32(v));
        });
    });
    add("mk_text", [](sqlite3_context* c, int n, sqlite3_value** a) {
        const auto type = static_cast<FieldType>(sqlite3_value_int(a[1]));
        const int t = sqlite3_value_type(a[0]);
        if ((type == FieldType::Text || type == FieldType::Memo) && t == SQLITE_TEXT)
            return sqlite3_result_value(c, a[0]);
        conversionFunction(c, n, a, [](sqlite3_context* ctx, const Value& v) {
            const std::string s = toText(v);
            sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        });
    });
    add("mk_day", [](sqlite3_context* c, int n, sqlite3_value** a) {
        conversionFunction(c, n, a, [](sqlite3_context* ctx, const Value& v) {
            if (v.isNull()) sqlite3_result_null(ctx);
            else sqlite3_result_double(ctx, std::floor(toDate(v)));
        });
    });
    // mk_fit(value, field type, size, target field): the value as text
    // (toText), refused as a write of a longer text into that field is.
    sqlite3_create_function_v2(
        db_, "mk_fit", 4, flags, this,
        [](sqlite3_context* c, int, sqlite3_value** a) {
            guarded(c, [&] {
                const FieldType type = typeArg(a[1]);
                const bool plain = (type == FieldType::Text || type == FieldType::Memo) &&
                                   sqlite3_value_type(a[0]) == SQLITE_TEXT;
                std::string converted;
                if (!plain) converted = toText(valueOf(a[0], type));
                const unsigned char* p = plain ? sqlite3_value_text(a[0]) : nullptr;
                const std::string_view text =
                    plain ? std::string_view(reinterpret_cast<const char*>(p),
                                             static_cast<size_t>(sqlite3_value_bytes(a[0])))
                          : std::string_view(converted);
                const int size = sqlite3_value_int(a[2]);
                // A text of no more bytes than the size has no more characters.
                if (size > 0 && text.size() > static_cast<size_t>(size) &&
                    utf8Length(text) > static_cast<size_t>(size)) {
                    const unsigned char* name = sqlite3_value_text(a[3]);
                    throw RuntimeError(
                        err::FieldTooSmall,
                        "The text is too long for the field " +
                            std::string(name ? reinterpret_cast<const char*>(name) : "") +
                            " (at most " + std::to_string(size) + " characters).");
                }
                if (plain) sqlite3_result_value(c, a[0]);
                else sqlite3_result_text(c, text.data(), static_cast<int>(text.size()),
                                         SQLITE_TRANSIENT);
            });
        },
        nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(
        db_, "mk_exact_add", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this,
        [](sqlite3_context* c, int n, sqlite3_value** a) {
            guarded(c, [&] {
                auto* sums = static_cast<ExactSum*>(sqlite3_value_pointer(a[0], kExactSumsPointer));
                for (int i = 1, k = 0; sums && i + 3 < n; i += 4, ++k)
                    sums[k].add(doubleOf(a[i], typeArg(a[i + 1])) *
                                doubleOf(a[i + 2], typeArg(a[i + 3])));
                sqlite3_result_null(c);
            });
        },
        nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db_, "mk_sum_products", 8, SQLITE_UTF8, this, nullptr,
                               productsStep, productsFinal, nullptr);
    sqlite3_create_function_v2(db_, "mk_sum", 2, SQLITE_UTF8, this, nullptr, sumStep, sumFinal,
                               nullptr);
}

void Database::rowWritten(void* self, const char* table) {
    auto* db = static_cast<Database*>(self);
    if (db->inTransaction_) db->writtenTables_.insert(upperAscii(table));
}

std::set<std::string> Database::takeCommittedTables() {
    std::set<std::string> out;
    out.swap(committedTables_);
    return out;
}

void Database::close() {
    for (auto& [sql, stmt] : stmtCache_) sqlite3_finalize(stmt);
    stmtCache_.clear();
    stmtInUse_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Database::fail(const std::string& context) {
    // A write refused because the file failed its check is told so.
    if (sqlite3_errcode(db_) == SQLITE_AUTH && checkState_ == Check::Failed) requireCheckPassed();
    throw RuntimeError(err::DatabaseError, context + ": " + sqlite3_errmsg(db_));
}

std::unique_ptr<Statement> Database::prepare(const std::string& sql) {
    auto it = stmtCache_.find(sql);
    if (it != stmtCache_.end() && !stmtInUse_.count(it->second)) {
        stmtInUse_.insert(it->second);
        return std::make_unique<Statement>(it->second, this);
    }
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr) !=
        SQLITE_OK)
        fail("Database error");
    if (it == stmtCache_.end()) {
        stmtCache_[sql] = s;
        stmtInUse_.insert(s);
        return std::make_unique<Statement>(s, this);
    }
    return std::make_unique<Statement>(s, nullptr);
}

void Database::exec(const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string m = msg ? msg : "error";
        sqlite3_free(msg);
        if (functionError()) {
            RuntimeError e = *functionError();
            functionError().reset();
            throw e;
        }
        int ext = sqlite3_extended_errcode(db_);
        if (ext == SQLITE_AUTH && checkState_ == Check::Failed) requireCheckPassed();
        if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
            throw RuntimeError(err::DuplicateKey, "Duplicate value: " + m);
        throwFailure(ext, m);
    }
}

long long Database::lastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }

int Database::changes() const { return sqlite3_changes(db_); }

std::optional<std::string> Database::findTable(std::string_view name) {
    auto st = prepare("SELECT name FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
    st->bindText(1, name);
    if (st->step()) return st->columnText(0);
    return std::nullopt;
}

std::vector<std::string> Database::tableNames() {
    std::vector<std::string> out;
    auto st = prepare(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY rowid");
    while (st->step()) out.push_back(st->columnText(0));
    return out;
}

const TableInfo& Database::tableInfo(std::string_view name) { return *sharedTableInfo(name); }

std::shared_ptr<const TableInfo> Database::sharedTableInfo(std::string_view name) {
    std::string key = upperAscii(name);
    auto it = infoCache_.find(key);
    if (it != infoCache_.end()) return it->second;
    auto actual = findTable(name);
    if (!actual)
        throw RuntimeError(err::TableNotFound,
                           "The table '" + std::string(name) + "' was not found in the database.");
    auto info = std::make_unique<TableInfo>();
    info->name = *actual;
    auto st = prepare("PRAGMA table_info(" + quoteName(*actual) + ")");
    while (st->step()) {
        FieldInfo f;
        f.name = st->columnText(1);
        bool pk = st->columnInt(5) != 0;
        f.type = typeFromDeclared(st->columnText(2), pk, f.size);
        if (f.type == FieldType::Int16 && widened_.count(key + "." + upperAscii(f.name)))
            f.type = FieldType::Int32;
        if (!st->columnIsNull(4)) {
            std::string d = st->columnText(4);
            f.defaultValue = convertForField(f, parseDefault(d.c_str()));
        }
        info->fields.push_back(std::move(f));
    }
    for (size_t i = 0; i < info->fields.size(); ++i)
        info->exact.emplace(info->fields[i].name, static_cast<int>(i));
    std::shared_ptr<const TableInfo> shared = std::move(info);
    infoCache_[key] = shared;
    return shared;
}

void Database::widenToInt32(std::string_view table, std::string_view field) {
    widened_.insert(upperAscii(table) + "." + upperAscii(field));
    infoCache_.erase(upperAscii(table));
}

void Database::createTable(const TableDef& def) {
    if (!isValidTableName(def.name))
        throw RuntimeError(err::InvalidName,
                           "'" + def.name + "' is not a valid name for a table.");
    if (findTable(def.name))
        throw RuntimeError(err::TableExists, "Table '" + def.name + "' already exists.");
    std::string sql = "CREATE TABLE " + quoteName(def.name) + " (";
    bool first = true;
    for (const FieldDef& f : def.fields) {
        if (!first) sql += ", ";
        first = false;
        sql += columnSql(f);
    }
    if (!def.primaryField.empty()) {
        bool autoKey = false;
        for (const FieldDef& f : def.fields)
            if (namesEqual(f.name, def.primaryField) && f.type == FieldType::AutoNumber)
                autoKey = true;
        if (!autoKey) sql += ", PRIMARY KEY (" + quoteName(def.primaryField) + ")";
    }
    sql += ")";
    beginWrite();
    exec(sql);
    infoCache_.erase(upperAscii(def.name));
    for (const std::string& field : def.lookupFields) addLookupIndex(def.name, field);
}

namespace {

// Created tables take no '.' in their names, so "ix.table.field" names one
// index only.
std::string lookupIndexName(const std::string& table, const std::string& field) {
    return "ix." + table + "." + field;
}

}  // namespace

void Database::emptyTable(std::string_view table) {
    const std::string name = tableInfo(table).name;
    const std::string key = upperAscii(name);
    beginWrite();
    auto it = watched_.find(key);
    const bool told = it != watched_.end() && !it->second.recordsets.empty();
#ifdef MK_PREUPDATE_HOOK
    if (!told) sqlite3_preupdate_hook(db_, nullptr, nullptr);
#endif
    try {
        exec("DELETE FROM " + quoteName(name));
    } catch (...) {
#ifdef MK_PREUPDATE_HOOK
        sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
        throw;
    }
#ifdef MK_PREUPDATE_HOOK
    sqlite3_preupdate_hook(db_, &Database::rowWillChange, this);
#endif
    // Pages dropped whole are not told of row by row.
    if (!told && it != watched_.end()) ++it->second.writes;
    if (inTransaction_) writtenTables_.insert(key);
}

bool Database::hasLookupIndex(std::string_view table, std::string_view field) {
    const TableInfo& info = tableInfo(table);
    const int i = info.fieldIndex(field);
    if (i < 0) return false;
    auto st = prepare("SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1");
    st->bindText(1, lookupIndexName(info.name, info.fields[static_cast<size_t>(i)].name));
    return st->step();
}

void Database::addLookupIndex(std::string_view table, std::string_view field) {
    const TableInfo& info = tableInfo(table);
    const int i = info.fieldIndex(field);
    if (i < 0)
        throw RuntimeError(err::FieldNotFound, "The field '" + std::string(field) +
                                                   "' was not found in the table " + info.name + ".");
    const std::string& name = info.fields[static_cast<size_t>(i)].name;
    beginWrite();
    exec("CREATE INDEX IF NOT EXISTS " + quoteName(lookupIndexName(info.name, name)) + " ON " +
         quoteName(info.name) + " (" + quoteName(name) + ")");
}

void Database::addColumn(const std::string& table, const FieldDef& field) {
    const std::string actual = tableInfo(table).name;
    beginWrite();
    exec("ALTER TABLE " + quoteName(actual) + " ADD COLUMN " + columnSql(field));
    infoCache_.erase(upperAscii(table));
}

bool Database::isReadOnly() const {
    if (sqlite3_db_readonly(db_, "main") == 1) return true;
    // A file without write permission counts as read-only even for a user
    // the system would let write it.
    std::error_code ec;
    const auto perms = fs::status(path_, ec).permissions();
    if (ec) return false;
    using P = fs::perms;
    return (perms & (P::owner_write | P::group_write | P::others_write)) == P::none;
}

std::string Database::damage() {
    auto st = prepare("PRAGMA quick_check");
    const std::string first = st->step() ? st->columnText(0) : "no answer";
    return first == "ok" ? "" : first;
}

void Database::beginWrite() {
    if (!checkHolds()) requireCheckPassed();
    if (machine_.actionDepth() == 0 || inTransaction_) return;
    if (sqlite3_get_autocommit(db_)) {
        // The write lock is taken at once: what the action reads from here
        // on no other writer can change before it commits.
        exec("BEGIN IMMEDIATE");
        inTransaction_ = true;
        writtenTables_.clear();
        machine_.joinTransaction(*this);
    }
}

void Database::commit() {
    if (!inTransaction_) return;
    inTransaction_ = false;
    if (sqlite3_get_autocommit(db_)) {
        // SQLite rolled the transaction back itself.
        writtenTables_.clear();
        afterRollbackOfWatches();
        return;
    }
    try {
        exec("COMMIT");
    } catch (...) {
        inTransaction_ = true;
        rollback();
        throw;
    }
    committedTables_.merge(writtenTables_);
    writtenTables_.clear();
    for (RowWatch& w : rowWatches_) w.startedInTransaction = false;
    collectRowChanges();
    tellListeners(&RowChangeListener::committed);
}

void Database::rollback() {
    if (!inTransaction_) return;
    tellListeners(&RowChangeListener::rollingBack);
    inTransaction_ = false;
    writtenTables_.clear();
    if (!sqlite3_get_autocommit(db_)) {
        try {
            exec("ROLLBACK");
        } catch (...) {
        }
    }
    infoCache_.clear();
    afterRollbackOfWatches();
    refreshRecordsets(true);
}

// ------------------------------------------------------------- row watches

namespace {

constexpr const char* kRowChanges = "mk_row_changes";

std::string watchTrigger(size_t number, const char* kind) {
    return quoteName("mk_watch_" + std::to_string(number) + "_" + kind);
}

}  // namespace

void Database::makeWatchTriggers(size_t index, bool again) {
    const RowWatch& w = rowWatches_[index];
    const size_t number = index + 1;
    exec(std::string("CREATE TEMP TABLE IF NOT EXISTS ") + kRowChanges +
         " (watch INTEGER, sign INTEGER, v0, v1, v2, v3)");
    std::string columns, fields, olds, news;
    for (size_t i = 0; i < w.fields.size(); ++i) {
        const std::string sep = i ? ", " : "";
        const std::string f = quoteName(w.fields[i]);
        columns += ", v" + std::to_string(i);
        fields += sep + f;
        olds += ", old." + f;
        news += ", new." + f;
    }
    const std::string into = std::string("INSERT INTO ") + kRowChanges + " (watch, sign" +
                             columns + ") VALUES (" + std::to_string(number);
    const std::string on = " ON main." + quoteName(w.table) + " BEGIN ";
    if (again)
        for (const char* kind : {"insert", "update", "delete"})
            exec("DROP TRIGGER IF EXISTS temp." + watchTrigger(number, kind));
    const std::string make = "CREATE TEMP TRIGGER IF NOT EXISTS ";
    exec(make + watchTrigger(number, "insert") + " AFTER INSERT" + on + into + ", 1" + news +
         "); END");
    exec(make + watchTrigger(number, "update") + " AFTER UPDATE OF " + fields + on + into +
         ", -1" + olds + "); " + into + ", 1" + news + "); END");
    exec(make + watchTrigger(number, "delete") + " AFTER DELETE" + on + into + ", -1" + olds +
         "); END");
}

int Database::watchRows(const std::string& table, const std::vector<std::string>& fields) {
    if (fields.empty() || fields.size() > kMostWatchedFields)
        throw std::invalid_argument("A row watch takes 1 to 4 fields.");
    const TableInfo& info = tableInfo(table);
    RowWatch w{.table = info.name, .fields = {}, .types = {}, .changes = {}};
    for (const std::string& f : fields) {
        const int i = info.fieldIndex(f);
        if (i < 0)
            throw RuntimeError(err::FieldNotFound, "The field '" + f +
                                                       "' was not found in the table " +
                                                       info.name + ".");
        w.fields.push_back(info.fields[static_cast<size_t>(i)].name);
        w.types.push_back(info.fields[static_cast<size_t>(i)].type);
    }
    size_t index = 0;
    while (index < rowWatches_.size() &&
           (rowWatches_[index].table != w.table || rowWatches_[index].fields != w.fields))
        ++index;
    if (index == rowWatches_.size()) rowWatches_.push_back(w);
    RowWatch& watch = rowWatches_[index];
    makeWatchTriggers(index, false);
    auto drop = prepare(std::string("DELETE FROM ") + kRowChanges + " WHERE watch=?1");
    drop->bindInt(1, static_cast<long long>(index + 1));
    drop->step();
    watch.types = w.types;
    watch.changes.clear();
    watch.active = true;
    watch.lost = false;
    watch.startedInTransaction = !sqlite3_get_autocommit(db_);
    return static_cast<int>(index + 1);
}

std::vector<Database::RowChange> Database::takeRowChanges(int watch) {
    collectRowChanges();
    std::vector<RowChange> out;
    out.swap(rowWatches_.at(static_cast<size_t>(watch - 1)).changes);
    return out;
}

bool Database::rowWatchLost(int watch) const {
    return rowWatches_.at(static_cast<size_t>(watch - 1)).lost;
}

void Database::unwatchRows(int watch) {
    RowWatch& w = rowWatches_.at(static_cast<size_t>(watch - 1));
    w.active = false;
    w.changes.clear();
}

void Database::collectRowChanges() {
    // While a transaction is open its records may still roll back.
    if (rowWatches_.empty() || !db_ || !sqlite3_get_autocommit(db_)) return;
    bool any = false;
    {
        auto st = prepare(std::string("SELECT watch, sign, v0, v1, v2, v3 FROM ") + kRowChanges +
                          " ORDER BY rowid");
        while (st->step()) {
            any = true;
            const auto number = static_cast<size_t>(st->columnInt(0));
            if (number == 0 || number > rowWatches_.size()) continue;
            RowWatch& w = rowWatches_[number - 1];
            if (!w.active || w.lost) continue;
            RowChange change{.sign = static_cast<int>(st->columnInt(1)), .values = {}};
            for (size_t i = 0; i < w.types.size(); ++i)
                change.values.push_back(st->column(static_cast<int>(i) + 2, w.types[i]));
            w.changes.push_back(std::move(change));
        }
    }
    if (any) exec(std::string("DELETE FROM ") + kRowChanges);
}

void Database::afterRollbackOfWatches() {
    for (size_t i = 0; i < rowWatches_.size(); ++i) {
        RowWatch& w = rowWatches_[i];
        if (w.startedInTransaction) {
            w.lost = true;
            w.startedInTransaction = false;
            w.changes.clear();
        }
        try {
            makeWatchTriggers(i, false);
        } catch (const RuntimeError&) {
            w.lost = true;
        }
    }
}

bool Database::tellsRowChanges() {
#ifdef MK_PREUPDATE_HOOK
    return true;
#else
    return false;
#endif
}

void Database::watch(Recordset* rs, const std::string& table) {
    Watched& w = watched_[upperAscii(table)];
    if (std::find(w.recordsets.begin(), w.recordsets.end(), rs) == w.recordsets.end())
        w.recordsets.push_back(rs);
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::unwatch(Recordset* rs, const std::string& table) {
    auto it = watched_.find(upperAscii(table));
    if (it == watched_.end()) return;
    auto& list = it->second.recordsets;
    list.erase(std::remove(list.begin(), list.end(), rs), list.end());
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::addRowChangeListener(RowChangeListener* w, const std::string& table) {
    Watched& entry = watched_[upperAscii(table)];
    if (std::find(entry.watchers.begin(), entry.watchers.end(), w) == entry.watchers.end())
        entry.watchers.push_back(w);
    if (std::find(rowListeners_.begin(), rowListeners_.end(), w) == rowListeners_.end())
        rowListeners_.push_back(w);
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::removeRowChangeListener(RowChangeListener* w, const std::string& table) {
    auto it = watched_.find(upperAscii(table));
    if (it != watched_.end()) {
        auto& list = it->second.watchers;
        list.erase(std::remove(list.begin(), list.end(), w), list.end());
    }
    rowListeners_.erase(std::remove(rowListeners_.begin(), rowListeners_.end(), w), rowListeners_.end());
    lastChanged_.clear();
    lastWatched_ = nullptr;
}

void Database::tellListeners(void (RowChangeListener::*tell)()) {
    // A watcher may stop watching when told.
    for (RowChangeListener* w : std::vector<RowChangeListener*>(rowListeners_))
        if (std::find(rowListeners_.begin(), rowListeners_.end(), w) != rowListeners_.end())
            (w->*tell)();
}

uint64_t Database::tableWrites(const std::string& table) const {
    auto it = watched_.find(upperAscii(table));
    return it == watched_.end() ? 0 : it->second.writes;
}

void Database::rowWillChange(void* self, sqlite3* h, int op, const char* schema,
                             const char* table, long long oldRowid, long long newRowid) {
    auto* db = static_cast<Database*>(self);
    if (!table || !schema || std::strcmp(schema, "main") != 0) return;
    // Bulk writes tell of one table many times over.
    if (db->lastChanged_ != table) {
        auto it = db->watched_.find(upperAscii(table));
        db->lastWatched_ = it == db->watched_.end() ? nullptr : &it->second;
        db->lastChanged_ = table;
    }
    Watched* w = db->lastWatched_;
    if (!w) return;
    ++w->writes;
    for (Recordset* rs : w->recordsets) rs->tableWillChange(h, op, oldRowid, newRowid);
    for (RowChangeListener* rw : w->watchers) rw->rowWillChange(h, op, oldRowid, newRowid);
}

void Database::markPositions() {
    for (Recordset* rs : recordsets_) rs->markPosition();
}

void Database::refreshRecordsets(bool keepPositions) {
    for (Recordset* rs : std::set<Recordset*>(recordsets_)) rs->rereadQuietly(keepPositions);
}

void Database::restoreFrom(const fs::path& source) {
    if (!isDatabaseFile(source))
        throw RuntimeError(err::DatabaseError,
                           "'" + source.string() + "' is not a database file of this program.");
    std::error_code ec;
    if (fs::equivalent(source, path_, ec)) return;
    if (!checkHolds()) requireCheckPassed();
    // The backup cannot run inside a transaction; what the running action
    // wrote so far is kept, and the action goes on in a new transaction.
    bool wasIn = inTransaction_;
    if (wasIn) commit();
    tellListeners(&RowChangeListener::replacing);
    for (auto& [sql, stmt] : stmtCache_) sqlite3_finalize(stmt);
    stmtCache_.clear();
    stmtInUse_.clear();
    sqlite3* src = nullptr;
    if (sqlite3_open_v2(source.c_str(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(src);
        throw RuntimeError(err::FileNotFound, "Cannot read '" + source.string() + "'.");
    }
    sqlite3_backup* b = sqlite3_backup_init(db_, "main", src, "main");
    int rc = SQLITE_ERROR;
    if (b) {
        rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
    }
    sqlite3_close_v2(src);
    infoCache_.clear();
    // Every watch reads its table again; its triggers are made anew on
    // the tables the file now holds.
    for (size_t i = 0; i < rowWatches_.size(); ++i) {
        rowWatches_[i].lost = true;
        rowWatches_[i].changes.clear();
        try {
            makeWatchTriggers(i, true);
        } catch (const RuntimeError&) {
        }
    }
    if (!rowWatches_.empty()) exec(std::string("DELETE FROM ") + kRowChanges);
    if (rc != SQLITE_DONE) fail("The restore failed");
    // Every table changed at once: the windows are told of each.
    for (const std::string& table : tableNames()) committedTables_.insert(upperAscii(table));
    if (wasIn) beginWrite();
    refreshRecordsets();
}

}  // namespace mk
