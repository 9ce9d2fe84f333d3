#include "store/store.h"

#include "store/coords.h"
#include "store/healthcheck.h"

#include "library/calendar.h"
#include "library/flash.h"
#include "library/messages.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

Store::Store()
{
    InitSegment(CurrentSegment);
    InitLayer(CurrentLayer);
}

// ------------------------------------------------------------- write groups

namespace
{

// Counts the groups open around the current write, however each is left.
class GroupDepth
{
  public:
    explicit GroupDepth(int& depth) : depth_(depth) { ++depth_; }
    ~GroupDepth() { --depth_; }
    GroupDepth(const GroupDepth&) = delete;
    GroupDepth& operator=(const GroupDepth&) = delete;

  private:
    int& depth_;
};

} // namespace

void Store::WriteGroup(const std::function<void()>& work, const std::function<void()>& settled)
{
    const bool outermost = groupDepth_ == 0;
    const int32_t lastPoint = LastPointNum;
    const int32_t lastSeg = LastSegNum;
    const size_t rewrites = heldRewrites_.size();
    try {
        GroupDepth depth(groupDepth_);
        RunInTransaction(work);
    } catch (...) {
        if (settled)
            settled();
        // The numbers handed out by the undone writes are free again, the
        // rows the refresh read have the pixels and boxes the database has
        // again, and what was undone is not reported as done.
        LastPointNum = lastPoint;
        LastSegNum = lastSeg;
        UndoRewritesAfter(rewrites);
        if (outermost) {
            heldFlashes_.clear();
            // Nor are stamps that were undone handed on as the visible points.
            stampedWith_ = -1;
        }
        throw;
    }
    if (settled)
        settled();
    if (outermost) {
        heldRewrites_.clear();
        const QStringList notes = std::exchange(heldFlashes_, {});
        for (const QString& note : notes) {
            Flash(note);
        }
    }
}

void Store::FlashNote(const QString& text)
{
    // A flash lets pending window events run; none of them may land in the
    // middle of an open group of writes.
    if (groupDepth_ > 0) {
        heldFlashes_ << text;
    } else {
        Flash(text);
    }
}

// ------------------------------------------------------------------ points

bool Store::ReloadPoint(TPointRec& point)
{
    return LoadPoint(point.Pointnum, point);
}

void Store::NumberPoint(TPointRec& point)
{
    if (point.Pointnum < 0) {
        ++LastPointNum;
        point.Pointnum = LastPointNum;
    } else {
        LastPointNum = std::max(LastPointNum, point.Pointnum);
    }
}

bool Store::FindVisiblePointAtPixel(TPointRec& point)
{
    return FindPointAtPixel(point, true);
}

bool Store::FindPointNear(int32_t pxlx, int32_t pxly, TPointRec& found)
{
    // Ring by ring outwards from the pixel itself, so the nearer ring wins
    // (distance as the larger of the column and row differences); within a
    // ring the order of the four sides below decides.
    for (int32_t r = 0; r <= NearPointReach; ++r) {
        for (int32_t a = -r; a <= r; ++a) {
            const int32_t offsets[4][2] = {{a, -r}, {a, r}, {-r, a}, {r, a}};
            for (const auto& offset : offsets) {
                TPointRec probe;
                probe.Pxlx = pxlx + offset[0];
                probe.Pxly = pxly + offset[1];
                if (FindVisiblePointAtPixel(probe)) {
                    found = probe;
                    return true;
                }
            }
        }
    }
    return false;
}

void Store::EnsurePointStored(TPointRec& point)
{
    if (point.Pointnum >= 0) {
        // A cursor may still carry the number of a point deleted since
        // (the second program deletes a layer's points with it): stored
        // again where it stood, the new item never lacks its end.
        TPointRec stored;
        if (LoadPoint(point.Pointnum, stored)) {
            return;
        }
        point.Pointnum = -1;
    }
    if (!FindPointAtLength(point)) {
        // A point stored anew never keeps the number of a layer deleted
        // since: it goes on layer 0, as every new point does.
        TLayerRec layer;
        if (point.Layernum != 0 && !LoadLayer(point.Layernum, layer))
            point.Layernum = 0;
        InsertPoint(point);
    }
}

