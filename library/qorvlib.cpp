#include "library/qorvlib.h"

#include "library/calendar.h"

#include <QTime>

namespace
{

QChar dateSeparator = QLatin1Char('-');
QString shortDateFormat = QStringLiteral("yyyy/mm/dd");

QString Padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// One run of a format letter: y, yy or yyyy; m or mm; d or dd.
QString DatePart(const QDate& date, QChar letter, int count)
{
    switch (letter.unicode()) {
    case 'y':
        return count <= 2 ? Padded(date.year() % 100, 2) : Padded(date.year(), 4);
    case 'm':
        return Padded(date.month(), count >= 2 ? 2 : 1);
    case 'd':
        return Padded(date.day(), count >= 2 ? 2 : 1);
    default:
        return QString(count, letter);
    }
}

} // namespace

void InitLibrary()
{
    SetPadChar(QLatin1Char('0'));
    // The month lengths and the calendar transition (1752-09-02 / 1752-09-14).
    InitCalendarDefaults();
    dateSeparator = QLatin1Char('-');
    shortDateFormat = QStringLiteral("yyyy/mm/dd");
    SetSavedColour(Qt::white);
    EndAllBusy();
    SetProgramFolderPath(ProgramFolder());
    SetMsgCaption(QString());
}

QString DateToStr(const QDate& date)
{
    QString text;
    const QString format = shortDateFormat.toLower();
    for (qsizetype i = 0; i < format.size();) {
        const QChar letter = format[i];
        if (letter == QLatin1Char('/')) {
            text += dateSeparator;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == letter)
            ++run;
        text += DatePart(date, letter, static_cast<int>(run));
        i += run;
    }
    return text;
}

QString DateTimeToStr(const QDateTime& dateTime)
{
    const QString date = DateToStr(dateTime.date());
    const QTime time = dateTime.time();
    if (time == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + time.toString(QStringLiteral("hh:mm:ss"));
}
