#include "sheet/menucommands.h"

#include "dialogs/about1.h"
#include "dialogs/diags.h"
#include "dialogs/forms.h"
#include "dialogs/hchk.h"
#include "dialogs/layers.h"
#include "dialogs/notepad.h"
#include "dialogs/notes.h"
#include "dialogs/pfls.h"
#include "library/controls.h"
#include "library/flash.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "library/textnum.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "store/coords.h"
#include "store/store.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>

Store& SheetCommands::Core() const
{
    return sheet_.Sheet.Core();
}

void SheetCommands::Diagram1Open()
{
    const bool open = Core().CurrentDiagram > 0;
    sheet_.Rename1->setEnabled(open);
    sheet_.Export1->menuAction()->setEnabled(open);
    sheet_.Delete1->setEnabled(open);
}

void SheetCommands::Open1Click()
{
    // Only the tick moves: a zoom in force stays in force.
    sheet_.ZoomTickOnly = true;
    sheet_.zoomx1->setChecked(true);
    sheet_.ZoomTickOnly = false;
    if (!forms_.FDiags->ChooseDiagram())
        return;
    sheet_.Sheet.HideCursors();
    sheet_.Sheet.CursorO() = sheet_.Sheet.LastDrawnEnd;
    sheet_.Redraw.RefreshWithCursors();
    sheet_.FirstBtn->click();
    sheet_.OtoXBtn->click();
    ShowDiagramNotesIfAny();
    sheet_.UpdateCaption();
}

void SheetCommands::New1Click()
{
    if (!forms_.FDiags->NewDiagram())
        return;
    sheet_.UpdateCaption();
    TPointRec empty;
    InitPoint(empty);
    sheet_.Sheet.HideCursors();
    sheet_.Sheet.CursorO() = empty;
    sheet_.Sheet.CursorX() = empty;
    sheet_.ZoomMenuCommand(ZoomCommand::Times1);
    sheet_.Redraw.RefreshWithCursors();
}

void SheetCommands::Close1Click()
{
    Core().CloseDiagram();
    sheet_.Redraw.RefreshWithCursors();
    sheet_.UpdateCaption();
}

void SheetCommands::Delete1Click()
{
    if (!Core().DeleteDiagram())
        return;
    sheet_.setWindowTitle(QStringLiteral("SCALORA - "));
    sheet_.Redraw.RefreshWithCursors();
}

void SheetCommands::Rename1Click()
{
    QString name;
    if (!forms_.FDiags->RenameDiagram(Core().CurrentDiagram, name))
        return;
    Core().RenameOpenDiagram(name);
    sheet_.UpdateCaption();
}

void SheetCommands::Units1Click()
{
    if (!forms_.FDiags->EditDiagramUnits())
        return;
    sheet_.UpdateCaption();
    // The lengths on the status bar take the new units and decimals.
    sheet_.ShowStatus();
}

void SheetCommands::toClipboard1Click()
{
    {
        // The picture goes out without the cursors painted on it.
        CursorsHidden hidden(sheet_.Sheet);
        QGuiApplication::clipboard()->setImage(sheet_.Sheet.Bitmap.Image().copy());
    }
    Flash(QStringLiteral("Copied to clipboard OK"));
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
    // A successful export ends the program, so that scalora2 is started next.
    if (Core().ExportToFirebird())
        sheet_.CloseSheet();
}

void SheetCommands::Healthcheck1Click()
{
    if (forms_.Fhchk)
        forms_.Fhchk->ShowHealthCheck();
}

bool SheetCommands::AskNumber(const QString& prompt, QString& typed, int32_t& number)
{
    typed.clear();
    // A text that is no whole number is named and asked for again, as typed.
    for (;;) {
        if (!InputText(prompt, typed))
            return false;
        if (!typed.trimmed().isEmpty() && ParseInteger(typed, number))
            return true;
        ShowInfo(QStringLiteral("Invalid integer ") + InDoubleQuotes(typed) +
                 QStringLiteral(" - enter a whole number"));
    }
}

