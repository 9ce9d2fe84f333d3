#include "sheet/sheetstate.h"

#include "dialogs/forms.h"
#include "library/qorvlib.h"
#include "store/store.h"

#include <exception>
#include <stdexcept>

namespace
{

// The sheet's records start zero-filled: point and segment number 0.
TPointRec ZeroPoint()
{
    TPointRec p;
    p.Pointnum = 0;
    return p;
}

TSegRec ZeroSegment()
{
    TSegRec s;
    s.Segnum = 0;
    s.SegType = 0;
    s.FromPoint = ZeroPoint();
    s.ToPoint = ZeroPoint();
    return s;
}

} // namespace

SheetState::SheetState(Forms& forms, SheetHost& host) : forms_(forms), host_(host)
{
    CursorO() = ZeroPoint();
    CursorX() = ZeroPoint();
    PrevO = ZeroPoint();
    PrevX = ZeroPoint();
    XMemory = ZeroPoint();
    GuidePoint = ZeroPoint();
    LastSegment = ZeroSegment();
    InitPoint(LastDrawnEnd);
    Drawing.ArcAngle = 360;
}

const Edition& SheetState::Program() const
{
    return ProgramEdition(forms_);
}

Store& SheetState::Core() const
{
    if (!forms_.Fcore) {
        throw std::logic_error("The store is not open");
    }
    return *forms_.Fcore;
}

void SheetState::DrawCursorO()
{
    Drawing.DrawCircleCursor(CursorO().Pxlx, CursorO().Pxly);
}

void SheetState::DrawCursorX()
{
    Drawing.DrawCrossCursor(CursorX().Pxlx, CursorX().Pxly);
}

void SheetState::ShowCursorO()
{
    if (CursorOShown)
        return;
    CursorOShown = true;
    DrawCursorO();
    host_.BitmapChanged();
}

void SheetState::HideCursorO()
{
    if (!CursorOShown)
        return;
    CursorOShown = false;
    DrawCursorO();
    host_.BitmapChanged();
}

void SheetState::ShowCursorX()
{
    if (CursorXShown)
        return;
    CursorXShown = true;
    DrawCursorX();
    ShowNewSegmentPreview();
    host_.BitmapChanged();
    host_.ShowStatus();
}

void SheetState::HideCursorX()
{
    if (!CursorXShown)
        return;
    CursorXShown = false;
    DrawCursorX();
    HideNewSegmentPreview();
    host_.BitmapChanged();
    host_.EnableSelectSegmentAtX(false);
}

void SheetState::ShowCursors()
{
    ShowCursorO();
    ShowCursorX();
    if (WrappedAtEnd) {
        Flash(QStringLiteral("Already at end, resuming from start"));
        WrappedAtEnd = false;
    }
    if (WrappedAtStart) {
        Flash(QStringLiteral("Already at start, resuming from end"));
        WrappedAtStart = false;
    }
}

void SheetState::HideCursors()
{
    HideCursorO();
    HideCursorX();
}

void SheetState::DrawNewSegmentPreview()
{
    switch (PreviewKind) {
    case PreviewLine:
        Drawing.PreviewLineOX();
        break;
    case PreviewArcX:
        Drawing.PreviewArcAboutX();
        break;
    case PreviewArcO:
        Drawing.PreviewArcAboutO();
        break;
    case PreviewRectangle:
        Drawing.PreviewRectangleOX();
        break;
    default:
        break;
    }
}

void SheetState::ShowNewSegmentPreview()
{
    if (JoinMode != 2 || PreviewDrawn)
        return;
    DrawNewSegmentPreview();
    PreviewDrawn = true;
}

void SheetState::HideNewSegmentPreview()
{
    if (!PreviewDrawn)
        return;
    DrawNewSegmentPreview();
    PreviewDrawn = false;
}

void SheetState::SaveUndoOX()
{
    PrevO = CursorO();
    PrevX = CursorX();
}

void SheetState::RestoreLastSegment()
{
    SaveUndoOX();
    CursorsHidden hidden(*this);
    CursorX() = LastSegment.ToPoint;
    CursorO() = LastSegment.FromPoint;
    Core().CurrentSegment = LastSegment;
}

void SheetState::DrawGuides()
{
    Canvas& c = Bitmap;
    c.SetPenMode(PenMode::Xor);
    c.SetPenColour(SheetCursorColour);
    c.MoveTo(0, GuidePoint.Pxly);
    c.LineTo(c.Width(), GuidePoint.Pxly);
    c.MoveTo(GuidePoint.Pxlx, 0);
    c.LineTo(GuidePoint.Pxlx, c.Height());
    c.SetPenMode(PenMode::Copy);
    host_.BitmapChanged();
}

bool SheetState::ScaleMissing()
{
    Store& core = Core();
    if (!core.CheckDiagramOpen())
        return true;
    if (!(core.Scale > 0)) {
        ShowInfo(QStringLiteral("Enter a measurement to establish scale"));
        return true;
    }
    return false;
}

CursorsShownAgain::CursorsShownAgain(SheetState& sheet, Routine hide, Routine show)
    : sheet_(sheet), show_(show), failuresBefore_(std::uncaught_exceptions())
{
    (sheet_.*hide)();
}

CursorsShownAgain::~CursorsShownAgain() noexcept(false)
{
    if (std::uncaught_exceptions() == failuresBefore_) {
        (sheet_.*show_)();
        return;
    }
    try {
        (sheet_.*show_)();
    } catch (...) {
        // The command's error is the one the user is told; the cursors are
        // painted and flagged before the status panel is read.
    }
}
