#include "firebird/fbtext.h"

#include "firebird/fbquery.h"

int TrimTrailingBlanks(QString& text)
{
    qsizetype end = text.size();
    while (end > 0) {
        const QChar c = text[end - 1];
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r') &&
            c != QLatin1Char('\n'))
            break;
        --end;
    }
    const int removed = int(text.size() - end);
    text.truncate(end);
    return removed;
}

int ComparePrefix(const QString& text, const QString& keyword)
{
    const QString t = text.toLower();
    const QString k = keyword.toLower();
    if (t.size() < k.size())
        return QString::compare(t, k) < 0 ? -1 : 1;
    const int c = QString::compare(t.left(k.size()), k);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

QString LayerName(const FbQuery& row)
{
    // The fixed-width column pads the name with blanks; given back padded,
    // a name edited and stored again would outgrow the column.
    QString name = row.FieldText("LAYERNAME");
    TrimTrailingBlanks(name);
    return name;
}
