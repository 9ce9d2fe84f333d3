// Segments of the open diagram in the SEG table.

#include "firebird/corefb.h"

#include "firebird/fbtimestamp.h"
#include "library/calendar.h"
#include "library/messages.h"
#include "store/coords.h"

namespace
{

const QString SegmentByNumberSQL =
    QStringLiteral("select * from seg where dgnum = :dg and segnum = :n");
// Each way round is a lookup of its own in the end-point index.
const QString BoldSegmentSQL = QStringLiteral("SELECT * FROM seg sg\n"
                                              "LEFT JOIN layer y ON (y.dgnum = sg.dgnum) and "
                                              "(y.layernum = sg.layernum)\n"
                                              "WHERE ((y.visib = 2) and\n"
                                              "       (((sg.dgnum = :z) and (sg.frompt = :x) and "
                                              "(sg.topt = :y)) or\n"
                                              "        ((sg.dgnum = :z) and (sg.frompt = :y) and "
                                              "(sg.topt = :x))))");
const QString InsertSegmentSQL = QStringLiteral(
    "insert into seg ( dgnum, segnum, frompt, topt, segtype, seglen, mlenx, mleny, mlenz, "
    "layernum, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, pxly2, createts, dotted, "
    "xorflag, measured, faint ) values ( :dg, :n, :fp, :tp, :st, 0, :mx, :my, :mz, :ln, :lx1, "
    ":ly1, :lx2, :ly2, :px1, :py1, :px2, :py2, :cts, :dt, :xf, :ms, :ft )");
// Every column of the row from the record but the old measured length,
// which only the first program wrote and nothing here changes.
const QString UpdateSegmentSQL = QStringLiteral(
    "update seg set segtype = :st , layernum = :ln , frompt = :fp , topt = :tp , mlenx = :mx , "
    "mleny = :my , mlenz = :mz , lenx1 = :lx1 , leny1 = :ly1 , lenx2 = :lx2 , leny2 = :ly2 , "
    "pxlx1 = :px1 , pxly1 = :py1 , pxlx2 = :px2 , pxly2 = :py2 , createts = :cts , dotted = :dt "
    ", xorflag = :xf , measured = :ms , faint = :ft where ( dgnum = :dg ) and ( segnum = :n )");

int Flag(bool b)
{
    return b ? 1 : 0;
}

// The columns of a segment row the record gives, insert and update alike.
FbParams SegmentParams(const TSegRec& seg, int32_t dgnum)
{
    return {{"dg", dgnum},
            {"n", seg.Segnum},
            {"fp", seg.FromPoint.Pointnum},
            {"tp", seg.ToPoint.Pointnum},
            {"st", seg.SegType},
            {"mx", seg.Mlenx},
            {"my", seg.Mleny},
            {"mz", seg.Mlenz},
            {"ln", seg.Layernum},
            {"lx1", seg.Lenx1},
            {"ly1", seg.Leny1},
            {"lx2", seg.Lenx2},
            {"ly2", seg.Leny2},
            {"px1", seg.Pxlx1},
            {"py1", seg.Pxly1},
            {"px2", seg.Pxlx2},
            {"py2", seg.Pxly2},
            {"cts", TimestampParam(seg.CreateTS)},
            {"dt", Flag(seg.Dotted)},
            {"xf", Flag(seg.Xorflag)},
            {"ms", Flag(seg.Measured)},
            {"ft", Flag(seg.Faint)}};
}

} // namespace

void TFcoreFb::ReadSegmentFields(TSegRec& seg)
{
    const FbQuery& row = IBTable1;
    seg.Segnum = row.FieldInt("SEGNUM");
    seg.SegType = row.FieldInt("SEGTYPE");
    seg.Mlenx = row.FieldFloat("MLENX");
    seg.Mleny = row.FieldFloat("MLENY");
    seg.Mlenz = row.FieldFloat("MLENZ");
    seg.FromPoint.Pointnum = row.FieldInt("FROMPT");
    seg.ToPoint.Pointnum = row.FieldInt("TOPT");
    seg.CreateTS = FromTimestamp(row.Field("CREATETS"));
    seg.Measured = IsMeasured(seg);
    seg.Layernum = row.FieldInt("LAYERNUM");
    seg.Dotted = DottedFromColumn(row.Field("DOTTED").AsInt64());
    seg.Xorflag = row.FieldInt("XORFLAG") == 1;
    seg.Faint = row.FieldInt("FAINT") == 1;
    seg.Lenx1 = row.FieldFloat("LENX1");
    seg.Lenx2 = row.FieldFloat("LENX2");
    seg.Leny1 = row.FieldFloat("LENY1");
    seg.Leny2 = row.FieldFloat("LENY2");
    seg.Pxlx1 = row.FieldInt("PXLX1");
    seg.Pxlx2 = row.FieldInt("PXLX2");
    seg.Pxly1 = row.FieldInt("PXLY1");
    seg.Pxly2 = row.FieldInt("PXLY2");
    // The end points are read by statements of their own; the segment's
    // row was read whole before them.
    if (!ReloadPoint(seg.FromPoint))
        ReportMissingPoint();
    if (!ReloadPoint(seg.ToPoint))
        ReportMissingPoint();
    ComputeSegmentDeltas(seg);
}

