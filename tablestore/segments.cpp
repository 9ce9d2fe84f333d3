// Segments of the open diagram in seg.db.

#include "library/calendar.h"
#include "library/messages.h"
#include "store/coords.h"
#include "tablestore/core.h"

namespace
{

// Each direction is one probe of the end-point index joined to its layer,
// and min() takes the lowest number among the few rows found. IN lists over
// the two ends would say the same in one probe, but SQLite builds a
// temporary index for each list on every run, with a page cache of its own
// that the allocator may hand back to the system and fault in again at the
// next step. min() over the union, rather than an ORDER BY, builds no sorter.
const QString BoldSegmentSQL =
    QStringLiteral("SELECT min(b.segnum) AS Segnum FROM (\n"
                   "  SELECT sg.segnum FROM \"seg.db\" sg\n"
                   "  JOIN layer.db y ON (y.dgnum = sg.dgnum) and (y.layernum = sg.layernum)\n"
                   "  WHERE (sg.dgnum = :z) and (sg.frompt = :x) and (sg.topt = :y) and\n"
                   "        (y.visib = 2)\n"
                   "  UNION ALL\n"
                   "  SELECT sg.segnum FROM \"seg.db\" sg\n"
                   "  JOIN layer.db y ON (y.dgnum = sg.dgnum) and (y.layernum = sg.layernum)\n"
                   "  WHERE (sg.dgnum = :z) and (sg.frompt = :y) and (sg.topt = :x) and\n"
                   "        (y.visib = 2)) b");

} // namespace

void TFcore::ReadSegmentExtents(TSegRec& seg)
{
    seg.Lenx1 = Table1.FieldByName(QStringLiteral("Lenx1")).AsFloat();
    seg.Lenx2 = Table1.FieldByName(QStringLiteral("Lenx2")).AsFloat();
    seg.Leny1 = Table1.FieldByName(QStringLiteral("Leny1")).AsFloat();
    seg.Leny2 = Table1.FieldByName(QStringLiteral("Leny2")).AsFloat();
    seg.Pxlx1 = Table1.FieldByName(QStringLiteral("Pxlx1")).AsInteger();
    seg.Pxlx2 = Table1.FieldByName(QStringLiteral("Pxlx2")).AsInteger();
    seg.Pxly1 = Table1.FieldByName(QStringLiteral("Pxly1")).AsInteger();
    seg.Pxly2 = Table1.FieldByName(QStringLiteral("Pxly2")).AsInteger();
}

void TFcore::ReadSegmentFields(TSegRec& seg)
{
    seg.Segnum = Table1.FieldByName(QStringLiteral("Segnum")).AsInteger();
    seg.SegType = Table1.FieldByName(QStringLiteral("SegType")).AsInteger();
    seg.Mlenx = Table1.FieldByName(QStringLiteral("Mlenx")).AsFloat();
    seg.Mleny = Table1.FieldByName(QStringLiteral("Mleny")).AsFloat();
    seg.Mlenz = Table1.FieldByName(QStringLiteral("Mlenz")).AsFloat();
    seg.FromPoint.Pointnum = Table1.FieldByName(QStringLiteral("FromPt")).AsInteger();
    seg.ToPoint.Pointnum = Table1.FieldByName(QStringLiteral("ToPt")).AsInteger();
    seg.CreateTS = Table1.FieldByName(QStringLiteral("CreateTS")).AsDateTime();
    seg.Measured = IsMeasured(seg);
    // The rest of the row is read before the point loads, which move only
    // the point table.
    seg.Layernum = Table1.FieldByName(QStringLiteral("Layernum")).AsInteger();
    seg.Dotted = DottedFromColumn(Table1.FieldByName(QStringLiteral("Dotted")).Value.toLongLong());
    seg.Xorflag = Table1.FieldByName(QStringLiteral("Xorflag")).AsBoolean();
    const tables::Field* faint = Table1.FindField(QStringLiteral("faint"));
    seg.Faint = faint && faint->AsBoolean();

    const bool fromFound = ReloadPoint(seg.FromPoint);
    if (!fromFound) {
        ReportMissingPoint();
    }
    const bool toFound = ReloadPoint(seg.ToPoint);
    if (!toFound) {
        ReportMissingPoint();
    }
    ComputeSegmentDeltas(seg);

    // A box is never made from an end that is not there.
    if (Normalising && fromFound && toFound) {
        TSegRec stored = seg;
        ReadSegmentExtents(stored);
        if (!(BoxOfSegment(stored) == BoxOfEnds(seg.FromPoint, seg.ToPoint))) {
            Table1.Edit();
            tables::PostOrCancel(Table1, [&] { WriteSegmentExtents(seg); });
        }
    }
    ReadSegmentExtents(seg);
}

