#include <gtest/gtest.h>

#include "platform/value.h"
#include "support/harness.h"

namespace mk {
namespace {

using test::errorNumber;

TEST(Conversions, SixteenBitRoundsHalvesToEvenAndFailsOutOfRange) {
    EXPECT_EQ(toInt16(Value(2.5)), 2);
    EXPECT_EQ(toInt16(Value(3.5)), 4);
    EXPECT_EQ(toInt16(Value(12.5)), 12);
    EXPECT_EQ(toInt16(Value(13.5)), 14);
    EXPECT_EQ(toInt16(Value(-2.5)), -2);
    EXPECT_EQ(toInt16(Value(899.5)), 900);
    EXPECT_EQ(toInt16(Value("251.5")), 252);
    EXPECT_EQ(toInt16(Value(32767.0)), 32767);
    EXPECT_EQ(toInt16(Value(-32768.0)), -32768);
    EXPECT_EQ(errorNumber([] { toInt16(Value(32767.5)); }), err::Overflow);
    EXPECT_EQ(errorNumber([] { toInt16(Value(40000)); }), err::Overflow);
    EXPECT_EQ(errorNumber([] { toInt16(Value(-32769.0)); }), err::Overflow);
    EXPECT_EQ(errorNumber([] { toInt16(Value("abc")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([] { toInt16(Value("")); }), err::TypeMismatch);
}

TEST(Conversions, ThirtyTwoBitRange) {
    EXPECT_EQ(toInt32(Value(40000.5)), 40000);
    EXPECT_EQ(toInt32(Value(40001.5)), 40002);
    EXPECT_EQ(toInt32(Value(2147483647.0)), 2147483647);
    EXPECT_EQ(errorNumber([] { toInt32(Value(2147483648.0)); }), err::Overflow);
}

TEST(Conversions, LeadingNumber) {
    EXPECT_EQ(leadingNumber("123abc"), 123);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(" 12.5x"), 12.5);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-7 apples"), -7);
    EXPECT_EQ(leadingNumber("Text5"), 0);
    EXPECT_EQ(leadingNumber("1e3x"), 1000);
    EXPECT_EQ(leadingNumber("."), 0);
}

TEST(Conversions, StrictNumberAndDateFailOnOtherText) {
    EXPECT_EQ(toDouble(Value(" 12.5 ")), 12.5);
    EXPECT_EQ(toDouble(Value("7.0")), 7);
    EXPECT_EQ(errorNumber([] { toDouble(Value("12abc")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([] { toDouble(Value("")); }), err::TypeMismatch);
    for (const char* notANumber : {"inf", "-inf", "nan", "infinity", "1e999", "-1E400", "NAN"})
        EXPECT_EQ(errorNumber([&] { toDouble(Value(notANumber)); }), err::TypeMismatch)
            << notANumber;
    EXPECT_EQ(errorNumber([] { toDate(Value("not a date")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([] { toDate(Value("31/02/2020")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([] { toDate(Value("10")); }), err::TypeMismatch);
}

TEST(Conversions, NullCountsAsZeroAndEmptyText) {
    EXPECT_EQ(toDouble(Value::null()), 0);
    EXPECT_EQ(toInt16(Value::null()), 0);
    EXPECT_EQ(toText(Value::null()), "");
    EXPECT_FALSE(toBool(Value::null()));
    EXPECT_EQ(errorNumber([] { toDate(Value::null()); }), err::InvalidNull);
}

TEST(Dates, ShortFormIsDayFirstAndReadsBack) {
    double d = makeDate(2007, 10, 10);
    EXPECT_EQ(formatShortDate(d), "10/10/2007");
    EXPECT_EQ(formatShortDate(makeDate(2026, 3, 4)), "04/03/2026");
    EXPECT_EQ(*parseDate("04/03/2026"), makeDate(2026, 3, 4));
    EXPECT_EQ(*parseDate("1/1/2007"), makeDate(2007, 1, 1));
    EXPECT_EQ(*parseDate("10 / 4 / 2020"), makeDate(2020, 4, 10));
    EXPECT_EQ(*parseDate("2007-10-10"), d);
    for (double serial : {0.0, 1.0, 36526.0, 46000.0})
        EXPECT_EQ(*parseDate(formatShortDate(serial)), serial);
}

TEST(Dates, TwoDigitYearsAndSerials) {
    EXPECT_EQ(*parseDate("01/01/50"), makeDate(1950, 1, 1));
    EXPECT_EQ(*parseDate("10/10/07"), makeDate(2007, 10, 10));
    EXPECT_EQ(*parseDate("1/1/29"), makeDate(2029, 1, 1));
    EXPECT_EQ(makeDate(1899, 12, 30), 0);
    // True taken as a date is the day before 30 December 1899.
    EXPECT_EQ(formatShortDate(toDate(Value(true))), "29/12/1899");
    EXPECT_EQ(formatLongDate(makeDate(2026, 12, 6)), "الأحد، 6 ديسمبر 2026");
    EXPECT_EQ(formatLongDate(makeDate(2007, 10, 10)), "الأربعاء، 10 أكتوبر 2007");
    EXPECT_EQ(formatTime(makeDateTime(2026, 12, 6, 14, 5, 9)), "14:05:09");
    EXPECT_EQ(toText(Value::date(makeDateTime(2026, 12, 6, 14, 5, 9))), "06/12/2026 14:05:09");
    EXPECT_EQ(*parseDate("06/12/2026 14:05:09"), makeDateTime(2026, 12, 6, 14, 5, 9));
}

TEST(Numbers, DefaultTextHasAtMostFifteenSignificantDigits) {
    EXPECT_EQ(formatDouble(0), "0");
    EXPECT_EQ(formatDouble(-0.0), "0");
    EXPECT_EQ(formatDouble(150), "150");
    EXPECT_EQ(formatDouble(1000000), "1000000");
    EXPECT_EQ(formatDouble(15.5), "15.5");
    EXPECT_EQ(formatDouble(-135), "-135");
    EXPECT_EQ(formatDouble(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatDouble(0.1 * 3), "0.3");
    EXPECT_EQ(formatDouble(150 - 100.1), "49.9");
    EXPECT_EQ(formatDouble(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatDouble(-2.0 / 3), "-0.666666666666667");
    EXPECT_EQ(formatDouble(123456789012345.6), "123456789012346");
    EXPECT_EQ(formatDouble(999999999999999.9), "1E+15");
    EXPECT_EQ(formatDouble(1e20 / 3), "3.33333333333333E+19");
    // Stored values stay exact: only the text is rounded.
    EXPECT_EQ(toDouble(Value(0.1 * 3)), 0.1 * 3);
    EXPECT_EQ(formatDouble(6.5), "6.5");
    EXPECT_EQ(toText(Value(30.5)), "30.5");
    EXPECT_EQ(toText(Value::i16(12)), "12");
    EXPECT_EQ(toText(Value(true)), "True");
    EXPECT_EQ(formatPrintNumber(12), " 12 ");
    EXPECT_EQ(formatPrintNumber(-12), "-12 ");
}

TEST(Names, CaseIgnoredForNamesButNotForTexts) {
    EXPECT_TRUE(namesEqual("qqq", "QQQ"));
    EXPECT_TRUE(namesEqual("EXPIRY_ DATE1", "expiry_ date1"));
    EXPECT_FALSE(namesEqual("EXPIRY_DATE1", "EXPIRY_ DATE1"));
    EXPECT_FALSE(Value("ABC") == Value("abc"));
    EXPECT_FALSE(Value("5") == Value("05"));
    EXPECT_FALSE(Value("a ") == Value("a"));
}

}  // namespace
}  // namespace mk
