#include "platform/value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mk {

RuntimeError::RuntimeError(long number, std::string description)
    : number_(number), description_(std::move(description)) {}

RuntimeError RuntimeError::told(long number, std::string message, std::string detail) {
    RuntimeError e(number, std::move(message));
    e.detail_ = std::move(detail);
    e.told_ = true;
    return e;
}

namespace {

[[noreturn]] void typeMismatch(std::string_view what) {
    throw RuntimeError(err::TypeMismatch, "Type mismatch: \"" + std::string(what) +
                                              "\" cannot be used here");
}

[[noreturn]] void overflow(double d) {
    throw RuntimeError(err::Overflow, "Overflow: " + formatDouble(d) + " is out of range");
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

const long kEpoch = daysFromCivil(1899, 12, 30);

int daysInMonth(int y, int m) {
    static const std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return days[static_cast<size_t>(m - 1)];
}

// Whole days and seconds of the day of a serial (time counts from midnight
// in both directions, as serial -1.5 is 29/12/1899 12:00).
void splitSerial(double serial, long& days, long& seconds) {
    days = static_cast<long>(std::trunc(serial));
    double frac = std::fabs(serial - static_cast<double>(days));
    seconds = std::lround(frac * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += serial < 0 ? -1 : 1;
    }
}

}  // namespace

bool Value::isNumber() const {
    switch (type()) {
        case Type::Int16:
        case Type::Int32:
        case Type::Double:
            return true;
        default:
            return false;
    }
}

int16_t roundToInt16(double d) {
    double r = std::nearbyint(d);
    if (!(r >= -32768.0 && r <= 32767.0)) overflow(d);
    return static_cast<int16_t>(r);
}

int32_t roundToInt32(double d) {
    double r = std::nearbyint(d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) overflow(d);
    return static_cast<int32_t>(r);
}

std::optional<double> parseNumber(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.empty()) return std::nullopt;
    std::string_view body = s;
    bool neg = false;
    if (body.front() == '+' || body.front() == '-') {
        neg = body.front() == '-';
        body.remove_prefix(1);
    }
    if (body.empty() || body.front() == '+' || body.front() == '-') return std::nullopt;
    double out = 0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), out,
                                     std::chars_format::general);
    if (ec != std::errc() || ptr != body.data() + body.size()) return std::nullopt;
    // "inf", "nan" and the like name no number a window can add up.
    if (!std::isfinite(out)) return std::nullopt;
    return neg ? -out : out;
}

double leadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0;
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++expDigits;
        if (expDigits > 0) end = j;
    }
    auto parsed = parseNumber(text.substr(start, end - start));
    return parsed.value_or(0);
}

double makeDate(int year, int month, int day) {
    return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month),
                                             static_cast<unsigned>(day)) -
                               kEpoch);
}

double makeDateTime(int year, int month, int day, int hour, int minute, int second) {
    double d = makeDate(year, month, day);
    double t = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return d >= 0 ? d + t : d - t;
}

void splitDate(double serial, int& year, int& month, int& day) {
    long days = 0, seconds = 0;
    splitSerial(serial, days, seconds);
    long y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(days + kEpoch, y, m, d);
    year = static_cast<int>(y);
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

namespace {

struct Scanner {
    std::string_view s;
    size_t i = 0;
    void skipBlanks() {
        while (i < s.size() && isBlank(s[i])) ++i;
    }
    bool number(int& out, int& width) {
        skipBlanks();
        size_t start = i;
        long v = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 6) {
            v = v * 10 + (s[i] - '0');
            ++i;
        }
        width = static_cast<int>(i - start);
        out = static_cast<int>(v);
        return width > 0;
    }
    bool sep(std::string_view allowed) {
        skipBlanks();
        if (i < s.size() && allowed.find(s[i]) != std::string_view::npos) {
            ++i;
            return true;
        }
        return false;
    }
    bool done() {
        skipBlanks();
        return i == s.size();
    }
};

bool parseTimePart(Scanner& sc, long& seconds) {
    int h = 0, m = 0, sec = 0, w = 0;
    if (!sc.number(h, w)) return false;
    if (!sc.sep(":")) return false;
    if (!sc.number(m, w)) return false;
    if (sc.sep(":")) {
        if (!sc.number(sec, w)) return false;
    }
    sc.skipBlanks();
    std::string rest = upperAscii(sc.s.substr(sc.i));
    if (rest == "AM" || rest == "PM") {
        if (h < 1 || h > 12) return false;
        if (rest == "PM" && h != 12) h += 12;
        if (rest == "AM" && h == 12) h = 0;
        sc.i = sc.s.size();
    }
    if (h > 23 || m > 59 || sec > 59) return false;
    seconds = h * 3600L + m * 60L + sec;
    return true;
}

}  // namespace

