#pragma once
// Date and time texts: dates year first with "-" between the parts,
// optionally followed by the weekday in brackets, times as hh:mm or
// hh:mm:ss. Weekdays follow the calendar's settable transition; padding
// uses PadNumber and so its fill character.

#include "library/calendar.h"

#include <QString>
#include <cstdint>

// English names for 1 to 12 and 1 (Monday) to 7; the empty text otherwise.
QString MonthName(int month);
QString DayName(int day);
// Mon ... Sun.
QString DayAbbrev(int day);

// 2002-09-01
QString IsoDateText(const TDateRec& date);
// 2002-09-01 (Sun)
QString IsoDateDayAbbrev(const TDateRec& date);
// 2002-09-01 (Sunday)
QString IsoDateDayName(const TDateRec& date);
QString HHMMText(const TTimeRec& time);
QString HHMMSSText(const TTimeRec& time);
// hh:mm for a count of minutes (hours may run past two digits); "error"
// for a negative count.
QString MinutesToHHMM(int minutes);

// Styles of FormatDateTimeRec.
enum DateTimeStyle {
    DateTimeDigits = 0,    // yyyymmddhhmmss
    DateTimeSeconds = 1,   // yyyy-mm-dd hh:mm:ss
    DateTimeMinutes = 2,   // yyyy-mm-dd hh:mm and one blank
    DateTimeDayAbbrev = 3, // yyyy-mm-dd (Ddd) hh:mm
    DateTimeDayName = 4,   // yyyy-mm-dd (Dayname) hh:mm
};
// "?" for any other style.
QString FormatDateTimeRec(const TDateTimeRec& dateTime, int style);
// The value rounded to the nearest second first, carrying into the date.
QString FormatDateTimeValue(int style, double value);

// A whole number as the library reads one, kept to its low 16 bits; false
// for the empty text and for a text that is not a whole number.
bool ParseWord(const QString& text, uint16_t& value);
// Year, month and day from characters 1-4, 6-7 and 9-10; the separators
// and anything after character 10 are not looked at, and the values are
// not range-checked. False for a shorter text and for the "yyyy-mm-dd"
// placeholder in any letter case; date is written only on success.
bool ParseIsoDate(const QString& text, TDateRec& date);
// The date of ParseIsoDate, or the zero record when it fails.
TDateRec IsoDateOrZero(const QString& text);