TDateTime Store::NextRedrawStamp() const
{
    // Now as days since 30 December 1899; two refreshes in the same
    // millisecond still get different stamps.
    const TDateTime stamp = NowDateTime();
    return stamp > RedrawStamp ? stamp : std::nextafter(RedrawStamp, 1e300);
}

// ---------------------------------------------------------------- segments

void Store::ReportMissingPoint()
{
    if (MissingPointReported) {
        return;
    }
    ShowInfo(
        QStringLiteral("ERROR : Point not found for segment, you must run Database Healthcheck"));
    MissingPointReported = true;
}

bool Store::ReusesBoldSegment(const TSegRec& seg)
{
    TSegRec found;
    if (!FindBoldSegmentBetween(seg.FromPoint.Pointnum, seg.ToPoint.Pointnum, found) ||
        found.Layernum != seg.Layernum || found.SegType != seg.SegType)
        return false;
    ShowInfo(QStringLiteral("Reusing Segment #") + QString::number(found.Segnum) +
             QStringLiteral(" in this layer between points ") +
             QString::number(seg.FromPoint.Pointnum) + QStringLiteral(" , ") +
             QString::number(seg.ToPoint.Pointnum));
    return true;
}

void Store::ReportRowNotFound(const QString& what, int32_t number)
{
    ShowInfo(QStringLiteral("Error : ") + what + ' ' + QString::number(number) +
             QStringLiteral(" not found"));
}

namespace
{

// The end of what the refresh says of a value that is not a number.
const QString NotANumberLeftOut = QStringLiteral(
    " is not a number; it is left out of the drawing (Database Healthcheck lists every such "
    "length)");

} // namespace

void Store::ReportUnusableLength(const TPointRec& point)
{
    if (UnusableLengthReported)
        return;
    if (std::isnan(point.Lenx) || std::isnan(point.Leny))
        ShowInfo(QStringLiteral("ERROR : Point #%1 has a length that").arg(point.Pointnum) +
                 NotANumberLeftOut);
    else
        ShowInfo(QStringLiteral("ERROR : Point #%1 has a length out of range (%2, %3); "
                                "it is left out of the drawing")
                     .arg(point.Pointnum)
                     .arg(point.Lenx)
                     .arg(point.Leny));
    UnusableLengthReported = true;
}

void Store::ReportUnusableAngle(int32_t segnum)
{
    if (UnusableLengthReported)
        return;
    ShowInfo(QStringLiteral("ERROR : Arc #%1 has an angle that").arg(segnum) + NotANumberLeftOut);
    UnusableLengthReported = true;
}

void Store::AddSegment(TSegRec& seg)
{
    if (seg.SegType == SegRectangle) {
        InsertRectangle(seg);
    } else {
        InsertSegment(seg);
    }
}

void Store::InsertRectangle(TSegRec& seg)
{
    if (seg.SegType != SegRectangle) {
        return;
    }
    WriteGroup([&] {
        TPointRec& a = seg.FromPoint;
        TPointRec& b = seg.ToPoint;
        EnsurePointStored(a);
        EnsurePointStored(b);

        TPointRec c = CornerPoint(b, a);
        c.Layernum = a.Layernum;
        EnsurePointStored(c);

        TPointRec d = CornerPoint(a, b);
        d.Layernum = a.Layernum;
        EnsurePointStored(d);

        TSegRec side = seg;
        side.SegType = SegLine;
        const auto insertSide = [&](const TPointRec& from, const TPointRec& to) {
            side.Segnum = -1;
            side.FromPoint = from;
            side.ToPoint = to;
            InsertSegment(side);
        };
        side.Mleny = 0;
        insertSide(a, c);
        insertSide(b, d);
        side.Mleny = seg.Mleny;
        side.Mlenx = 0;
        insertSide(c, b);
        insertSide(d, a);
    });
}

