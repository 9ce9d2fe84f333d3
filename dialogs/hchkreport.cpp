#include "dialogs/hchkreport.h"

#include "library/textnum.h"

namespace
{

QString Num(int32_t n)
{
    return QString::number(n);
}

QString TableName(HealthTable table)
{
    switch (table) {
    case HealthTable::Seg:
        return QStringLiteral("SEG.DB");
    case HealthTable::Text:
        return QStringLiteral("TEXT.DB");
    case HealthTable::Layer:
        return QStringLiteral("LAYER.DB");
    case HealthTable::Point:
        return QStringLiteral("POINT.DB");
    case HealthTable::ProfileLayers:
        return QStringLiteral("PFLAYS.DB");
    }
    return QString();
}

QString ScanningLine(HealthTable table)
{
    if (table == HealthTable::ProfileLayers)
        return QStringLiteral("Scanning PFLAYS.DB (Layers in Profile)");
    return QStringLiteral("Scanning ") + TableName(table);
}

// What the row is, by the table the fault was found in.
QString RowPrefix(HealthTable table, const HealthFinding& f)
{
    const QString kind = table == HealthTable::Seg     ? QStringLiteral(" Seg ")
                         : table == HealthTable::Text  ? QStringLiteral(" Text ")
                         : table == HealthTable::Layer ? QStringLiteral(" Layer ")
                                                       : QStringLiteral(" Point ");
    return QStringLiteral("Diagram ") + Num(f.Dgnum) + kind + Num(f.Number) + QStringLiteral(" - ");
}

// What a column holds, on the one line of its finding and short enough
// to read there; a character that cannot be shown (a blob's bytes) is a
// "?".
QString ShownValue(const QString& stored)
{
    constexpr qsizetype Shown = 40;
    QString text = stored.simplified();
    for (QChar& c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return text.size() > Shown ? text.left(Shown) + QStringLiteral("...") : text;
}

QString FaultText(const HealthFinding& f)
{
    switch (f.Fault) {
    case HealthFault::DiagramNotFound:
        return QStringLiteral("Diagram not found ") + Num(f.Value);
    case HealthFault::JumpSeg:
        return QStringLiteral("Jump seg");
    case HealthFault::SamePoints:
        return QStringLiteral("From & To points the same");
    case HealthFault::InvalidSegType:
        return QStringLiteral("Invalid seg type ") + Num(f.Value);
    case HealthFault::FromPointNotFound:
        return QStringLiteral("From-point not found");
    case HealthFault::ToPointNotFound:
        return QStringLiteral("To-point not found");
    case HealthFault::LayerNotFound:
        return QStringLiteral("Layer not found ") + Num(f.Value);
    case HealthFault::MeasuredLengthToBeSet:
        return QStringLiteral("mlenx/y to be set");
    case HealthFault::InvalidArcAngle:
        return QStringLiteral("Invalid angle for Arc seg");
    case HealthFault::NotExactlyVertical:
        return QStringLiteral("Seg is not exactly vertical");
    case HealthFault::NotExactlyHorizontal:
        return QStringLiteral("Seg is not exactly horizontal");
    case HealthFault::TextPointNotFound:
        return QStringLiteral("point not found");
    case HealthFault::PointUnused:
        return QStringLiteral("no segs or text");
    case HealthFault::LengthNotANumber:
        return f.Column + QStringLiteral(" is not a number: ") +
               InDoubleQuotes(ShownValue(f.Stored));
    case HealthFault::ProfileNotFound:
    case HealthFault::ProfileLayerNotFound:
        break;
    }
    return QString();
}

QString ProfileLayerLine(const HealthFinding& f)
{
    if (f.Fault == HealthFault::ProfileNotFound)
        return QStringLiteral("Diagram ") + Num(f.Dgnum) + QStringLiteral(" Layer ") +
               Num(f.Value) + QStringLiteral(" in non-existent Profile ") + Num(f.Number);
    return QStringLiteral("Diagram ") + Num(f.Dgnum) + QStringLiteral(" Profile ") + Num(f.Number) +
           QStringLiteral(" includes non-existent Layer ") + Num(f.Value);
}

QString FindingLine(HealthTable table, const HealthFinding& f)
{
    if (table == HealthTable::ProfileLayers)
        return ProfileLayerLine(f);
    return RowPrefix(table, f) + FaultText(f);
}

void AddDuplicateLines(const DuplicateScan& dup, QStringList& lines)
{
    if (dup.Skipped) {
        lines << QStringLiteral("Scan for duplicate points skipped - select Zoom=4 for this")
              << QStringLiteral("  ");
        return;
    }
    lines << QStringLiteral("Scanning for duplicate points for Diagram ") + Num(dup.Dgnum);
    for (const auto& [first, second] : dup.Pairs) {
        lines << DuplicatePointLine(first, dup.Decimals) << DuplicatePointLine(second, dup.Decimals)
              << QString();
    }
    lines << QStringLiteral("End dup scan");
    if (!dup.Pairs.empty())
        lines << QStringLiteral("Duplicate points are not auto-repaired, manual repair is "
                                "recommended but not essential");
    lines << QStringLiteral(" ");
}

} // namespace

QString DuplicatePointLine(const TPointRec& point, int decimals)
{
    return QStringLiteral("Diagram #") + Num(point.Dgnum) + QStringLiteral(" Duplicate point #") +
           Num(point.Pointnum) + QStringLiteral(" pxlxy = ") + Num(point.Pxlx) + QLatin1Char(' ') +
           Num(point.Pxly) + QStringLiteral(" lenxy = ") + FormatFixed(point.Lenx, decimals) +
           QLatin1Char(' ') + FormatFixed(point.Leny, decimals) +
           QStringLiteral(" (try looking in Layer #") + Num(point.Layernum) + QLatin1Char(')');
}

QStringList HealthReportLines(const HealthPass& pass)
{
    QStringList lines;
    lines << QStringLiteral("Database version = ") + Num(pass.DBVersion) << QString();
    for (const HealthScan& scan : pass.Scans) {
        lines << ScanningLine(scan.Table);
        for (const HealthFinding& f : scan.Findings)
            lines << FindingLine(scan.Table, f);
        lines << TableName(scan.Table) + QLatin1Char(' ') + Num(scan.RecordCount) +
                     QStringLiteral(" records")
              << QStringLiteral(" ");
    }
    AddDuplicateLines(pass.Duplicates, lines);
    lines << QStringLiteral("All scans complete");
    return lines;
}
