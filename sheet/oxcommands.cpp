#include "sheet/oxcommands.h"

#include "library/flash.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <utility>

void SheetOXCommands::OtoX()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    s.HideCursorO();
    s.HideNewSegmentPreview();
    s.CursorO() = s.CursorX();
    s.Core().CurrentSegment.Segnum = -1;
    s.ShowCursorO();
    sheet_.ShowStatus();
    sheet_.ClearActiveControl();
}

void SheetOXCommands::XtoO()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    {
        CursorXHidden hidden(s);
        s.CursorX() = s.CursorO();
        s.Core().CurrentSegment.Segnum = -1;
    }
    sheet_.ClearActiveControl();
}

void SheetOXCommands::SwapOX()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    {
        CursorsHidden hidden(s);
        std::swap(s.CursorO(), s.CursorX());
    }
    sheet_.ShowStatus();
    sheet_.ClearActiveControl();
}

void SheetOXCommands::Undo()
{
    SheetState& s = sheet_.Sheet;
    CursorsHidden hidden(s);
    s.CursorX() = s.PrevX;
    s.CursorO() = s.PrevO;
}

void SheetOXCommands::PushX()
{
    SheetState& s = sheet_.Sheet;
    s.XMemory = s.CursorX();
    memoryFilled_ = true;
    Flash(QStringLiteral("X remembered OK"));
}

void SheetOXCommands::PopX()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    CursorsHidden hidden(s);
    TPointRec x = s.XMemory;
    if (!memoryFilled_) {
        // An empty memory is a place at lengths 0, 0, not stored point 0.
        x.Pointnum = -1;
        const Store& core = s.Core();
        if (core.Scale > 0) {
            x.Pxlx = core.LenToPixelX(x.Lenx);
            x.Pxly = core.LenToPixelY(x.Leny);
        }
    }
    s.CursorX() = x;
}
