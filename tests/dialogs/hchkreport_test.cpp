// The health check's report lines for each kind of finding.

#include "dialogs/hchkreport.h"

#include <gtest/gtest.h>

namespace
{

using F = HealthFault;

HealthScan ScanOf(HealthTable table, std::vector<HealthFinding> findings, int count)
{
    HealthScan scan;
    scan.Table = table;
    scan.Findings = std::move(findings);
    scan.RecordCount = count;
    return scan;
}

TPointRec PointAt(int32_t n, Extended x, Extended y, int32_t layer)
{
    TPointRec p;
    p.Dgnum = 3;
    p.Pointnum = n;
    p.Lenx = x;
    p.Leny = y;
    p.Pxlx = 120;
    p.Pxly = 45;
    p.Layernum = layer;
    return p;
}

TEST(HealthReport, EveryFindingReadsAsItsRowAndFault)
{
    HealthPass pass;
    pass.DBVersion = 102;
    pass.Scans = {
        ScanOf(HealthTable::Seg,
               {{F::DiagramNotFound, 5, 1, 5},
                {F::JumpSeg, 1, 2},
                {F::SamePoints, 1, 3},
                {F::InvalidSegType, 1, 4, 4},
                {F::FromPointNotFound, 1, 6},
                {F::ToPointNotFound, 1, 7},
                {F::LayerNotFound, 1, 9, 7},
                {F::MeasuredLengthToBeSet, 1, 10},
                {F::InvalidArcAngle, 1, 13},
                {F::NotExactlyVertical, 1, 20},
                {F::NotExactlyHorizontal, 1, 20}},
               19),
        ScanOf(HealthTable::Text, {{F::TextPointNotFound, 1, 95}, {F::DiagramNotFound, 5, 2, 5}},
               2),
        ScanOf(HealthTable::Layer, {{F::DiagramNotFound, 5, 0, 5}}, 3),
        ScanOf(HealthTable::Point, {{F::PointUnused, 1, 50}, {F::DiagramNotFound, 5, 1, 5}}, 8),
        ScanOf(HealthTable::ProfileLayers,
               {{F::ProfileLayerNotFound, 1, 1, 8}, {F::ProfileNotFound, 1, 3, 0}}, 3),
    };
    pass.Duplicates.Skipped = true;

    EXPECT_EQ(HealthReportLines(pass),
              QStringList({"Database version = 102",
                           "",
                           "Scanning SEG.DB",
                           "Diagram 5 Seg 1 - Diagram not found 5",
                           "Diagram 1 Seg 2 - Jump seg",
                           "Diagram 1 Seg 3 - From & To points the same",
                           "Diagram 1 Seg 4 - Invalid seg type 4",
                           "Diagram 1 Seg 6 - From-point not found",
                           "Diagram 1 Seg 7 - To-point not found",
                           "Diagram 1 Seg 9 - Layer not found 7",
                           "Diagram 1 Seg 10 - mlenx/y to be set",
                           "Diagram 1 Seg 13 - Invalid angle for Arc seg",
                           "Diagram 1 Seg 20 - Seg is not exactly vertical",
                           "Diagram 1 Seg 20 - Seg is not exactly horizontal",
                           "SEG.DB 19 records",
                           " ",
                           "Scanning TEXT.DB",
                           "Diagram 1 Text 95 - point not found",
                           "Diagram 5 Text 2 - Diagram not found 5",
                           "TEXT.DB 2 records",
                           " ",
                           "Scanning LAYER.DB",
                           "Diagram 5 Layer 0 - Diagram not found 5",
                           "LAYER.DB 3 records",
                           " ",
                           "Scanning POINT.DB",
                           "Diagram 1 Point 50 - no segs or text",
                           "Diagram 5 Point 1 - Diagram not found 5",
                           "POINT.DB 8 records",
                           " ",
                           "Scanning PFLAYS.DB (Layers in Profile)",
                           "Diagram 1 Profile 1 includes non-existent Layer 8",
                           "Diagram 1 Layer 0 in non-existent Profile 3",
                           "PFLAYS.DB 3 records",
                           " ",
                           "Scan for duplicate points skipped - select Zoom=4 for this",
                           "  ",
                           "All scans complete"}));
}

TEST(HealthReport, LengthsThatAreNotNumbersReadWithWhatTheColumnHolds)
{
    HealthPass pass;
    pass.Scans = {
        ScanOf(HealthTable::Seg,
               {{F::LengthNotANumber, 1, 2, 0, "Mlenx", "ninety"},
                {F::LengthNotANumber, 1, 3, 0, "Leny2", QStringLiteral("a\nb\x01")},
                {F::LengthNotANumber, 1, 4, 0, "Seglen", QString(50, QLatin1Char('9')) + "x"}},
               3),
        ScanOf(HealthTable::Point, {{F::LengthNotANumber, 2, 7, 0, "Lenx", "1,5"}}, 1),
    };
    const QStringList lines = HealthReportLines(pass);
    for (const QString& line :
         {QStringLiteral("Diagram 1 Seg 2 - Mlenx is not a number: \"ninety\""),
          // One line, whatever the column holds.
          QStringLiteral("Diagram 1 Seg 3 - Leny2 is not a number: \"a b?\""),
          QStringLiteral("Diagram 1 Seg 4 - Seglen is not a number: \"") + QString(40, '9') +
              QStringLiteral("...\""),
          QStringLiteral("Diagram 2 Point 7 - Lenx is not a number: \"1,5\"")})
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
}

TEST(HealthReport, DuplicatePairsReadWithTheDiagramsDecimals)
{
    HealthPass pass;
    pass.DBVersion = 102;
    pass.Duplicates.Skipped = false;
    pass.Duplicates.Dgnum = 3;
    pass.Duplicates.Decimals = 2;
    const TPointRec a = PointAt(4, 1.5, 2.25, 0), b = PointAt(7, 1.504, 2.2449, 6),
                    c = PointAt(9, 1.5, 2.25, 1);
    pass.Duplicates.Pairs = {{a, b}, {b, c}};
    const QStringList lines = HealthReportLines(pass);
    EXPECT_EQ(lines.mid(2),
              QStringList({"Scanning for duplicate points for Diagram 3",
                           "Diagram #3 Duplicate point #4 pxlxy = 120 45 lenxy = 1.50 2.25 (try "
                           "looking in Layer #0)",
                           "Diagram #3 Duplicate point #7 pxlxy = 120 45 lenxy = 1.50 2.24 (try "
                           "looking in Layer #6)",
                           "",
                           "Diagram #3 Duplicate point #7 pxlxy = 120 45 lenxy = 1.50 2.24 (try "
                           "looking in Layer #6)",
                           "Diagram #3 Duplicate point #9 pxlxy = 120 45 lenxy = 1.50 2.25 (try "
                           "looking in Layer #1)",
                           "", "End dup scan",
                           "Duplicate points are not auto-repaired, manual repair is recommended "
                           "but not essential",
                           " ", "All scans complete"}));
}

} // namespace
