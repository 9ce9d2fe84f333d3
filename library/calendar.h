#pragma once
// Calendar records and date arithmetic. Dates are small records rather than
// floating date-times, and days are counted across a settable transition
// from the Julian to the Gregorian calendar: dates up to LastJulianDay take
// the Julian leap rule, dates from FirstGregorianDay on the Gregorian rule,
// and the dates between the two share the number of LastJulianDay.
//
// The routines check no field's range: Month 1-12 and Day 1-31 are the
// caller's business. A month outside 1-12 simply has no days.

#include <array>
#include <cstdint>

class QDateTime;

// All three 0 is "no date". Year 0 exists as a value but has no day number.
struct TDateRec {
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;

    friend bool operator==(const TDateRec&, const TDateRec&) = default;
};

struct TTimeRec {
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;

    friend bool operator==(const TTimeRec&, const TTimeRec&) = default;
};

struct TDateTimeRec {
    TDateRec Date;
    TTimeRec Time;

    friend bool operator==(const TDateTimeRec&, const TDateTimeRec&) = default;
};

using TMonthLengths = std::array<uint16_t, 13>;

// Days of each month in a common year, index 1 to 12; index 0 is 0.
inline constexpr TMonthLengths MonthLengths = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Start-up defaults of the calendar: the month-length table loaded with
// the common year, and the transition 1752-09-02 / 1752-09-14.
void InitCalendarDefaults();

bool IsJulianLeapYear(int year);
bool IsGregorianLeapYear(int year);
// Julian rule on or before LastJulianDay, Gregorian after it; the whole
// date is compared, not only the year.
bool IsLeapYearAt(const TDateRec& date);

// The month lengths of the year of the last date given to LoadMonthLengths
// (February 29 when IsLeapYearAt that date); the calendar grid reads it.
const TMonthLengths& YearMonthLengths();
void LoadMonthLengths(const TDateRec& date);

// Days from 0001-01-01 (which gives 1), with the Julian rule for every
// earlier year and the leap rule at the date for its own February.
int JulianDayCount(const TDateRec& date);

void SetLastJulianDay(const TDateRec& date);
TDateRec GetLastJulianDay();
// JulianDayCount(LastJulianDay), kept with it.
int LastJulianDayNumber();
void SetFirstGregorianDay(const TDateRec& date);
TDateRec GetFirstGregorianDay();

// Continuous day number across the transition; -1 for year 0.
int DayNumber(const TDateRec& date);
// 1 Monday ... 7 Sunday; 0 for year 0.
int DayOfWeekRec(const TDateRec& date);

// By Year, then Month, then Day: -1, 0 or 1.
int CompareDates(const TDateRec& a, const TDateRec& b);
bool SameDate(const TDateRec& a, const TDateRec& b);
bool DateIsAfter(const TDateRec& a, const TDateRec& b);
bool DateIsBefore(const TDateRec& a, const TDateRec& b);
bool DateNotAfter(const TDateRec& a, const TDateRec& b);

// Year + 1 with 9999 followed by 0; Year - 1 with 0 followed by 9999.
void NextYear(TDateRec& date);
void PrevYear(TDateRec& date);
// The day is kept as it is: 31 January steps to 31 February.
void NextMonth(TDateRec& date);
void PrevMonth(TDateRec& date);
// Steps through the days of the transition gap like any others.
void NextDay(TDateRec& date);
// As NextDay, with the Gregorian leap rule whatever the transition.
void NextDayGregorian(TDateRec& date);
// How many days NextDayGregorian steps from FirstGregorianDay up to the
// date: 1 for FirstGregorianDay itself, 0 for any earlier date.
int CountFromFirstGregorian(const TDateRec& date);

void ClearDateRec(TDateRec& date);
// Year * 10000 + Month * 100 + Day.
int DateAsNumber(const TDateRec& date);
// Hour * 10000 + Minute * 100 + Second.
int TimeAsNumber(const TTimeRec& time);

// A date-time value is days since 1899-12-30 with the time of day as the
// fraction; before that day the fraction still counts forward from
// midnight. Decoding always takes the Gregorian rule.
//
// The zero record for exactly 0, and for a value that is not a date from
// 0001-01-01 to 9999-12-31.
TDateRec DateRecFromDateTime(double value);
// The time of day, rounded to the nearest second (half a second upward);
// 23:59:59.5 gives 24:00:00, which NormaliseDateTime carries into the date.
TTimeRec TimeRecFromTime(double value);
// Carries 60 seconds into a minute and 60 minutes into an hour; hours are
// not wrapped.
void NormaliseTime(TTimeRec& time);
// NormaliseTime, then carries each 24 hours into the next day.
void NormaliseDateTime(TDateTimeRec& dateTime);
TDateTimeRec DateTimeRecFromDateTime(double value);

// A local date and time as a date-time value.
double DateTimeValueOf(const QDateTime& dateTime);
// The current local date and time as a date-time value.
double NowDateTime();
TDateRec TodayRec();
TTimeRec TimeRecNow();
TDateTimeRec NowRec();