std::optional<double> parseDate(std::string_view text) {
    Scanner sc{trimBlanks(text)};
    if (sc.s.empty()) return std::nullopt;
    int a = 0, b = 0, c = 0, wa = 0, wb = 0, wc = 0;
    size_t save = sc.i;
    bool hasDate = false;
    int year = 1899, month = 12, day = 30;
    if (sc.number(a, wa) && sc.sep("/-.") && sc.number(b, wb) && sc.sep("/-.") &&
        sc.number(c, wc)) {
        hasDate = true;
        if (wa == 4) {  // yyyy-MM-dd, the storage form
            year = a;
            month = b;
            day = c;
        } else {  // day first
            day = a;
            month = b;
            year = c;
            if (wc <= 2) year += c < 30 ? 2000 : 1900;
        }
        if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
            day > daysInMonth(year, month))
            return std::nullopt;
    } else {
        sc.i = save;
    }
    long seconds = 0;
    bool hasTime = false;
    if (!sc.done()) {
        if (hasDate && sc.i < sc.s.size() && (sc.s[sc.i] == 'T')) ++sc.i;
        if (!parseTimePart(sc, seconds) || !sc.done()) return std::nullopt;
        hasTime = true;
    }
    if (!hasDate && !hasTime) return std::nullopt;
    double d = makeDate(year, month, day);
    double t = static_cast<double>(seconds) / 86400.0;
    return d >= 0 ? d + t : d - t;
}

int16_t toInt16(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return 0;
        case Value::Type::Bool:
            return v.asBoolRaw() ? -1 : 0;
        case Value::Type::Int16:
            return v.asInt16Raw();
        case Value::Type::Int32:
            return roundToInt16(v.asInt32Raw());
        case Value::Type::Double:
            return roundToInt16(v.asDoubleRaw());
        case Value::Type::Date:
            return roundToInt16(v.asDateRaw());
        case Value::Type::Text: {
            auto n = parseNumber(v.asTextRaw());
            if (!n) typeMismatch(v.asTextRaw());
            return roundToInt16(*n);
        }
    }
    return 0;
}

int32_t toInt32(const Value& v) {
    switch (v.type()) {
        case Value::Type::Int16:
            return v.asInt16Raw();
        case Value::Type::Int32:
            return v.asInt32Raw();
        default:
            return roundToInt32(toDouble(v));
    }
}

double toDouble(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return 0;
        case Value::Type::Bool:
            return v.asBoolRaw() ? -1 : 0;
        case Value::Type::Int16:
            return v.asInt16Raw();
        case Value::Type::Int32:
            return v.asInt32Raw();
        case Value::Type::Double:
            return v.asDoubleRaw();
        case Value::Type::Date:
            return v.asDateRaw();
        case Value::Type::Text: {
            auto n = parseNumber(v.asTextRaw());
            if (!n) typeMismatch(v.asTextRaw());
            return *n;
        }
    }
    return 0;
}

