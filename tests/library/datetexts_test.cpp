#include "library/datetexts.h"

#include "library/textnum.h"

#include <gtest/gtest.h>

namespace
{

constexpr double Sep1st2002 = 37500.0; // days since 1899-12-30

TDateRec Date(int y, int m, int d)
{
    return TDateRec{uint16_t(y), uint16_t(m), uint16_t(d)};
}

class DateTextsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        SetPadChar(QLatin1Char('0'));
        InitCalendarDefaults();
    }
    void TearDown() override
    {
        SetPadChar(QLatin1Char('0'));
        InitCalendarDefaults();
    }
};

TEST_F(DateTextsTest, NamesOutsideTheirRangeAreEmpty)
{
    EXPECT_EQ(MonthName(1), QStringLiteral("January"));
    EXPECT_EQ(MonthName(12), QStringLiteral("December"));
    EXPECT_EQ(MonthName(0), QString());
    EXPECT_EQ(MonthName(13), QString());
    EXPECT_EQ(DayName(1), QStringLiteral("Monday"));
    EXPECT_EQ(DayName(7), QStringLiteral("Sunday"));
    EXPECT_EQ(DayName(8), QString());
    EXPECT_EQ(DayAbbrev(3), QStringLiteral("Wed"));
    EXPECT_EQ(DayAbbrev(0), QString());
}

TEST_F(DateTextsTest, IsoDatesWithAndWithoutWeekday)
{
    EXPECT_EQ(IsoDateText(Date(845, 3, 7)), QStringLiteral("0845-03-07"));
    EXPECT_EQ(IsoDateText(TDateRec{}), QStringLiteral("0000-00-00"));
    EXPECT_EQ(IsoDateDayAbbrev(Date(2002, 9, 1)), QStringLiteral("2002-09-01 (Sun)"));
    EXPECT_EQ(IsoDateDayName(Date(2002, 9, 1)), QStringLiteral("2002-09-01 (Sunday)"));
    EXPECT_EQ(IsoDateDayAbbrev(Date(0, 5, 1)), QStringLiteral("0000-05-01 ()"));
    // Weekdays follow the calendar transition.
    EXPECT_EQ(IsoDateDayAbbrev(Date(1582, 10, 15)), QStringLiteral("1582-10-15 (Mon)"));
    SetLastJulianDay(Date(1582, 10, 4));
    SetFirstGregorianDay(Date(1582, 10, 15));
    EXPECT_EQ(IsoDateDayName(Date(1582, 10, 15)), QStringLiteral("1582-10-15 (Friday)"));
    // Padding takes the library's fill character (blank in the calendar grid).
    SetPadChar(QLatin1Char(' '));
    EXPECT_EQ(IsoDateText(Date(845, 3, 7)), QStringLiteral(" 845- 3- 7"));
}

TEST_F(DateTextsTest, TimesAndMinutes)
{
    EXPECT_EQ(HHMMText(TTimeRec{9, 5, 59}), QStringLiteral("09:05"));
    EXPECT_EQ(HHMMSSText(TTimeRec{9, 5, 7}), QStringLiteral("09:05:07"));
    EXPECT_EQ(MinutesToHHMM(125), QStringLiteral("02:05"));
    EXPECT_EQ(MinutesToHHMM(6000), QStringLiteral("100:00"));
    EXPECT_EQ(MinutesToHHMM(0), QStringLiteral("00:00"));
    EXPECT_EQ(MinutesToHHMM(-1), QStringLiteral("error"));
}

