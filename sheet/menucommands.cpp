#include "sheet/menucommands.h"

#include "dialogs/diags.h"
#include "dialogs/layers.h"
#include "dialogs/pfls.h"
#include "sheet/forms.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QAction>
#include <QPushButton>

Store& SheetCommands::Core() const
{
    return sheet_.Sheet.Core();
}

void SheetCommands::Open1Click()
{
    // Only the tick moves: a zoom in force stays in force.
    sheet_.ZoomTickOnly = true;
    sheet_.zoomx1->setChecked(true);
    sheet_.ZoomTickOnly = false;
    if (!forms_.FDiags->ChooseDiagram())
        return;
    sheet_.Sheet.CursorO() = sheet_.Sheet.LastDrawnEnd;
    sheet_.Redraw.RefreshWithCursors();
    sheet_.FirstBtn->click();
    sheet_.OtoXBtn->click();
    sheet_.UpdateCaption();
}

void SheetCommands::New1Click()
{
    if (!forms_.FDiags->NewDiagram())
        return;
    sheet_.UpdateCaption();
    TPointRec empty;
    InitPoint(empty);
    sheet_.Sheet.CursorO() = empty;
    sheet_.Sheet.CursorX() = empty;
    sheet_.ZoomMenuCommand(ZoomCommand::Times1);
    sheet_.Redraw.RefreshWithCursors();
}

void SheetCommands::Profiles1Click()
{
    if (forms_.Fpfls->SwitchProfile())
        sheet_.Redraw.RefreshKeepingCursors();
}

void SheetCommands::Layers1Click()
{
    if (forms_.FLayers->ManageLayers())
        sheet_.Redraw.RefreshKeepingCursors();
}

void SheetCommands::exportFB1Click()
{
    if (ExportToFirebird && ExportToFirebird())
        sheet_.CloseSheet();
}

void SheetCommands::Button2Click()
{
    if (sheet_.Sheet.JoinMode == 2)
        sheet_.Joining.CloseJoiningPanel();
    sheet_.Sheet.JoinMode = 1;
    MeasuredSegmentAtX();
    sheet_.Joining.EndJoining();
    sheet_.ClearActiveControl();
}

void SheetCommands::MeasuredSegmentAtX()
{
    if (!Core().CheckDiagramOpen())
        return;
    sheet_.Sheet.ShowCursorO();
    TSegRec seg;
    InitSegment(seg);
    seg.FromPoint = sheet_.Sheet.CursorO();
    seg.ToPoint = sheet_.Sheet.CursorX();
    if (!forms_.Fseg->EnterMeasuredSegment(seg))
        return;
    sheet_.Sheet.CursorX() = seg.ToPoint;
    sheet_.Sheet.LastSegment = seg;
    sheet_.EnableSelectSegmentAtX(true);
    sheet_.Redraw.RefreshKeepingCursors();
}