void SheetCommands::forPoint1Click()
{
    QString typed;
    int32_t n = 0;
    if (!AskNumber(QStringLiteral("Enter Point number"), typed, n))
        return;
    Store& core = Core();
    TPointRec point;
    if (!core.LoadPoint(n, point)) {
        ShowInfo(QStringLiteral("Point not found"));
        return;
    }
    // Only a point the last redraw drew is on the sheet to put X on.
    if (point.Rprts != core.RedrawStamp) {
        ShowInfo(QStringLiteral("Point not visible, try Layer #") +
                 QString::number(point.Layernum));
        return;
    }
    sheet_.Sheet.HideCursors();
    sheet_.Sheet.CursorX() = point;
    sheet_.Redraw.RefreshKeepingCursors();
}

void SheetCommands::forSegment1Click()
{
    QString typed;
    int32_t n = 0;
    if (!AskNumber(QStringLiteral("Enter Segment number"), typed, n))
        return;
    Store& core = Core();
    TSegRec seg;
    if (!core.LoadSegment(n, seg)) {
        ShowInfo(QStringLiteral("Segment not found"));
        return;
    }
    TLayerRec layer;
    core.LoadLayer(seg.Layernum, layer);
    if (layer.Visib == VisibHidden) {
        ShowInfo(QStringLiteral("Segment #") + typed + QStringLiteral(" is in Layer #") +
                 QString::number(seg.Layernum) + QStringLiteral(" which is currently hidden"));
        return;
    }
    sheet_.Sheet.HideCursors();
    core.CurrentSegment = seg;
    sheet_.Sheet.CursorO() = seg.FromPoint;
    sheet_.Sheet.CursorX() = seg.ToPoint;
    sheet_.Redraw.RefreshKeepingCursors();
}

void SheetCommands::Options1Open()
{
    sheet_.Flashtime1->setText(QStringLiteral("Flash interval = ") +
                               QString::number(FlashIntervalMs()) + QStringLiteral("ms"));
}

// A window already shown behind the sheet comes to the front, ready to type.
void SheetCommands::Notepad1Click()
{
    if (!forms_.Fnotepad)
        return;
    forms_.Fnotepad->show();
    forms_.Fnotepad->raise();
    forms_.Fnotepad->activateWindow();
}

void SheetCommands::About1Click()
{
    if (!forms_.FAbout1)
        return;
    ShowNearMouse(*forms_.FAbout1);
    forms_.FAbout1->raise();
    forms_.FAbout1->activateWindow();
}

void SheetCommands::QuitBtnClick()
{
    if (Confirm(QStringLiteral("OK to quit program \"SCALORA\" ?")))
        sheet_.CloseSheet();
}

void SheetCommands::PressDefaultButton()
{
    for (QPushButton* button :
         {sheet_.XtoObtn, sheet_.Button2, sheet_.Button3, sheet_.SaveBtn, sheet_.JngCancel}) {
        if (button->isDefault() && button->isEnabled()) {
            button->click();
            return;
        }
    }
}

void SheetCommands::PressCancelButton()
{
    // QuitBtn is disabled while the joining panel is open, so Esc then
    // leaves joining instead of offering to quit.
    for (QPushButton* button : {sheet_.JngCancel, sheet_.QuitBtn}) {
        if (button->isEnabled()) {
            button->click();
            return;
        }
    }
}

void SheetCommands::ShowDiagramNotes()
{
    if (forms_.Fnotes)
        forms_.Fnotes->ShowDiagramNotes();
}

void SheetCommands::ShowDiagramNotesIfAny()
{
    if (forms_.Fnotes)
        forms_.Fnotes->ShowDiagramNotesIfAny();
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
    SetSegmentPoints(seg, sheet_.Sheet.CursorO(), sheet_.Sheet.CursorX());
    if (!forms_.Fseg->EnterMeasuredSegment(seg))
        return;
    sheet_.Sheet.CursorX() = seg.ToPoint;
    sheet_.Sheet.LastSegment = seg;
    sheet_.Redraw.RefreshKeepingCursors();
    // After the refresh, whose hiding of X disables the button.
    sheet_.EnableSelectSegmentAtX(true);
}