// ------------------------------------------------------------------- texts

void Store::AddText(TPointRec point, const QString& text, int32_t layernum)
{
    // A refused label leaves no newly stored point behind either.
    WriteGroup([&] {
        EnsurePointStored(point);
        InsertTextRow(point.Pointnum, text, layernum);
    });
}

void Store::MoveText(const TPointRec& from, const TPointRec& to)
{
    if (from.Pointnum == to.Pointnum) {
        ShowInfo(QStringLiteral("From & to points are the same"));
        return;
    }
    // The target is resolved before anything changes: an unstored to-point
    // may lie on a stored point, which may be the from-point itself or
    // carry a label already.
    TPointRec target = to;
    if (target.Pointnum < 0) {
        FindPointAtLength(target);
    }
    if (target.Pointnum >= 0 && target.Pointnum == from.Pointnum) {
        ShowInfo(QStringLiteral("From & to points are the same"));
        return;
    }
    if (target.Pointnum >= 0 && PointHasText(target.Pointnum)) {
        ShowInfo(QStringLiteral("To-point already has text"));
        return;
    }
    TTextRec moved;
    if (!LoadTextAtPoint(from.Pointnum, moved)) {
        ShowInfo(QStringLiteral("From-point has no text to move"));
        return;
    }
    // A label whose layer has gone lands on layer 0.
    TLayerRec layer;
    const int32_t layernum = LoadLayer(moved.Layer.Layernum, layer) ? layer.Layernum : 0;
    // The new label is written before the old one goes, as one change.
    WriteGroup([&] {
        EnsurePointStored(target);
        InsertTextRow(target.Pointnum, moved.Text, layernum);
        DeleteTextAtPoint(from.Pointnum);
    });
}

// ------------------------------------------------------------------ layers

std::vector<TLayerRec> Store::ListLayers()
{
    std::vector<TLayerRec> layers = LayersOfDiagram();
    if (!layers.empty())
        LastLayerNum = layers.back().Layernum;
    return layers;
}

std::unique_ptr<HealthCheck> Store::MakeHealthCheck()
{
    return nullptr;
}

bool Store::ExportToFirebird()
{
    ShowInfo(QStringLiteral("This program has no export to Firebird"));
    return false;
}

QString Store::FaultText(const std::exception& e) const
{
    return QString::fromUtf8(e.what());
}

bool Store::CheckDiagramOpen()
{
    if (CurrentDiagram > 0) {
        return true;
    }
    ShowInfo(QStringLiteral("No diagram open"));
    return false;
}

bool Store::ReloadCurrentLayer()
{
    return LoadLayer(CurrentLayer.Layernum, CurrentLayer) || LoadLayer(0, CurrentLayer);
}

bool Store::ConfirmCurrentLayerVisible()
{
    if (!ReloadCurrentLayer()) {
        ShowInfo(
            QStringLiteral("Selected layer no longer exists, nor does layer 0 - choose a layer"));
        return false;
    }
    if (CurrentLayer.Visib == VisibBold) {
        return true;
    }
    const QString word =
        CurrentLayer.Visib == VisibHidden ? QStringLiteral("hidden") : QStringLiteral("faint");
    return Confirm(QStringLiteral("Selected layer is ") + word + QStringLiteral(" - OK?"));
}

// ------------------------------------------------------------- diagrams

void Store::AdoptNewDiagram(int32_t dgnum, const QString& name, const QString& units,
                            int32_t decimals)
{
    CurrentDiagram = dgnum;
    DiagramName = name;
    DiagramUnits = units;
    RoundingDP = decimals;
    LastSegNum = 0;
    LastPointNum = -1;
}

void Store::CloseDiagram()
{
    CurrentDiagram = 0;
    DiagramName.clear();
    DiagramUnits.clear();
}

void Store::RenameOpenDiagram(const QString& name)
{
    DiagramName = name;
}

void Store::SetDiagramUnits(const QString& units, int32_t decimals)
{
    DiagramUnits = units;
    RoundingDP = decimals;
}