TEST_F(DateTextsTest, EveryStyleOfFormatDateTimeRec)
{
    const TDateTimeRec dt{Date(2002, 9, 1), TTimeRec{14, 30, 5}};
    EXPECT_EQ(FormatDateTimeRec(dt, 0), QStringLiteral("20020901143005"));
    EXPECT_EQ(FormatDateTimeRec(dt, 1), QStringLiteral("2002-09-01 14:30:05"));
    EXPECT_EQ(FormatDateTimeRec(dt, 2), QStringLiteral("2002-09-01 14:30 "));
    EXPECT_EQ(FormatDateTimeRec(dt, 3), QStringLiteral("2002-09-01 (Sun) 14:30"));
    EXPECT_EQ(FormatDateTimeRec(dt, 4), QStringLiteral("2002-09-01 (Sunday) 14:30"));
    EXPECT_EQ(FormatDateTimeRec(dt, 7), QStringLiteral("?"));
    EXPECT_EQ(FormatDateTimeRec(dt, -1), QStringLiteral("?"));
    // Style 0 keeps its fixed width for small years and early hours.
    EXPECT_EQ(FormatDateTimeRec(TDateTimeRec{Date(845, 3, 7), TTimeRec{1, 2, 3}}, 0),
              QStringLiteral("08450307010203"));
}

TEST_F(DateTextsTest, ValuesRoundToTheSecondIntoTheNextDay)
{
    const double lateEvening = Sep1st2002 + (23 * 3600 + 59 * 60 + 59.7) / 86400.0;
    EXPECT_EQ(FormatDateTimeValue(1, lateEvening), QStringLiteral("2002-09-02 00:00:00"));
    const double noon = Sep1st2002 + (12 * 3600 + 0.499) / 86400.0;
    EXPECT_EQ(FormatDateTimeValue(1, noon), QStringLiteral("2002-09-01 12:00:00"));
    EXPECT_EQ(FormatDateTimeValue(1, 0), QStringLiteral("0000-00-00 00:00:00"));
}

TEST_F(DateTextsTest, ParseWordKeepsTheLowSixteenBits)
{
    uint16_t w = 77;
    EXPECT_FALSE(ParseWord(QString(), w));
    EXPECT_EQ(w, 77);
    EXPECT_FALSE(ParseWord(QStringLiteral("12 "), w));
    EXPECT_FALSE(ParseWord(QStringLiteral("1x"), w));
    EXPECT_EQ(w, 77);
    ASSERT_TRUE(ParseWord(QStringLiteral(" 12"), w));
    EXPECT_EQ(w, 12);
    ASSERT_TRUE(ParseWord(QStringLiteral("70000"), w));
    EXPECT_EQ(w, 70000 - 65536);
    ASSERT_TRUE(ParseWord(QStringLiteral("-1"), w));
    EXPECT_EQ(w, 65535);
    ASSERT_TRUE(ParseWord(QStringLiteral("$7D2"), w));
    EXPECT_EQ(w, 2002);
}

TEST_F(DateTextsTest, ParseIsoDateReadsFixedPositions)
{
    TDateRec d = Date(1, 2, 3);
    EXPECT_FALSE(ParseIsoDate(QStringLiteral("YYYY-MM-DD"), d));
    EXPECT_FALSE(ParseIsoDate(QStringLiteral("yyyy-mm-dd"), d));
    EXPECT_FALSE(ParseIsoDate(QStringLiteral("2002-9-1"), d));
    EXPECT_FALSE(ParseIsoDate(QStringLiteral("2002-09-0x"), d));
    EXPECT_FALSE(ParseIsoDate(QString(), d));
    EXPECT_EQ(d, Date(1, 2, 3));

    ASSERT_TRUE(ParseIsoDate(QStringLiteral("2002/09/01"), d));
    EXPECT_EQ(d, Date(2002, 9, 1));
    ASSERT_TRUE(ParseIsoDate(QStringLiteral("2002-13-45"), d));
    EXPECT_EQ(d, Date(2002, 13, 45));
    ASSERT_TRUE(ParseIsoDate(QStringLiteral("0845-03-07 (Sat) and more"), d));
    EXPECT_EQ(d, Date(845, 3, 7));

    EXPECT_EQ(IsoDateOrZero(QStringLiteral("1752-09-02")), Date(1752, 9, 2));
    EXPECT_EQ(IsoDateOrZero(QStringLiteral("not a date")), TDateRec{});
    // What the texts write, the parser reads back.
    const TDateRec back = IsoDateOrZero(IsoDateDayName(Date(1999, 12, 31)));
    EXPECT_EQ(back, Date(1999, 12, 31));
}

} // namespace
