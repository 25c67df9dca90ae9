// Statements, their failures as the user is told them, and the SQL
// functions the connection registers.
#include <sqlite3.h>

#include <cmath>

#include "platform/database.h"
#include "platform/database_detail.h"
#include "platform/exact_sum.h"

namespace mk {

namespace {

using detail::utf8Length;

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

// An SQL text literal.
std::string quoteText(std::string_view text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// What a statement's bind stores for a value (Statement::bind).
void resultOf(sqlite3_context* ctx, const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null: return sqlite3_result_null(ctx);
        case Value::Type::Bool: return sqlite3_result_int(ctx, v.asBoolRaw() ? 1 : 0);
        case Value::Type::Int16: return sqlite3_result_int(ctx, v.asInt16Raw());
        case Value::Type::Int32: return sqlite3_result_int(ctx, v.asInt32Raw());
        case Value::Type::Double: return sqlite3_result_double(ctx, v.asDoubleRaw());
        case Value::Type::Date: {
            const std::string s = formatIsoDate(v.asDateRaw());
            return sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
        case Value::Type::Text: {
            const std::string& s = v.asTextRaw();
            return sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
    }
}

// A day in the storage form (yyyy-MM-dd, no time), which a date field
// stores as it is.
bool isStoredDay(sqlite3_value* v) {
    if (sqlite3_value_type(v) != SQLITE_TEXT || sqlite3_value_bytes(v) != 10) return false;
    const std::string_view s(reinterpret_cast<const char*>(sqlite3_value_text(v)), 10);
    for (size_t i = 0; i < s.size(); ++i)
        if (i == 4 || i == 7 ? s[i] != '-' : (s[i] < '0' || s[i] > '9')) return false;
    return parseDate(s).has_value();
}

// mk_store(value, value type, field type, size, field name): see sqlStore.
// A whole number into a whole-number field it fits, a text into a text
// field, a number into a double field and a stored day into a date field
// are stored without building a Value, as the conversion would store them.
void storeFunction(sqlite3_context* ctx, int, sqlite3_value** a) {
    guarded(ctx, [&] {
        const FieldType from = typeArg(a[1]);
        const FieldType to = typeArg(a[2]);
        const int size = sqlite3_value_int(a[3]);
        const int t = sqlite3_value_type(a[0]);
        auto int32 = [](FieldType x) { return x == FieldType::Int32 || x == FieldType::AutoNumber; };
        if ((int32(from) || from == FieldType::Int16) && t == SQLITE_INTEGER) {
            // As read: cut to the width of the field read.
            const long long i = sqlite3_value_int64(a[0]);
            const int32_t w = from == FieldType::Int16 ? static_cast<int16_t>(i)
                                                       : static_cast<int32_t>(i);
            if (int32(to) || (to == FieldType::Int16 && w >= -32768 && w <= 32767))
                return sqlite3_result_int(ctx, w);
        }
        if (from == FieldType::Date && to == FieldType::Date && isStoredDay(a[0]))
            return sqlite3_result_value(ctx, a[0]);
        const bool text = (from == FieldType::Text || from == FieldType::Memo) &&
                          (to == FieldType::Text || to == FieldType::Memo);
        // A text of no more bytes than the size has no more characters.
        if (text && t == SQLITE_TEXT && (size <= 0 || sqlite3_value_bytes(a[0]) <= size))
            return sqlite3_result_value(ctx, a[0]);
        const bool number = (from == FieldType::Double || from == FieldType::Single) &&
                            to == FieldType::Double;
        if (number && (t == SQLITE_FLOAT || t == SQLITE_INTEGER) &&
            std::isfinite(sqlite3_value_double(a[0])))
            return sqlite3_result_double(ctx, sqlite3_value_double(a[0]) + 0.0);
        const unsigned char* name = sqlite3_value_text(a[4]);
        const FieldInfo field{.name = name ? reinterpret_cast<const char*>(name) : "",
                              .type = to,
                              .size = size,
                              .defaultValue = {}};
        resultOf(ctx, convertForField(field, valueOf(a[0], from)));
    });
}

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

}  // namespace

const char* const kDiskFullMessage =
    "لا توجد مساحة كافية على القرص لحفظ البيانات، ولم يحفظ شيء مما أدخلته. أفرغ مساحة على القرص "
    "ثم أعد المحاولة";

const char* const kDamagedMessage =
    "ملف قاعدة البيانات تالف، ولم يحفظ شيء مما أدخلته. استرجع آخر نسخة إحتياطية سليمة من "
    "نافذة إسترجاع قاعدة البيانات";

Value readValue(sqlite3_value* v, FieldType type) { return valueOf(v, type); }

std::string sqlRead(const char* conversion, const FieldInfo& field) {
    return std::string("mk_") + conversion + "(" + quoteName(field.name) + "," +
           std::to_string(static_cast<int>(field.type)) + ")";
}

std::string sqlArgs(const FieldInfo& field) {
    return quoteName(field.name) + "," + std::to_string(static_cast<int>(field.type));
}

std::string sqlStore(const std::string& value, FieldType valueType, const FieldInfo& target) {
    return "mk_store(" + value + "," + std::to_string(static_cast<int>(valueType)) + "," +
           std::to_string(static_cast<int>(target.type)) + "," + std::to_string(target.size) +
           "," + quoteText(target.name) + ")";
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
    sqlite3_create_function_v2(db_, "mk_store", 5, flags, this, storeFunction, nullptr, nullptr,
                               nullptr);
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

}  // namespace mk
