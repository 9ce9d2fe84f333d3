#include "sheet/segcommands.h"

#include "dialogs/edpt.h"
#include "dialogs/forms.h"
#include "dialogs/segdets.h"
#include "library/qorvlib.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QCursor>

SheetState& SheetSegmentCommands::Sheet() const
{
    return sheet_.Sheet;
}

Store& SheetSegmentCommands::Core() const
{
    return sheet_.Sheet.Core();
}

void SheetSegmentCommands::EdSegBtnClick()
{
    if (forms_.FSegdets) {
        TFSegdets& window = *forms_.FSegdets;
        window.adjustSize();
        const QPoint mouse = QCursor::pos();
        PlaceWindowAt(window, mouse - QPoint(0, WindowFrameSize(window).height()));
    }
    SegmentDetailsCommand();
}

void SheetSegmentCommands::SelSegBtn2Click()
{
    Sheet().RestoreLastSegment();
    if (forms_.FSegdets) {
        TFSegdets& window = *forms_.FSegdets;
        window.adjustSize();
        const QPoint mouse = QCursor::pos();
        PlaceWindowAt(window, mouse - QPoint(WindowFrameSize(window).width(), 0));
    }
    SegmentDetailsCommand();
}

void SheetSegmentCommands::SegmentDetailsCommand()
{
    SheetState& sheet = Sheet();
    if (sheet.ScaleMissing() || !forms_.FSegdets)
        return;
    TSegRec& segment = Core().CurrentSegment;
    const int32_t oldFrom = segment.FromPoint.Pointnum;
    const int32_t oldTo = segment.ToPoint.Pointnum;
    if (!forms_.FSegdets->EditSegment(segment, sheet.CursorO().Pointnum))
        return;
    const int32_t oNum = sheet.CursorO().Pointnum;
    const int32_t xNum = sheet.CursorX().Pointnum;
    if (segment.ToPoint.Pointnum != oldTo) {
        if (oldTo == oNum)
            sheet.CursorO() = segment.ToPoint;
        if (oldTo == xNum)
            sheet.CursorX() = segment.ToPoint;
    }
    if (segment.FromPoint.Pointnum != oldFrom) {
        if (oldFrom == oNum)
            sheet.CursorO() = segment.FromPoint;
        if (oldFrom == xNum)
            sheet.CursorX() = segment.FromPoint;
    }
    sheet_.Redraw.RefreshKeepingCursors();
}

bool SheetSegmentCommands::NextVisibleSegment(int segnum, int& next) const
{
    auto& rows = Core().VisibleSegments;
    if (rows.IsEmpty())
        return false;
    sheet_.Stepping.SeekVisibleSegment(segnum);
    rows.Next();
    if (rows.Eof())
        rows.First();
    next = rows.Current().Segnum;
    return true;
}

void SheetSegmentCommands::DeleteCurrentSegment()
{
    Store& core = Core();
    SheetState& sheet = Sheet();
    const int32_t segnum = core.CurrentSegment.Segnum;
    if (!Confirm(QStringLiteral("Delete segment ") + QString::number(segnum) +
                 QStringLiteral(" - are you sure?")))
        return;
    {
        CursorsHidden hidden(sheet);
        if (!core.VisibleSegments.Active()) {
            Flash(QStringLiteral("Opening Query4"));
            core.OpenVisibleSegments();
        }
        TSegRec following;
        int nextnum = -1;
        if (NextVisibleSegment(segnum, nextnum))
            core.LoadSegment(nextnum, following);
        core.DeleteSegment(core.CurrentDiagram, segnum);
        if (following.Segnum >= 0 && following.Segnum != segnum) {
            core.CurrentSegment = following;
            sheet.CursorO() = following.FromPoint;
            sheet.CursorX() = following.ToPoint;
        } else {
            // The walk came back to the deleted segment: there is no other
            // to take its place, and O and X stay on its ends.
            InitSegment(core.CurrentSegment);
        }
    }
    sheet_.Redraw.RefreshKeepingCursors();
}

void SheetSegmentCommands::EditPointCommand(const TPointRec& point)
{
    if (Sheet().ScaleMissing() || !forms_.FEdPt)
        return;
    if (forms_.FEdPt->EditPoint(point))
        sheet_.Redraw.RefreshKeepingCursors();
}

void SheetSegmentCommands::EdPtOBtnClick()
{
    EditPointCommand(Sheet().CursorO());
}

void SheetSegmentCommands::EdPtXBtnClick()
{
    EditPointCommand(Sheet().CursorX());
}
