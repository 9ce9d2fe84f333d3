#include "sheet/stepping.h"

#include "dialogs/edition.h"
#include "library/flash.h"
#include "library/messages.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QComboBox>
#include <algorithm>

template <typename Row> void SheetStepping::MoveRow(RowCursor<Row>& rows, int direction)
{
    SheetState& s = sheet_.Sheet;
    if (direction == StepFirst) {
        rows.First();
    } else if (direction < 0) {
        rows.Prior();
        if (rows.Bof()) {
            s.MarkWrappedAtStart();
            rows.Last();
        }
    } else {
        rows.Next();
        if (rows.Eof()) {
            s.MarkWrappedAtEnd();
            rows.First();
        }
    }
}

void SheetStepping::StepButton(int direction)
{
    Store& core = sheet_.Sheet.Core();
    // Nothing to walk without a diagram.
    if (core.CurrentDiagram <= 0)
        return;
    if (!core.VisibleSegments.Active())
        core.OpenVisibleSegments();
    switch (static_cast<StepMode>(sheet_.ComboBox1->currentIndex())) {
    case StepMode::Points:
        StepPoint(direction);
        break;
    case StepMode::Segments:
        StepSegment(direction);
        break;
    case StepMode::SegmentsAtX:
        StepSegmentAtX(direction);
        break;
    case StepMode::Arcs:
        StepArc(direction);
        break;
    case StepMode::Diagonals:
        StepDiagonal(direction);
        break;
    case StepMode::Text:
        StepTextLabel(direction);
        break;
    default:
        return;
    }
    sheet_.ClearActiveControl();
}

// The visible points come in number order, and the visible segments too:
// the walk back from the last row that finds a number is a binary search,
// so that each step costs the same however long the walk and the diagram.
void SheetStepping::SeekVisiblePoint(int32_t pointnum)
{
    auto& points = sheet_.Sheet.Core().VisiblePoints;
    const auto& rows = points.Rows();
    // The last row with that number; with none, the walk ends on the first.
    const auto after =
        std::upper_bound(rows.begin(), rows.end(), pointnum,
                         [](int32_t n, const VisiblePointRow& row) { return n < row.Pointnum; });
    const bool found = after != rows.begin() && (after - 1)->Pointnum == pointnum;
    points.SeekBack(found ? int(after - rows.begin()) - 1 : 0);
}

void SheetStepping::StepPoint(int direction)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    auto& points = core.VisiblePoints;
    // Before the first redraw there is no set of drawn points.
    if (!points.Active() || points.IsEmpty())
        return;
    s.HideCursorX();
    SeekVisiblePoint(s.CursorX().Pointnum);
    MoveRow(points, direction);
    if (direction == StepFirst && s.Program().StepCountNotices)
        Flash(QString::number(points.RecordCount()) + QStringLiteral(" Points visible"));
    core.LoadPoint(points.Current().Pointnum, s.CursorX());
    core.CurrentSegment.Segnum = -2;
    s.ShowCursors();
}

void SheetStepping::SeekVisibleSegment(int32_t segnum)
{
    auto& segs = sheet_.Sheet.Core().VisibleSegments;
    if (segs.RecNo() > 0 && segs.Current().Segnum == segnum)
        return;
    // The last row numbered at or below it, or the first row.
    const auto& rows = segs.Rows();
    const auto after =
        std::upper_bound(rows.begin(), rows.end(), segnum,
                         [](int32_t n, const VisibleSegmentRow& row) { return n < row.Segnum; });
    segs.SeekBack(after == rows.begin() ? 0 : int(after - rows.begin()) - 1);
}

void SheetStepping::TakeCurrentSegmentRow()
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    core.LoadSegment(core.VisibleSegments.Current().Segnum, core.CurrentSegment);
    s.CursorO() = core.CurrentSegment.FromPoint;
    s.CursorX() = core.CurrentSegment.ToPoint;
}

void SheetStepping::StepSegment(int direction)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    auto& segs = core.VisibleSegments;
    if (segs.IsEmpty())
        return;
    CursorsHidden hidden(s);
    SeekVisibleSegment(core.CurrentSegment.Segnum);
    MoveRow(segs, direction);
    if (direction == StepFirst && s.Program().StepCountNotices)
        Flash(QString::number(segs.RecordCount()) + QStringLiteral(" Segments visible"));
    TakeCurrentSegmentRow();
}

