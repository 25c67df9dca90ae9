// Values: conversions with their ranges and errors, dates, and the text of
// numbers.
#include <gtest/gtest.h>

#include "platform/value.h"
#include "support/steps.h"

namespace mk {
namespace {

using test::errorNumber;
using test::ints;

TEST(Conversions, WholeNumbersRoundHalvesToEvenAndFailOutOfRange) {
    for (auto [from, to] : {std::pair{2.5, 2}, {3.5, 4}, {12.5, 12}, {13.5, 14}, {-2.5, -2},
                            {899.5, 900}, {32767.0, 32767}, {-32768.0, -32768}})
        EXPECT_EQ(toInt16(Value(from)), to) << from;
    EXPECT_EQ(toInt16(Value("251.5")), 252);
    for (double out : {32767.5, 40000.0, -32769.0})
        EXPECT_EQ(errorNumber([&] { toInt16(Value(out)); }), err::Overflow) << out;
    for (const char* text : {"abc", ""})
        EXPECT_EQ(errorNumber([&] { toInt16(Value(text)); }), err::TypeMismatch) << text;
    EXPECT_EQ(ints({Value(40000.5), Value(40001.5), Value(2147483647.0)}),
              (std::vector<int32_t>{40000, 40002, 2147483647}));
    EXPECT_EQ(errorNumber([] { toInt32(Value(2147483648.0)); }), err::Overflow);
}

TEST(Conversions, LeadingNumbersStrictNumbersAndNulls) {
    for (auto [text, n] : {std::pair{"123abc", 123.0}, {"abc", 0.0}, {" 12.5x", 12.5}, {"", 0.0},
                           {"-7 apples", -7.0}, {"Text5", 0.0}, {"1e3x", 1000.0}, {".", 0.0}})
        EXPECT_EQ(leadingNumber(text), n) << text;
    EXPECT_EQ(toDouble(Value(" 12.5 ")), 12.5);
    EXPECT_EQ(toDouble(Value("7.0")), 7);
    for (const char* text : {"12abc", "", "inf", "-inf", "nan", "infinity", "1e999", "-1E400", "NAN"})
        EXPECT_EQ(errorNumber([&] { toDouble(Value(text)); }), err::TypeMismatch) << text;
    for (const char* text : {"not a date", "31/02/2020", "10"})
        EXPECT_EQ(errorNumber([&] { toDate(Value(text)); }), err::TypeMismatch) << text;
    // A Null counts as 0 and reads as "".
    EXPECT_EQ(toDouble(Value::null()) + toInt16(Value::null()), 0);
    EXPECT_EQ(toText(Value::null()), "");
    EXPECT_FALSE(toBool(Value::null()));
    EXPECT_EQ(errorNumber([] { toDate(Value::null()); }), err::InvalidNull);
}

TEST(Dates, ShortFormIsDayFirstAndReadsBack) {
    EXPECT_EQ(formatShortDate(makeDate(2007, 10, 10)) + formatShortDate(makeDate(2026, 3, 4)),
              "10/10/200704/03/2026");
    for (auto [text, date] :
         {std::pair{"04/03/2026", makeDate(2026, 3, 4)}, {"1/1/2007", makeDate(2007, 1, 1)},
          {"10 / 4 / 2020", makeDate(2020, 4, 10)}, {"2007-10-10", makeDate(2007, 10, 10)},
          {"01/01/50", makeDate(1950, 1, 1)}, {"10/10/07", makeDate(2007, 10, 10)},
          {"1/1/29", makeDate(2029, 1, 1)},
          {"06/12/2026 14:05:09", makeDateTime(2026, 12, 6, 14, 5, 9)}})
        EXPECT_EQ(*parseDate(text), date) << text;
    for (double serial : {0.0, 1.0, 36526.0, 46000.0})
        EXPECT_EQ(*parseDate(formatShortDate(serial)), serial);
    EXPECT_EQ(makeDate(1899, 12, 30), 0);
    // True taken as a date is the day before 30 December 1899.
    EXPECT_EQ(formatShortDate(toDate(Value(true))), "29/12/1899");
    EXPECT_EQ(formatLongDate(makeDate(2026, 12, 6)) + " " + formatLongDate(makeDate(2007, 10, 10)),
              "الأحد، 6 ديسمبر 2026 الأربعاء، 10 أكتوبر 2007");
    EXPECT_EQ(formatTime(makeDateTime(2026, 12, 6, 14, 5, 9)), "14:05:09");
    EXPECT_EQ(toText(Value::date(makeDateTime(2026, 12, 6, 14, 5, 9))), "06/12/2026 14:05:09");
}

TEST(Numbers, DefaultTextHasAtMostFifteenSignificantDigits) {
    for (auto [d, text] :
         {std::pair{0.0, "0"}, {-0.0, "0"}, {150.0, "150"}, {1000000.0, "1000000"}, {15.5, "15.5"},
          {-135.0, "-135"}, {0.1 + 0.2, "0.3"}, {0.1 * 3, "0.3"}, {150 - 100.1, "49.9"},
          {1.0 / 3, "0.333333333333333"}, {-2.0 / 3, "-0.666666666666667"},
          {123456789012345.6, "123456789012346"}, {999999999999999.9, "1E+15"},
          {1e20 / 3, "3.33333333333333E+19"}, {6.5, "6.5"}})
        EXPECT_EQ(formatDouble(d), text) << text;
    // Stored values stay exact: only the text is rounded.
    EXPECT_EQ(toDouble(Value(0.1 * 3)), 0.1 * 3);
    EXPECT_EQ(toText(Value(30.5)) + toText(Value::i16(12)) + toText(Value(true)), "30.512True");
    EXPECT_EQ(formatPrintNumber(12) + formatPrintNumber(-12), " 12 -12 ");
}

TEST(Names, CaseIgnoredForNamesButNotForTexts) {
    EXPECT_TRUE(namesEqual("qqq", "QQQ") && namesEqual("EXPIRY_ DATE1", "expiry_ date1"));
    EXPECT_FALSE(namesEqual("EXPIRY_DATE1", "EXPIRY_ DATE1"));
    EXPECT_FALSE(Value("ABC") == Value("abc") || Value("5") == Value("05") || Value("a ") == Value("a"));
}

}  // namespace
}  // namespace mk