void TFcore::WriteSegmentExtents(const TSegRec& seg)
{
    const SegmentBox b = BoxOfEnds(seg.FromPoint, seg.ToPoint);
    Table1.FieldByName(QStringLiteral("Lenx1")).SetFloat(b.Lenx1);
    Table1.FieldByName(QStringLiteral("Lenx2")).SetFloat(b.Lenx2);
    Table1.FieldByName(QStringLiteral("Leny1")).SetFloat(b.Leny1);
    Table1.FieldByName(QStringLiteral("Leny2")).SetFloat(b.Leny2);
    Table1.FieldByName(QStringLiteral("Pxlx1")).SetInteger(b.Pxlx1);
    Table1.FieldByName(QStringLiteral("Pxlx2")).SetInteger(b.Pxlx2);
    Table1.FieldByName(QStringLiteral("Pxly1")).SetInteger(b.Pxly1);
    Table1.FieldByName(QStringLiteral("Pxly2")).SetInteger(b.Pxly2);
}

void TFcore::WriteSegmentProperties(const TSegRec& seg)
{
    Table1.FieldByName(QStringLiteral("SegType")).SetInteger(seg.SegType);
    Table1.FieldByName(QStringLiteral("Measured")).SetBoolean(seg.Measured);
    Table1.FieldByName(QStringLiteral("Mlenx")).SetFloat(seg.Mlenx);
    Table1.FieldByName(QStringLiteral("Mleny")).SetFloat(seg.Mleny);
    Table1.FieldByName(QStringLiteral("Layernum")).SetInteger(seg.Layernum);
    Table1.FieldByName(QStringLiteral("Xorflag")).SetBoolean(seg.Xorflag);
    if (tables::Field* faint = Table1.FindField(QStringLiteral("faint"))) {
        faint->SetBoolean(seg.Faint);
    }
    Table1.FieldByName(QStringLiteral("Dotted")).SetInteger(seg.Dotted ? 1 : 0);
}

void TFcore::WriteSegmentFields(const TSegRec& seg)
{
    Table1.FieldByName(QStringLiteral("Segnum")).SetInteger(seg.Segnum);
    Table1.FieldByName(QStringLiteral("Dgnum")).SetInteger(CurrentDiagram);
    Table1.FieldByName(QStringLiteral("FromPt")).SetInteger(seg.FromPoint.Pointnum);
    Table1.FieldByName(QStringLiteral("ToPt")).SetInteger(seg.ToPoint.Pointnum);
    Table1.FieldByName(QStringLiteral("CreateTS")).SetDateTime(seg.CreateTS);
    WriteSegmentProperties(seg);
    WriteSegmentExtents(seg);
}

bool TFcore::LoadSegment(int32_t segnum, TSegRec& seg)
{
    InitSegment(seg);
    if (!Table1.FindKey({CurrentDiagram, segnum})) {
        return false;
    }
    ReadSegmentFields(seg);
    return true;
}

bool TFcore::FindBoldSegmentBetween(int32_t a, int32_t b, TSegRec& seg)
{
    InitSegment(seg);
    if (a < 0 || b < 0) {
        return false;
    }
    Query2.Close();
    Query2.SetSQL(BoldSegmentSQL);
    Query2.ParamByName(QStringLiteral("x")).SetInteger(a);
    Query2.ParamByName(QStringLiteral("y")).SetInteger(b);
    Query2.ParamByName(QStringLiteral("z")).SetInteger(CurrentDiagram);
    Query2.Open();
    const tables::Field& lowest = Query2.FieldByName(QStringLiteral("Segnum"));
    if (Query2.IsEmpty() || lowest.IsNull()) {
        return false;
    }
    return LoadSegment(lowest.AsInteger(), seg);
}

void TFcore::InsertSegment(TSegRec& seg)
{
    if (seg.SegType <= SegJump) {
        return;
    }
    bool stored = false;
    WriteGroup([&] {
        EnsurePointStored(seg.FromPoint);
        EnsurePointStored(seg.ToPoint);
        if (ReusesBoldSegment(seg)) {
            return;
        }
        seg.Segnum = ++LastSegNum;
        seg.CreateTS = NowDateTime();
        AppendNumbered(Table1, seg.Segnum, &LastSegNum, [&] { WriteSegmentFields(seg); });
        stored = true;
    });
    if (stored && ReportInserts) {
        FlashNote(QStringLiteral("Seg ") + QString::number(seg.Segnum) +
                  QStringLiteral(" inserted OK"));
    }
}

bool TFcore::UpdateSegmentProperties(const TSegRec& seg)
{
    if (!Table1.FindKey({CurrentDiagram, seg.Segnum})) {
        ReportRowNotFound(QStringLiteral("Segment"), seg.Segnum);
        return false;
    }
    if (seg.FromPoint.Pointnum < 0 || seg.ToPoint.Pointnum < 0) {
        ShowInfo(QStringLiteral("ERROR : Pointnum < 0 in segment ") + QString::number(seg.Segnum));
        return false;
    }
    Table1.Edit();
    tables::PostOrCancel(Table1, [&] { WriteSegmentProperties(seg); });
    return true;
}

bool TFcore::LoadStoredSeglen(int32_t segnum, Extended& seglen)
{
    seglen = 0;
    if (!Table1.FindKey({CurrentDiagram, segnum})) {
        return false;
    }
    seglen = Table1.FieldByName(QStringLiteral("Seglen")).AsFloat();
    return true;
}

void TFcore::DeleteSegment(int32_t dgnum, int32_t segnum)
{
    if (Table1.FindKey({dgnum, segnum})) {
        Table1.Delete();
    }
}