void SheetStepping::StepSegmentAtX(int direction)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    auto& atX = core.SegmentsAtPoint;
    const int32_t xnum = s.CursorX().Pointnum;
    const TSegRec& current = core.CurrentSegment;
    CursorsHidden hidden(s);
    const bool xIsAnEnd = xnum == current.FromPoint.Pointnum || xnum == current.ToPoint.Pointnum;
    // "+" and "-" go on with the list as it stands, once there is one.
    if (direction == StepFirst || !xIsAnEnd || !atX.Active())
        core.OpenSegmentsAtPoint(xnum);
    if (atX.IsEmpty()) {
        // X off any stored point has no number to name.
        ShowInfo(xnum < 0
                     ? QStringLiteral("X is not on a stored point, so no segments meet "
                                      "there: put X on a point first")
                     : QStringLiteral("No segments found for point X #") + QString::number(xnum));
        return;
    }
    if (direction == StepFirst) {
        atX.First();
        if (s.Program().StepCountNotices)
            Flash(QString::number(atX.RecordCount()) + QStringLiteral(" Segments for Point #") +
                  QString::number(xnum));
    } else if (atX.RecordCount() == 1 && s.Program().OnlyOneItemNotice) {
        Flash(QStringLiteral("No more items - only one item found"));
        return;
    } else {
        MoveRow(atX, direction);
    }
    TSegRec seg;
    if (core.LoadSegment(atX.Current().Segnum, seg)) {
        // X stays put: the segment is turned so that its to-point is X.
        if (seg.FromPoint.Pointnum == xnum)
            SwapPoints(seg.FromPoint, seg.ToPoint);
        core.CurrentSegment = seg;
        s.CursorO() = seg.FromPoint;
    }
}

void SheetStepping::SearchSegments(int direction,
                                   const std::function<bool(const VisibleSegmentRow&)>& wanted,
                                   const QString& noneText, bool searchesEmptySet)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    auto& segs = core.VisibleSegments;
    CursorsHidden hidden(s);
    if (segs.IsEmpty()) {
        // A search over no rows runs off its end at once: it says so, and
        // that it found nothing.
        if (searchesEmptySet && s.Program().SearchesEmptySets) {
            if (direction < 0)
                s.MarkWrappedAtStart();
            else
                s.MarkWrappedAtEnd();
            ShowInfo(noneText);
        }
        return;
    }
    SeekVisibleSegment(core.CurrentSegment.Segnum);
    MoveRow(segs, direction);
    const int searchDirection = direction < 0 ? StepPrevious : StepNext;
    const int start = segs.RecNo();
    bool found = false;
    do {
        if (wanted(segs.Current())) {
            found = true;
            break;
        }
        MoveRow(segs, searchDirection);
    } while (segs.RecNo() != start);
    if (found)
        TakeCurrentSegmentRow();
    else
        ShowInfo(noneText);
}

void SheetStepping::StepArc(int direction)
{
    SearchSegments(
        direction, [](const VisibleSegmentRow& row) { return row.SegType == SegArc; },
        QStringLiteral("No Arcs visible"), direction < 0);
}

void SheetStepping::StepDiagonal(int direction)
{
    SearchSegments(
        direction,
        [](const VisibleSegmentRow& row) {
            return row.SegType == SegLine && row.Lenx1 != row.Lenx2 && row.Leny1 != row.Leny2;
        },
        QStringLiteral("No Diagonals visible"), true);
}

void SheetStepping::StepTextLabel(int direction)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    auto& texts = core.VisibleTexts;
    if (!texts.Active() || texts.IsEmpty())
        return;
    CursorsHidden hidden(s);
    MoveRow(texts, direction);
    if (direction == StepFirst && s.Program().StepCountNotices)
        Flash(QString::number(texts.RecordCount()) + QStringLiteral(" Text labels visible"));
    // A label whose point has gone leaves X where it was.
    TPointRec point;
    if (core.LoadPoint(texts.Current().Pointnum, point))
        s.CursorX() = point;
    core.CurrentSegment.Segnum = -2;
}
