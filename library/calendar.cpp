#include "library/calendar.h"

#include "library/datetexts.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{

constexpr int64_t MsPerDay = 86400000;
// Date-time values of 0001-01-01 and of the day after 9999-12-31, with a
// little room; anything further out is no date at all.
constexpr double EarliestValue = -693600.0;
constexpr double LatestValue = 2958470.0;

// Days of a month in a table; a month outside 1-12 has none, so a stray
// record steps on instead of reading past the table.
int MonthLength(const TMonthLengths& table, int month)
{
    return month >= 1 && month <= 12 ? table[size_t(month)] : 0;
}

int JulianDaysBeforeYear(int year)
{
    return year <= 1 ? 0 : (year - 1) * 365 + (year - 1) / 4;
}

// The Julian count of the default transition, for the state before start-up.
int JulianCountOf(const TDateRec& d)
{
    int count = JulianDaysBeforeYear(d.Year);
    for (int m = 1; m < std::min<int>(d.Month, 13); ++m)
        count += MonthLength(MonthLengths, m) + (m == 2 && IsJulianLeapYear(d.Year) ? 1 : 0);
    return count + d.Day;
}

struct CalendarState {
    TMonthLengths yearMonthLengths = MonthLengths;
    TDateRec lastJulianDay{1752, 9, 2};
    TDateRec firstGregorianDay{1752, 9, 14};
    int lastJulianDayNumber = JulianCountOf(TDateRec{1752, 9, 2});
};

CalendarState& State()
{
    static CalendarState state;
    return state;
}

int GregorianMonthLength(int month, int year)
{
    return MonthLength(MonthLengths, month) + (month == 2 && IsGregorianLeapYear(year) ? 1 : 0);
}

// How many days of the Gregorian calendar, counted from year 0, lie on or
// before the date (which need not exist itself: 2001-02-31 counts every
// day of February 2001).
int64_t GregorianDaysUpTo(const TDateRec& d)
{
    const int64_t y = d.Year;
    int64_t days = 0;
    if (y > 0)
        days = 365 * y + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400 + 1; // year 0 is a leap year
    for (int m = 1; m < std::min<int>(d.Month, 13); ++m)
        days += GregorianMonthLength(m, d.Year);
    if (d.Month >= 1 && d.Month <= 12)
        days += std::min<int>(d.Day, GregorianMonthLength(d.Month, d.Year));
    return days;
}

void StepDay(TDateRec& d, bool leapYear)
{
    if (d.Day < MonthLength(MonthLengths, d.Month) || (d.Month == 2 && d.Day == 28 && leapYear)) {
        ++d.Day;
    } else {
        NextMonth(d);
        d.Day = 1;
    }
}

// The value in whole milliseconds, rounded as the date-time decoding does;
// false for a value that is no date-time.
bool ToMilliseconds(double value, int64_t& ms)
{
    if (!std::isfinite(value) || value < EarliestValue || value > LatestValue)
        return false;
    ms = int64_t(std::nearbyint(value * double(MsPerDay)));
    return true;
}

} // namespace

void InitCalendarDefaults()
{
    State().yearMonthLengths = MonthLengths;
    SetLastJulianDay(IsoDateOrZero(QStringLiteral("1752-09-02")));
    SetFirstGregorianDay(IsoDateOrZero(QStringLiteral("1752-09-14")));
}

bool IsJulianLeapYear(int year)
{
    return year % 4 == 0;
}

bool IsGregorianLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsLeapYearAt(const TDateRec& date)
{
    if (DateNotAfter(date, State().lastJulianDay))
        return IsJulianLeapYear(date.Year);
    return IsGregorianLeapYear(date.Year);
}

const TMonthLengths& YearMonthLengths()
{
    return State().yearMonthLengths;
}

void LoadMonthLengths(const TDateRec& date)
{
    TMonthLengths& table = State().yearMonthLengths;
    table = MonthLengths;
    if (IsLeapYearAt(date))
        table[2] = 29;
}

int JulianDayCount(const TDateRec& date)
{
    LoadMonthLengths(date);
    int count = JulianDaysBeforeYear(date.Year);
    for (int m = 1; m < std::min<int>(date.Month, 13); ++m)
        count += State().yearMonthLengths[size_t(m)];
    return count + date.Day;
}

void SetLastJulianDay(const TDateRec& date)
{
    State().lastJulianDay = date;
    State().lastJulianDayNumber = JulianDayCount(date);
}

TDateRec GetLastJulianDay()
{
    return State().lastJulianDay;
}

int LastJulianDayNumber()
{
    return State().lastJulianDayNumber;
}

void SetFirstGregorianDay(const TDateRec& date)
{
    State().firstGregorianDay = date;
}

TDateRec GetFirstGregorianDay()
{
    return State().firstGregorianDay;
}

int DayNumber(const TDateRec& date)
{
    if (date.Year == 0)
        return -1;
    const CalendarState& s = State();
    TDateRec p = date;
    if (DateIsAfter(date, s.lastJulianDay) && DateIsBefore(date, s.firstGregorianDay))
        p = s.lastJulianDay; // a day of the gap
    if (DateIsAfter(p, s.lastJulianDay))
        return s.lastJulianDayNumber + CountFromFirstGregorian(p);
    return JulianDayCount(p);
}

int DayOfWeekRec(const TDateRec& date)
{
    if (date.Year == 0)
        return 0;
    return ((DayNumber(date) + 4) % 7 + 7) % 7 + 1;
}

