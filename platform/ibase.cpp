#include "platform/ibase.h"
#include "platform/ibaseinternal.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

#include <ibase.h>

#include <cmath>
#include <ctime>
#include <limits>

namespace ibase
{

// ---------------------------------------------------------------- errors

Error::Error(const QString& text, long sqlCode, long gdsCode)
    : std::runtime_error(text.toStdString()), sqlCode_(sqlCode), gdsCode_(gdsCode)
{
}

namespace detail
{

// The library's own text for a status vector, one line per message.
QString StatusText(const ISC_STATUS* status)
{
    QStringList lines;
    const ISC_STATUS* cursor = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    if (lines.isEmpty())
        lines << QStringLiteral("Unknown database error %1").arg(status[1]);
    return lines.join(QLatin1Char('\n'));
}

[[noreturn]] void ThrowStatus(const ISC_STATUS* status)
{
    throw Error(StatusText(status), isc_sqlcode(status), status[1]);
}

void Check(const ISC_STATUS* status)
{
    if (Failed(status))
        ThrowStatus(status);
}

} // namespace detail

// ------------------------------------------------------------ timestamps

namespace
{

void CheckTimestamp(const Timestamp& t, bool withDate)
{
    const bool timeOk = t.Hour >= 0 && t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59 &&
                        t.Second >= 0 && t.Second <= 59 && t.Fraction >= 0 && t.Fraction <= 9999;
    const bool dateOk =
        !withDate || (t.Year >= 1 && t.Year <= 9999 && QDate::isValid(t.Year, t.Month, t.Day));
    if (!timeOk || !dateOk)
        throw Error(QStringLiteral("Invalid timestamp %1").arg(Value(t).AsText()));
}

struct tm TmOf(const Timestamp& t)
{
    struct tm out {
    };
    out.tm_year = t.Year - 1900;
    out.tm_mon = t.Month - 1;
    out.tm_mday = t.Day;
    out.tm_hour = t.Hour;
    out.tm_min = t.Minute;
    out.tm_sec = t.Second;
    return out;
}

void FillTime(Timestamp& t, const struct tm& parts, ISC_TIME time)
{
    t.Hour = parts.tm_hour;
    t.Minute = parts.tm_min;
    t.Second = parts.tm_sec;
    t.Fraction = int(time % 10000);
}

void FillDate(Timestamp& t, const struct tm& parts)
{
    t.Year = parts.tm_year + 1900;
    t.Month = parts.tm_mon + 1;
    t.Day = parts.tm_mday;
}

} // namespace

namespace detail
{

// The library's encoder keeps whole seconds only; the fraction is added in
// the engine's unit of 1/10000 s.
ISC_TIMESTAMP EncodeTimestamp(const Timestamp& t)
{
    CheckTimestamp(t, true);
    const struct tm parts = TmOf(t);
    ISC_TIMESTAMP out{};
    isc_encode_timestamp(&parts, &out);
    out.timestamp_time += ISC_TIME(t.Fraction);
    return out;
}

Timestamp DecodeTimestamp(const ISC_TIMESTAMP& value)
{
    struct tm parts {
    };
    isc_decode_timestamp(&value, &parts);
    Timestamp out;
    FillDate(out, parts);
    FillTime(out, parts, value.timestamp_time);
    return out;
}

Timestamp DecodeDate(const ISC_DATE& value)
{
    struct tm parts {
    };
    isc_decode_sql_date(&value, &parts);
    Timestamp out;
    FillDate(out, parts);
    return out;
}

Timestamp DecodeTime(const ISC_TIME& value)
{
    struct tm parts {
    };
    isc_decode_sql_time(&value, &parts);
    Timestamp out;
    FillTime(out, parts, value);
    return out;
}

} // namespace detail

// ---------------------------------------------------------------- values

int64_t Value::AsInt64() const
{
    if (IsNull())
        return 0;
    if (IsInteger())
        return std::get<int64_t>(data_);
    if (IsReal()) {
        const double d = std::get<double>(data_);
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
            throw Error(QStringLiteral("Number out of range for a whole number: %1").arg(AsText()));
        return std::llround(d);
    }
    if (IsText()) {
        bool ok = false;
        const qlonglong v = std::get<QString>(data_).trimmed().toLongLong(&ok);
        if (!ok)
            throw Error(QStringLiteral("Not a whole number: \"%1\"").arg(std::get<QString>(data_)));
        return v;
    }
    throw Error(QStringLiteral("A timestamp is not a number"));
}

int Value::AsInt() const
{
    const int64_t v = AsInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Error(QStringLiteral("Number out of range for a 32-bit whole number: %1").arg(v));
    return int(v);
}

double Value::AsDouble() const
{
    if (IsNull())
        return 0;
    if (IsInteger())
        return double(std::get<int64_t>(data_));
    if (IsReal())
        return std::get<double>(data_);
    if (IsText()) {
        bool ok = false;
        // QString::toDouble reads a point as decimal separator in every locale.
        const double v = std::get<QString>(data_).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw Error(QStringLiteral("Not a number: \"%1\"").arg(std::get<QString>(data_)));
        return v;
    }
    throw Error(QStringLiteral("A timestamp is not a number"));
}

QString Value::AsText() const
{
    if (IsNull())
        return QString();
    if (IsInteger())
        return QString::number(std::get<int64_t>(data_));
    if (IsReal())
        return QString::number(std::get<double>(data_), 'g', QLocale::FloatingPointShortest);
    if (IsText())
        return std::get<QString>(data_);
    const Timestamp& t = std::get<Timestamp>(data_);
    QString text = QStringLiteral("%1-%2-%3 %4:%5:%6")
                       .arg(t.Year, 4, 10, QLatin1Char('0'))
                       .arg(t.Month, 2, 10, QLatin1Char('0'))
                       .arg(t.Day, 2, 10, QLatin1Char('0'))
                       .arg(t.Hour, 2, 10, QLatin1Char('0'))
                       .arg(t.Minute, 2, 10, QLatin1Char('0'))
                       .arg(t.Second, 2, 10, QLatin1Char('0'));
    if (t.Fraction != 0)
        text += QStringLiteral(".%1").arg(t.Fraction, 4, 10, QLatin1Char('0'));
    return text;
}

Timestamp Value::AsTimestamp() const
{
    if (IsNull())
        return Timestamp();
    if (IsTimestamp())
        return std::get<Timestamp>(data_);
    throw Error(QStringLiteral("Not a timestamp: %1").arg(AsText()));
}

} // namespace ibase
