#include "library/datetexts.h"

#include "library/textnum.h"

#include <array>

namespace
{

const std::array<const char*, 7> DayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                             "Friday", "Saturday", "Sunday"};
const std::array<const char*, 12> MonthNames = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};

// The placeholder shown in empty date fields.
const QString DatePlaceholder = QStringLiteral("yyyy-mm-dd");

} // namespace

QString MonthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromLatin1(MonthNames[size_t(month - 1)])
                                     : QString();
}

QString DayName(int day)
{
    return day >= 1 && day <= 7 ? QString::fromLatin1(DayNames[size_t(day - 1)]) : QString();
}

QString DayAbbrev(int day)
{
    return DayName(day).left(3);
}

QString IsoDateText(const TDateRec& date)
{
    return PadNumber(date.Year, 4) + QLatin1Char('-') + PadNumber(date.Month, 2) +
           QLatin1Char('-') + PadNumber(date.Day, 2);
}

QString IsoDateDayAbbrev(const TDateRec& date)
{
    return IsoDateText(date) + QStringLiteral(" (") + DayAbbrev(DayOfWeekRec(date)) +
           QLatin1Char(')');
}

QString IsoDateDayName(const TDateRec& date)
{
    return IsoDateText(date) + QStringLiteral(" (") + DayName(DayOfWeekRec(date)) +
           QLatin1Char(')');
}

QString HHMMText(const TTimeRec& time)
{
    return PadNumber(time.Hour, 2) + QLatin1Char(':') + PadNumber(time.Minute, 2);
}

QString HHMMSSText(const TTimeRec& time)
{
    return HHMMText(time) + QLatin1Char(':') + PadNumber(time.Second, 2);
}

QString MinutesToHHMM(int minutes)
{
    if (minutes < 0)
        return QStringLiteral("error");
    return PadNumber(minutes / 60, 2) + QLatin1Char(':') + PadNumber(minutes % 60, 2);
}

QString FormatDateTimeRec(const TDateTimeRec& dateTime, int style)
{
    const TDateRec& d = dateTime.Date;
    const TTimeRec& t = dateTime.Time;
    switch (style) {
    case DateTimeDigits:
        return PadNumber(DateAsNumber(d), 8) + PadNumber(TimeAsNumber(t), 6);
    case DateTimeSeconds:
        return IsoDateText(d) + QLatin1Char(' ') + HHMMSSText(t);
    case DateTimeMinutes:
        return IsoDateText(d) + QLatin1Char(' ') + HHMMText(t) + QLatin1Char(' ');
    case DateTimeDayAbbrev:
        return IsoDateDayAbbrev(d) + QLatin1Char(' ') + HHMMText(t);
    case DateTimeDayName:
        return IsoDateDayName(d) + QLatin1Char(' ') + HHMMText(t);
    default:
        return QStringLiteral("?");
    }
}

QString FormatDateTimeValue(int style, double value)
{
    return FormatDateTimeRec(DateTimeRecFromDateTime(value), style);
}

bool ParseWord(const QString& text, uint16_t& value)
{
    if (text.isEmpty())
        return false;
    int32_t number = 0;
    if (!ParseInteger(text, number))
        return false;
    value = uint16_t(uint32_t(number) & 0xFFFFu);
    return true;
}

bool ParseIsoDate(const QString& text, TDateRec& date)
{
    if (text.size() < 10)
        return false;
    if (text.toLower() == DatePlaceholder)
        return false;
    TDateRec parsed;
    if (!ParseWord(text.mid(0, 4), parsed.Year) || !ParseWord(text.mid(5, 2), parsed.Month) ||
        !ParseWord(text.mid(8, 2), parsed.Day))
        return false;
    date = parsed;
    return true;
}

TDateRec IsoDateOrZero(const QString& text)
{
    TDateRec date;
    if (!ParseIsoDate(text, date))
        ClearDateRec(date);
    return date;
}