double toDate(const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            throw RuntimeError(err::InvalidNull, "Invalid use of Null: the date is empty");
        case Value::Type::Date:
            return v.asDateRaw();
        case Value::Type::Text: {
            auto d = parseDate(v.asTextRaw());
            if (!d) typeMismatch(v.asTextRaw());
            return *d;
        }
        default:
            return toDouble(v);
    }
}

bool toBool(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return false;
        case Value::Type::Bool:
            return v.asBoolRaw();
        case Value::Type::Text: {
            std::string u = upperAscii(trimBlanks(v.asTextRaw()));
            if (u == "TRUE" || u == "YES") return true;
            if (u == "FALSE" || u == "NO") return false;
            auto n = parseNumber(v.asTextRaw());
            if (!n) typeMismatch(v.asTextRaw());
            return *n != 0;
        }
        default:
            return toDouble(v) != 0;
    }
}

std::string toText(const Value& v) {
    switch (v.type()) {
        case Value::Type::Empty:
        case Value::Type::Null:
            return "";
        case Value::Type::Bool:
            return v.asBoolRaw() ? "True" : "False";
        case Value::Type::Int16:
            return std::to_string(v.asInt16Raw());
        case Value::Type::Int32:
            return std::to_string(v.asInt32Raw());
        case Value::Type::Double:
            return formatDouble(v.asDoubleRaw());
        case Value::Type::Date: {
            double s = v.asDateRaw();
            long days = 0, seconds = 0;
            splitSerial(s, days, seconds);
            if (seconds == 0) return formatShortDate(s);
            if (days == 0) return formatTime(s);
            return formatShortDate(s) + " " + formatTime(s);
        }
        case Value::Type::Text:
            return v.asTextRaw();
    }
    return "";
}

std::string formatDouble(double d) {
    if (d == 0 || std::isnan(d)) return "0";
    char buf[64];
    // At most 15 significant digits, as numbers were always shown: 0.1 * 3
    // is "0.3". The shortest text of the rounded value has no more.
    if (std::isfinite(d)) {
        const auto rounded = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 14);
        std::from_chars(buf, rounded.ptr, d, std::chars_format::scientific);
    }
    double a = std::fabs(d);
    std::to_chars_result r;
    if (a >= 1e-5 && a < 1e15) {
        r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
    } else {
        r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    }
    std::string s(buf, r.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    return s;
}

std::string formatShortDate(double serial) {
    int y = 0, m = 0, d = 0;
    splitDate(serial, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

std::string formatLongDate(double serial) {
    static const char* const days[] = {"السبت", "الأحد", "الاثنين", "الثلاثاء",
                                       "الأربعاء", "الخميس", "الجمعة"};
    static const char* const months[] = {"يناير", "فبراير", "مارس",   "أبريل",
                                         "مايو",  "يونيو",  "يوليو",  "أغسطس",
                                         "سبتمبر", "أكتوبر", "نوفمبر", "ديسمبر"};
    long whole = 0, seconds = 0;
    splitSerial(serial, whole, seconds);
    int y = 0, m = 0, d = 0;
    splitDate(serial, y, m, d);
    // Serial 0 (30/12/1899) was a Saturday.
    long wd = ((whole % 7) + 7) % 7;
    return std::string(days[wd]) + "، " + std::to_string(d) + " " + months[m - 1] + " " +
           std::to_string(y);
}

std::string formatTime(double serial) {
    long days = 0, seconds = 0;
    splitSerial(serial, days, seconds);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", seconds / 3600, (seconds / 60) % 60,
                  seconds % 60);
    return buf;
}

std::string formatIsoDate(double serial) {
    int y = 0, m = 0, d = 0;
    splitDate(serial, y, m, d);
    long days = 0, seconds = 0;
    splitSerial(serial, days, seconds);
    char buf[40];
    if (seconds == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", y, m, d,
                      seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return buf;
}

std::string formatPrintNumber(double d) {
    std::string s = formatDouble(d);
    if (d >= 0) s = " " + s;
    return s + " ";
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace mk