int CompareDates(const TDateRec& a, const TDateRec& b)
{
    if (a.Year != b.Year)
        return a.Year < b.Year ? -1 : 1;
    if (a.Month != b.Month)
        return a.Month < b.Month ? -1 : 1;
    if (a.Day != b.Day)
        return a.Day < b.Day ? -1 : 1;
    return 0;
}

bool SameDate(const TDateRec& a, const TDateRec& b)
{
    return CompareDates(a, b) == 0;
}

bool DateIsAfter(const TDateRec& a, const TDateRec& b)
{
    return CompareDates(a, b) > 0;
}

bool DateIsBefore(const TDateRec& a, const TDateRec& b)
{
    return CompareDates(a, b) < 0;
}

bool DateNotAfter(const TDateRec& a, const TDateRec& b)
{
    return CompareDates(a, b) <= 0;
}

void NextYear(TDateRec& date)
{
    date.Year = date.Year >= 9999 ? 0 : uint16_t(date.Year + 1);
}

void PrevYear(TDateRec& date)
{
    date.Year = date.Year == 0 ? 9999 : uint16_t(date.Year - 1);
}

void NextMonth(TDateRec& date)
{
    if (date.Month >= 12) {
        date.Month = 1;
        NextYear(date);
    } else {
        ++date.Month;
    }
}

void PrevMonth(TDateRec& date)
{
    if (date.Month <= 1) {
        date.Month = 12;
        PrevYear(date);
    } else {
        --date.Month;
    }
}

void NextDay(TDateRec& date)
{
    StepDay(date, IsLeapYearAt(date));
}

void NextDayGregorian(TDateRec& date)
{
    StepDay(date, IsGregorianLeapYear(date.Year));
}

// Counted directly rather than by stepping day by day: the result is the
// same, without 100,000 steps for a present-day date, and a date at the end
// of year 9999 (where stepping would wrap to year 0 and never pass it)
// gets its count too.
int CountFromFirstGregorian(const TDateRec& date)
{
    const TDateRec first = State().firstGregorianDay;
    if (DateIsBefore(date, first))
        return 0;
    // The first step may leave a day that does not exist (30 February);
    // every later step lands on the next day of the Gregorian calendar.
    TDateRec second = first;
    NextDayGregorian(second);
    if (!DateIsAfter(second, first))
        return 1;
    const int64_t later = GregorianDaysUpTo(date) - GregorianDaysUpTo(second) + 1;
    return 1 + int(std::max<int64_t>(0, later));
}

void ClearDateRec(TDateRec& date)
{
    date = TDateRec();
}

int DateAsNumber(const TDateRec& date)
{
    return date.Year * 10000 + date.Month * 100 + date.Day;
}

int TimeAsNumber(const TTimeRec& time)
{
    return time.Hour * 10000 + time.Minute * 100 + time.Second;
}

TDateRec DateRecFromDateTime(double value)
{
    int64_t ms = 0;
    if (value == 0 || !ToMilliseconds(value, ms))
        return TDateRec();
    // Whole days toward zero: before 1899-12-30 the fraction still counts
    // forward from midnight of the day.
    const QDate date = QDate(1899, 12, 30).addDays(ms / MsPerDay);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return TDateRec();
    return TDateRec{uint16_t(date.year()), uint16_t(date.month()), uint16_t(date.day())};
}

TTimeRec TimeRecFromTime(double value)
{
    int64_t ms = 0;
    if (!ToMilliseconds(value, ms))
        return TTimeRec();
    const int64_t ofDay = std::llabs(ms) % MsPerDay;
    TTimeRec time{uint16_t(ofDay / 3600000), uint16_t(ofDay / 60000 % 60),
                  uint16_t(ofDay / 1000 % 60)};
    if (ofDay % 1000 >= 500) {
        ++time.Second;
        NormaliseTime(time);
    }
    return time;
}

void NormaliseTime(TTimeRec& time)
{
    while (time.Second >= 60) {
        time.Second -= 60;
        ++time.Minute;
    }
    while (time.Minute >= 60) {
        time.Minute -= 60;
        ++time.Hour;
    }
}

void NormaliseDateTime(TDateTimeRec& dateTime)
{
    NormaliseTime(dateTime.Time);
    while (dateTime.Time.Hour > 23) {
        dateTime.Time.Hour -= 24;
        NextDay(dateTime.Date);
    }
}

TDateTimeRec DateTimeRecFromDateTime(double value)
{
    TDateTimeRec out{DateRecFromDateTime(value), TimeRecFromTime(value)};
    NormaliseDateTime(out);
    return out;
}

double DateTimeValueOf(const QDateTime& dateTime)
{
    return double(QDate(1899, 12, 30).daysTo(dateTime.date())) +
           dateTime.time().msecsSinceStartOfDay() / double(MsPerDay);
}

double NowDateTime()
{
    return DateTimeValueOf(QDateTime::currentDateTime());
}

TDateRec TodayRec()
{
    return DateRecFromDateTime(std::trunc(NowDateTime()));
}

TTimeRec TimeRecNow()
{
    return TimeRecFromTime(NowDateTime());
}

TDateTimeRec NowRec()
{
    // One reading of the clock for both halves, so a call at midnight
    // cannot pair one day's date with the next day's time.
    const double now = NowDateTime();
    TDateTimeRec out{DateRecFromDateTime(std::trunc(now)), TimeRecFromTime(now)};
    NormaliseDateTime(out);
    return out;
}
