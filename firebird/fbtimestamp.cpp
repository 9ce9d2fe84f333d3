#include "firebird/fbtimestamp.h"

#include <QDate>
#include <cmath>

namespace
{

constexpr long long MsPerDay = 86400000;
constexpr long long SecondsPerDay = 86400;
// 30 December 1899 counted as the engine counts days, from 17 November 1858.
constexpr long long EngineDayOfDayZero = 15018;

QDate DayZero()
{
    return QDate(1899, 12, 30);
}

} // namespace

bool ToTimestamp(TDateTime dateTime, ibase::Value& value)
{
    if (dateTime == 0) {
        value = ibase::Value::Null();
        return true;
    }
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 4.0e6)
        return false;
    // The time of day counts forward from midnight before day 0 too.
    const long long ms = std::llround(dateTime * double(MsPerDay));
    QDate date = DayZero().addDays(ms / MsPerDay);
    long long second = (std::llabs(ms) % MsPerDay + 500) / 1000;
    if (second == SecondsPerDay) {
        date = date.addDays(1);
        second = 0;
    }
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return false;
    value = ibase::Value(ibase::Timestamp{date.year(), date.month(), date.day(), int(second / 3600),
                                          int(second / 60 % 60), int(second % 60), 0});
    return true;
}

ibase::Value TimestampParam(TDateTime dateTime)
{
    ibase::Value value;
    if (!ToTimestamp(dateTime, value))
        throw ibase::Error(QStringLiteral("Date-time out of range: %1").arg(dateTime, 0, 'g', 17));
    return value;
}

TDateTime FromTimestamp(const ibase::Value& value)
{
    if (value.IsNull())
        return 0;
    const ibase::Timestamp t = value.AsTimestamp();
    const long long days = DayZero().daysTo(QDate(t.Year, t.Month, t.Day));
    const double fraction =
        (t.Hour * 3600.0 + t.Minute * 60.0 + t.Second + t.Fraction / 10000.0) / SecondsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

TDateTime DateTimeColumn(const ibase::Statement& row, int column)
{
    int32_t day = 0;
    uint32_t time = 0;
    if (!row.ColumnDayAndTime(column, day, time))
        return 0;
    // The same sums as FromTimestamp, so that both give the same double.
    const long long days = (long long)day - EngineDayOfDayZero;
    const double fraction = (double(time / 10000) + double(time % 10000) / 10000.0) / SecondsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

TDateTime DateTimeOfSeconds(long long seconds)
{
    return double(seconds) / double(SecondsPerDay);
}

long long SecondsOfDateTime(TDateTime dateTime)
{
    return std::llround(dateTime * double(SecondsPerDay));
}
