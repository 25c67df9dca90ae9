// Values and conversions: the one place that fixes how numbers, dates,
// texts and Yes/No values convert into each other and print as text.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace mk {

// A failure: a number and a description. The user is told it in a
// message box in the windows' language: a description written for the
// user (told) as it is, any other by what its number means, while the
// description and the technical detail go to the program's log.
class RuntimeError : public std::exception {
public:
    RuntimeError(long number, std::string description);
    // A failure whose description is the message the user reads; detail
    // is what the log gets beside it (the database's own words).
    static RuntimeError told(long number, std::string message, std::string detail = {});
    long number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& detail() const { return detail_; }
    bool isTold() const { return told_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    long number_;
    std::string description_;
    std::string detail_;
    bool told_ = false;
};

// Error numbers as the windows see them.
namespace err {
constexpr long Overflow = 6;
constexpr long ObjectNotSet = 91;
constexpr long TypeMismatch = 13;
constexpr long InvalidNull = 94;
constexpr long DeviceUnavailable = 68;
constexpr long DiskFull = 61;
constexpr long InvalidEntry = 380;
constexpr long FileNotFound = 53;
constexpr long PathNotFound = 76;
constexpr long PermissionDenied = 70;
constexpr long BadFileName = 52;
constexpr long NoCurrentRecord = 3021;
constexpr long DuplicateKey = 3022;
constexpr long TableExists = 3010;
constexpr long TableNotFound = 3078;
constexpr long FieldNotFound = 3265;
constexpr long InvalidName = 3125;
constexpr long RowDeleted = 3167;
constexpr long NotUpdatable = 3164;
constexpr long FieldTooSmall = 3163;
constexpr long DatabaseError = 3146;
constexpr long RowChanged = 3197;
constexpr long WindowNotAvailable = 424;
constexpr long ControlNotFound = 730;
}  // namespace err

// A date is a count of days since 30 December 1899, the fraction being the
// time of day (so True taken as a date, -1, is 29 December 1899).
struct DateValue {
    double serial = 0;
    bool operator==(const DateValue&) const = default;
};

struct NullValue {
    bool operator==(const NullValue&) const = default;
};

class Value {
public:
    enum class Type { Empty, Null, Bool, Int16, Int32, Double, Date, Text };

    Value() = default;
    Value(bool b) : v_(b) {}
    Value(int i) : v_(static_cast<int32_t>(i)) {}
    Value(double d) : v_(d) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}

    static Value null() { Value v; v.v_ = NullValue{}; return v; }
    static Value i16(int16_t i) { Value v; v.v_ = i; return v; }
    static Value i32(int32_t i) { Value v; v.v_ = i; return v; }
    static Value date(double serial) { Value v; v.v_ = DateValue{serial}; return v; }

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const;
    bool isText() const { return type() == Type::Text; }

    bool asBoolRaw() const { return std::get<bool>(v_); }
    int16_t asInt16Raw() const { return std::get<int16_t>(v_); }
    int32_t asInt32Raw() const { return std::get<int32_t>(v_); }
    double asDoubleRaw() const { return std::get<double>(v_); }
    double asDateRaw() const { return std::get<DateValue>(v_).serial; }
    const std::string& asTextRaw() const { return std::get<std::string>(v_); }

    // Same type and same content (text exact, case included).
    bool operator==(const Value& o) const { return v_ == o.v_; }

private:
    std::variant<std::monostate, NullValue, bool, int16_t, int32_t, double, DateValue,
                 std::string>
        v_;
};

// Conversions. A Null number counts as 0 and a Null text reads as "";
// a text that is no number (or no date) fails with a type mismatch.
int16_t toInt16(const Value& v);  // halves to even, -32768..32767
int32_t toInt32(const Value& v);
double toDouble(const Value& v);
double toDate(const Value& v);  // date serial
bool toBool(const Value& v);
std::string toText(const Value& v);

int16_t roundToInt16(double d);
int32_t roundToInt32(double d);

// The number at the start of a text: "123abc" is 123, "abc" and "" are 0.
double leadingNumber(std::string_view text);

// Strict parses; nullopt when the text is not a number / not a date.
std::optional<double> parseNumber(std::string_view text);
std::optional<double> parseDate(std::string_view text);

// Formats.
std::string formatDouble(double d);          // "12.5", "0", "1000"
std::string formatShortDate(double serial);  // dd/MM/yyyy
std::string formatLongDate(double serial);   // "الأحد، 6 ديسمبر 2026"
std::string formatTime(double serial);       // HH:mm:ss
std::string formatPrintNumber(double d);     // " 12 " / "-12 "
std::string formatIsoDate(double serial);    // storage form

double makeDate(int year, int month, int day);
double makeDateTime(int year, int month, int day, int hour, int minute, int second);
void splitDate(double serial, int& year, int& month, int& day);

// Table and field names match with letter case ignored (ASCII letters).
bool namesEqual(std::string_view a, std::string_view b);
std::string upperAscii(std::string_view s);

}  // namespace mk
