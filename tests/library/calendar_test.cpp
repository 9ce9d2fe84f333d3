#include "library/calendar.h"

#include <QCalendar>
#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

#include <cmath>

namespace
{

constexpr int Monday = 1, Wednesday = 3, Thursday = 4, Friday = 5, Saturday = 6, Sunday = 7;

// 2002-09-01 as a date-time value: days since 1899-12-30.
constexpr double Sep1st2002 = 37500.0;

double AtTime(double day, int h, int m, double s)
{
    return day + (h * 3600.0 + m * 60.0 + s) / 86400.0;
}

TDateRec Date(int y, int m, int d)
{
    return TDateRec{uint16_t(y), uint16_t(m), uint16_t(d)};
}

TDateRec Next(TDateRec d)
{
    NextDay(d);
    return d;
}

class CalendarTest : public ::testing::Test
{
  protected:
    void SetUp() override { InitCalendarDefaults(); }
    void TearDown() override { InitCalendarDefaults(); }

    static void UseTransition(const TDateRec& last, const TDateRec& first)
    {
        SetLastJulianDay(last);
        SetFirstGregorianDay(first);
    }
};

TEST_F(CalendarTest, DefaultTransition_NumbersAndWeekdays)
{
    EXPECT_EQ(JulianDayCount(Date(1, 1, 1)), 1);
    EXPECT_EQ(DayOfWeekRec(Date(1, 1, 1)), Saturday);

    // 1751 Julian years of 365 days plus 437 leap days, then January to
    // August of the leap year 1752 (244 days) and 2 days.
    const int n = 1751 * 365 + 437 + 244 + 2;
    EXPECT_EQ(LastJulianDayNumber(), n);
    EXPECT_EQ(DayNumber(Date(1752, 9, 2)), n);
    EXPECT_EQ(DayNumber(Date(1752, 9, 3)), n);
    EXPECT_EQ(DayNumber(Date(1752, 9, 5)), n);
    EXPECT_EQ(DayNumber(Date(1752, 9, 13)), n);
    EXPECT_EQ(DayNumber(Date(1752, 9, 14)), n + 1);
    EXPECT_EQ(DayNumber(Date(1752, 9, 15)), n + 2);

    EXPECT_EQ(DayOfWeekRec(Date(1752, 9, 2)), Wednesday);
    EXPECT_EQ(DayOfWeekRec(Date(1752, 9, 5)), Wednesday);
    EXPECT_EQ(DayOfWeekRec(Date(1752, 9, 14)), Thursday);
    EXPECT_EQ(DayOfWeekRec(Date(2002, 9, 1)), Sunday);
}

TEST_F(CalendarTest, WeekdaysAgreeWithJulianAndGregorianCalendarsEitherSide)
{
    const QCalendar julian(QCalendar::System::Julian);
    const QCalendar gregorian(QCalendar::System::Gregorian);
    const QDate jStart(1, 1, 1, julian);
    const QDate jEnd(1752, 9, 2, julian);
    for (QDate d = jStart; d <= jEnd; d = d.addDays(997)) {
        const QCalendar::YearMonthDay ymd = julian.partsFromDate(d);
        const TDateRec rec = Date(ymd.year, ymd.month, ymd.day);
        ASSERT_EQ(DayOfWeekRec(rec), d.dayOfWeek())
            << ymd.year << "-" << ymd.month << "-" << ymd.day;
        ASSERT_EQ(DayNumber(rec), int(jStart.daysTo(d)) + 1);
    }
    const QDate gStart(1752, 9, 14);
    for (QDate d = gStart; d <= QDate(9999, 12, 31); d = d.addDays(1009)) {
        const TDateRec rec = Date(d.year(), d.month(), d.day());
        ASSERT_EQ(DayOfWeekRec(rec), d.dayOfWeek()) << d.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(DayNumber(rec), LastJulianDayNumber() + 1 + int(gStart.daysTo(d)));
    }
    // The very last day has a number too, one after the day before.
    EXPECT_EQ(DayNumber(Date(9999, 12, 31)), DayNumber(Date(9999, 12, 30)) + 1);
    EXPECT_EQ(DayOfWeekRec(Date(9999, 12, 31)), QDate(9999, 12, 31).dayOfWeek());
}

TEST_F(CalendarTest, LeapYearsFollowTheTransition)
{
    EXPECT_TRUE(IsJulianLeapYear(1900));
    EXPECT_FALSE(IsGregorianLeapYear(1900));
    EXPECT_TRUE(IsGregorianLeapYear(2000));
    EXPECT_FALSE(IsGregorianLeapYear(2001));

    EXPECT_EQ(Next(Date(1700, 2, 28)), Date(1700, 2, 29));
    EXPECT_EQ(Next(Date(1700, 2, 29)), Date(1700, 3, 1));
    EXPECT_EQ(Next(Date(1900, 2, 28)), Date(1900, 3, 1));
    EXPECT_EQ(Next(Date(2000, 2, 28)), Date(2000, 2, 29));
    EXPECT_EQ(Next(Date(2001, 12, 31)), Date(2002, 1, 1));
    // The gap is stepped through like any other days.
    EXPECT_EQ(Next(Date(1752, 9, 2)), Date(1752, 9, 3));

    LoadMonthLengths(Date(1700, 5, 1));
    EXPECT_EQ(YearMonthLengths()[2], 29);
    LoadMonthLengths(Date(1900, 5, 1));
    EXPECT_EQ(YearMonthLengths()[2], 28);
    EXPECT_EQ(YearMonthLengths()[12], 31);

    TDateRec d = Date(1900, 2, 28);
    NextDayGregorian(d);
    EXPECT_EQ(d, Date(1900, 3, 1));
    d = Date(1700, 2, 28);
    NextDayGregorian(d);
    EXPECT_EQ(d, Date(1700, 3, 1));
}

TEST_F(CalendarTest, TransitionOf1582)
{
    UseTransition(Date(1582, 10, 4), Date(1582, 10, 15));
    EXPECT_EQ(DayOfWeekRec(Date(1582, 10, 4)), Thursday);
    EXPECT_EQ(DayOfWeekRec(Date(1582, 10, 15)), Friday);
    EXPECT_EQ(DayNumber(Date(1582, 10, 15)), DayNumber(Date(1582, 10, 4)) + 1);
    EXPECT_FALSE(IsLeapYearAt(Date(1700, 1, 1)));
    EXPECT_EQ(Next(Date(1700, 2, 28)), Date(1700, 3, 1));
    EXPECT_EQ(DayOfWeekRec(Date(2002, 9, 1)), Sunday);
    // Under the default transition the same day is still Julian: a Monday.
    InitCalendarDefaults();
    EXPECT_EQ(DayOfWeekRec(Date(1582, 10, 15)), Monday);
}

TEST_F(CalendarTest, LeapRuleComparesTheWholeDate)
{
    UseTransition(Date(1700, 2, 10), Date(1700, 2, 21));
    EXPECT_TRUE(IsLeapYearAt(Date(1700, 2, 10)));
    EXPECT_FALSE(IsLeapYearAt(Date(1700, 2, 11)));
    EXPECT_EQ(Next(Date(1700, 2, 28)), Date(1700, 3, 1));
    EXPECT_EQ(GetLastJulianDay(), Date(1700, 2, 10));
    EXPECT_EQ(GetFirstGregorianDay(), Date(1700, 2, 21));
    EXPECT_EQ(LastJulianDayNumber(), JulianDayCount(Date(1700, 2, 10)));
}

// The direct count must equal stepping NextDayGregorian from the first
// Gregorian day, for every day up to year 9999 and for days that do not
// exist between them.
TEST_F(CalendarTest, CountFromFirstGregorianEqualsSteppingDayByDay)
{
    for (const TDateRec& first :
         {Date(1752, 9, 14), Date(1582, 10, 15), Date(1900, 2, 30), Date(1800, 13, 4)}) {
        SetFirstGregorianDay(first);
        EXPECT_EQ(CountFromFirstGregorian(Date(first.Year, first.Month, first.Day - 1)), 0);
        EXPECT_EQ(CountFromFirstGregorian(Date(1, 1, 1)), 0);
        TDateRec walk = first;
        int steps = 0;
        int checked = 0;
        while (walk.Year != 0) {
            ++steps;
            ASSERT_EQ(CountFromFirstGregorian(walk), steps)
                << walk.Year << "-" << walk.Month << "-" << walk.Day;
            const TDateRec before = walk;
            NextDayGregorian(walk);
            if (walk.Day == 1 && walk.Year != 0) {
                // Days past the end of the month just left, and a month 13,
                // count like the month's last day.
                ASSERT_EQ(CountFromFirstGregorian(Date(before.Year, before.Month, 31)), steps);
                ASSERT_EQ(CountFromFirstGregorian(Date(walk.Year, walk.Month, 0)), steps);
                if (walk.Month == 1) {
                    ASSERT_EQ(CountFromFirstGregorian(Date(before.Year, 13, 5)), steps);
                }
                ++checked;
            }
        }
        EXPECT_GT(checked, 12 * 8000);
        EXPECT_EQ(CountFromFirstGregorian(Date(9999, 12, 31)), steps);
    }
}

TEST_F(CalendarTest, YearAndMonthStepping)
{
    TDateRec d = Date(9999, 5, 6);
    NextYear(d);
    EXPECT_EQ(d, Date(0, 5, 6));
    PrevYear(d);
    EXPECT_EQ(d, Date(9999, 5, 6));
    EXPECT_EQ(DayNumber(Date(0, 5, 6)), -1);
    EXPECT_EQ(DayOfWeekRec(Date(0, 5, 6)), 0);

    d = Date(2001, 1, 31);
    NextMonth(d);
    EXPECT_EQ(d, Date(2001, 2, 31));
    d = Date(2001, 12, 3);
    NextMonth(d);
    EXPECT_EQ(d, Date(2002, 1, 3));
    PrevMonth(d);
    EXPECT_EQ(d, Date(2001, 12, 3));
    d = Date(0, 1, 3);
    PrevMonth(d);
    EXPECT_EQ(d, Date(9999, 12, 3));
    EXPECT_EQ(Next(Date(9999, 12, 31)), Date(0, 1, 1));
}

TEST_F(CalendarTest, StrayMonthsHaveNoDaysInsteadOfReadingPastTheTable)
{
    EXPECT_EQ(Next(Date(2001, 13, 5)), Date(2002, 1, 1));
    EXPECT_EQ(Next(Date(2001, 0, 5)), Date(2001, 1, 1));
    EXPECT_EQ(JulianDayCount(Date(2001, 13, 0)), JulianDayCount(Date(2002, 1, 0)));
    EXPECT_EQ(JulianDayCount(Date(2001, 60000, 0)), JulianDayCount(Date(2002, 1, 0)));
    // Stepping never visits a month 200: it counts as the year's last day.
    EXPECT_EQ(DayNumber(Date(2001, 200, 1)), DayNumber(Date(2001, 12, 31)));
}

TEST_F(CalendarTest, ComparisonsGoByYearThenMonthThenDay)
{
    EXPECT_EQ(CompareDates(Date(2002, 12, 1), Date(2003, 1, 1)), -1);
    EXPECT_EQ(CompareDates(Date(2003, 1, 2), Date(2003, 1, 1)), 1);
    EXPECT_EQ(CompareDates(Date(2003, 2, 1), Date(2003, 1, 31)), 1);
    EXPECT_TRUE(SameDate(Date(2003, 1, 1), Date(2003, 1, 1)));
    EXPECT_TRUE(DateIsAfter(Date(2003, 1, 2), Date(2003, 1, 1)));
    EXPECT_TRUE(DateIsBefore(Date(2003, 1, 1), Date(2003, 1, 2)));
    EXPECT_TRUE(DateNotAfter(Date(2003, 1, 1), Date(2003, 1, 1)));
    EXPECT_FALSE(DateNotAfter(Date(2003, 1, 2), Date(2003, 1, 1)));
}

TEST_F(CalendarTest, DateTimeValuesRoundToTheSecondAndCarry)
{
    EXPECT_EQ(DateRecFromDateTime(0), TDateRec{});
    EXPECT_EQ(DateRecFromDateTime(Sep1st2002), Date(2002, 9, 1));
    EXPECT_EQ(DateRecFromDateTime(AtTime(Sep1st2002, 14, 30, 5)), Date(2002, 9, 1));
    EXPECT_EQ(TimeRecFromTime(AtTime(Sep1st2002, 14, 30, 5)), (TTimeRec{14, 30, 5}));

    EXPECT_EQ(DateTimeRecFromDateTime(AtTime(Sep1st2002, 12, 0, 0.499)),
              (TDateTimeRec{Date(2002, 9, 1), TTimeRec{12, 0, 0}}));
    EXPECT_EQ(DateTimeRecFromDateTime(AtTime(Sep1st2002, 12, 0, 0.5)),
              (TDateTimeRec{Date(2002, 9, 1), TTimeRec{12, 0, 1}}));
    EXPECT_EQ(DateTimeRecFromDateTime(AtTime(Sep1st2002, 23, 59, 59.5)),
              (TDateTimeRec{Date(2002, 9, 2), TTimeRec{0, 0, 0}}));
    EXPECT_EQ(DateTimeRecFromDateTime(AtTime(Sep1st2002, 23, 59, 59.6)),
              (TDateTimeRec{Date(2002, 9, 2), TTimeRec{0, 0, 0}}));
    // 2001-12-31 is 365 days before 2002-01-01, which is 243 days before
    // 2002-09-01: the carry crosses the year.
    EXPECT_EQ(DateTimeRecFromDateTime(AtTime(Sep1st2002 - 243 - 1, 23, 59, 59.5)),
              (TDateTimeRec{Date(2002, 1, 1), TTimeRec{0, 0, 0}}));
    EXPECT_EQ(TimeRecFromTime(AtTime(Sep1st2002, 23, 59, 59.5)), (TTimeRec{24, 0, 0}));

    // Before 1899-12-30 the fraction still counts forward from midnight.
    EXPECT_EQ(DateTimeRecFromDateTime(-1.25),
              (TDateTimeRec{Date(1899, 12, 29), TTimeRec{6, 0, 0}}));
    // Values that are no date at all give no date rather than garbage.
    EXPECT_EQ(DateRecFromDateTime(1e300), TDateRec{});
    EXPECT_EQ(DateRecFromDateTime(std::nan("")), TDateRec{});
    EXPECT_EQ(TimeRecFromTime(-1e300), TTimeRec{});
}

TEST_F(CalendarTest, NormaliseCarriesSecondsMinutesHoursAndDays)
{
    TTimeRec t{1, 119, 125};
    NormaliseTime(t);
    EXPECT_EQ(t, (TTimeRec{3, 1, 5}));
    t = TTimeRec{30, 0, 0};
    NormaliseTime(t);
    EXPECT_EQ(t.Hour, 30);

    TDateTimeRec dt{Date(2000, 2, 28), TTimeRec{47, 60, 0}};
    NormaliseDateTime(dt);
    EXPECT_EQ(dt, (TDateTimeRec{Date(2000, 3, 1), TTimeRec{0, 0, 0}}));
}

TEST_F(CalendarTest, NowAgreesWithTheClock)
{
    const QDateTime before = QDateTime::currentDateTime();
    const TDateTimeRec now = NowRec();
    const QDateTime after = QDateTime::currentDateTime();
    const QDate date(now.Date.Year, now.Date.Month, now.Date.Day);
    const QDateTime seen(date, QTime(now.Time.Hour % 24, now.Time.Minute, now.Time.Second));
    EXPECT_GE(seen, before.addSecs(-1));
    EXPECT_LE(seen, after.addSecs(1));
    EXPECT_TRUE(SameDate(TodayRec(), now.Date) || SameDate(TodayRec(), Next(now.Date)));
}

} // namespace