bool TFcoreFb::LoadSegment(int32_t segnum, TSegRec& seg)
{
    InitSegment(seg);
    RunSQL(IBTable1, SegmentByNumberSQL, {{"dg", CurrentDiagram}, {"n", segnum}});
    if (IBTable1.IsEmpty())
        return false;
    ReadSegmentFields(seg);
    return true;
}

bool TFcoreFb::FindBoldSegmentBetween(int32_t a, int32_t b, TSegRec& seg)
{
    InitSegment(seg);
    if (a < 0 || b < 0)
        return false;
    RunSQL(IBQuery2, BoldSegmentSQL, {{"x", a}, {"y", b}, {"z", CurrentDiagram}});
    if (IBQuery2.IsEmpty())
        return false;
    // The lowest number, as the first program takes it.
    int32_t first = -1;
    for (IBQuery2.First(); !IBQuery2.Eof(); IBQuery2.Next()) {
        const int32_t n = IBQuery2.FieldInt("SEGNUM");
        if (first < 0 || n < first)
            first = n;
    }
    return LoadSegment(first, seg);
}

void TFcoreFb::InsertSegmentRow(const TSegRec& seg)
{
    RunStoreSQL(InsertSegmentSQL, SegmentParams(seg, CurrentDiagram));
}

bool TFcoreFb::UpdateSegmentRow(const TSegRec& seg)
{
    return RunStoreSQL(UpdateSegmentSQL, SegmentParams(seg, CurrentDiagram)) > 0;
}

void TFcoreFb::InsertSegment(TSegRec& seg)
{
    if (seg.SegType <= SegJump)
        return;
    bool stored = false;
    WriteGroup([&] {
        EnsurePointStored(seg.FromPoint);
        EnsurePointStored(seg.ToPoint);
        if (ReusesBoldSegment(seg))
            return;
        ++LastSegNum;
        seg.Segnum = LastSegNum;
        seg.CreateTS = NowDateTime();
        // The box from the end points as they were just stored.
        ComputeSegmentExtents(seg);
        InsertSegmentRow(seg);
        stored = true;
    });
    if (stored && ReportInserts)
        FlashNote(QStringLiteral("Seg ") + QString::number(seg.Segnum) +
                  QStringLiteral(" inserted OK"));
}

bool TFcoreFb::UpdateSegmentProperties(const TSegRec& seg)
{
    if (seg.FromPoint.Pointnum < 0 || seg.ToPoint.Pointnum < 0) {
        ShowInfo(QStringLiteral("ERROR : Pointnum < 0 in segment ") + QString::number(seg.Segnum));
        return false;
    }
    bool updated = false;
    WriteGroup([&] { updated = UpdateSegmentRow(seg); });
    if (!updated)
        ReportRowNotFound(QStringLiteral("Segment"), seg.Segnum);
    return updated;
}

bool TFcoreFb::LoadStoredSeglen(int32_t segnum, Extended& seglen)
{
    seglen = 0;
    RunSQL(IBTable1, QStringLiteral("select seglen from seg where dgnum = :dg and segnum = :n"),
           {{"dg", CurrentDiagram}, {"n", segnum}});
    if (IBTable1.IsEmpty())
        return false;
    seglen = IBTable1.FieldFloat("SEGLEN");
    return true;
}

void TFcoreFb::DeleteSegment(int32_t /*dgnum*/, int32_t segnum)
{
    // Always in the open diagram: no other diagram's rows are reachable.
    RunStoreSQL(QStringLiteral("delete from seg where dgnum = :dg and segnum = :n"),
                {{"dg", CurrentDiagram}, {"n", segnum}});
}
