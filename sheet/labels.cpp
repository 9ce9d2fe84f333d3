#include "sheet/labels.h"

#include "dialogs/edtxt.h"
#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "library/qorvlib.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QMenu>

SheetState& SheetLabels::Sheet() const
{
    return sheet_.Sheet;
}

Store& SheetLabels::Core() const
{
    return sheet_.Sheet.Core();
}

void SheetLabels::BuildPopupMenus()
{
    PopupMenu1 = new QMenu(&sheet_);
    Edittext1 = PopupMenu1->addAction(QStringLiteral("Edit text at O"));
    Movetext1 = PopupMenu1->addAction(QStringLiteral("Move text to X"));
    Deletetext1 = PopupMenu1->addAction(QStringLiteral("Delete text"));
    PopupMenu2 = new QMenu(&sheet_);
    Edittext2 = PopupMenu2->addAction(QStringLiteral("Edit text at X"));
    Movetext2 = PopupMenu2->addAction(QStringLiteral("Move text to O"));
    Deletetext2 = PopupMenu2->addAction(QStringLiteral("Delete text"));
}

void SheetLabels::TextAtX()
{
    Store& core = Core();
    SheetState& sheet = Sheet();
    if (!core.CheckDiagramOpen())
        return;
    // A point takes one label: say so before anything is typed or drawn.
    TPointRec at = sheet.CursorX();
    if (at.Pointnum < 0)
        core.FindPointAtLength(at);
    if (at.Pointnum >= 0 && core.PointHasText(at.Pointnum)) {
        ShowInfo(QStringLiteral("Point at X already has text"));
        return;
    }
    // A label longer than its column is refused and asked again, never cut;
    // an empty one is no label at all.
    QString text;
    if (!InputFittingText(QStringLiteral("Text at X"), text, TextWidth, QStringLiteral("A label")))
        return;
    if (text.isEmpty())
        return;
    sheet.LastText = text;
    TLayerRec layer;
    layer.Layernum = 0;
    layer.Visib = VisibHidden;
    for (;;) {
        if (!forms_.FLayers || !forms_.FLayers->ChooseLayer(layer))
            return;
        if (layer.Visib > VisibHidden)
            break;
        ShowInfo(QStringLiteral("Layer must visible to add text"));
    }
    WriteLabelAtX(sheet.LastText);
    core.AddText(sheet.CursorX(), sheet.LastText, layer.Layernum);
    // X now stands on the stored point that carries the label.
    if (sheet.CursorX().Pointnum < 0)
        core.FindPointAtLength(sheet.CursorX());
    sheet.LastText.clear();
    sheet.Host().ShowStatus();
}

void SheetLabels::WriteLabelAtX(const QString& text)
{
    SheetState& sheet = Sheet();
    // The cursors invert what lies under them: they come off the bitmap
    // while the text goes on, so that hiding them later leaves it intact.
    const bool oShown = sheet.CursorOShown;
    const bool xShown = sheet.CursorXShown;
    sheet.HideCursors();
    sheet.Bitmap.SetFontColour(SheetInk);
    sheet.Bitmap.TextOut(sheet.CursorX().Pxlx, sheet.CursorX().Pxly, text);
    if (oShown)
        sheet.ShowCursorO();
    if (xShown)
        sheet.ShowCursorX();
    sheet.Host().BitmapChanged();
}

void SheetLabels::EditTextAt(int pointnum)
{
    if (forms_.Fedtxt)
        forms_.Fedtxt->EditTextAtPoint(pointnum);
    sheet_.Redraw.RefreshWithCursors();
}

void SheetLabels::EditTextAtO()
{
    EditTextAt(Sheet().CursorO().Pointnum);
}

void SheetLabels::EditTextAtX()
{
    EditTextAt(Sheet().CursorX().Pointnum);
}

void SheetLabels::MoveText(const TPointRec& from, const TPointRec& to, const char* question)
{
    if (!Confirm(QString::fromUtf8(question)))
        return;
    Store& core = Core();
    // The store says itself why a label could not move; only a label that
    // left its point makes the sheet redraw.
    const bool had = from.Pointnum >= 0 && core.PointHasText(from.Pointnum);
    core.MoveText(from, to);
    if (had && !core.PointHasText(from.Pointnum))
        sheet_.Redraw.RefreshKeepingCursors();
}

void SheetLabels::MoveTextToX()
{
    MoveText(Sheet().CursorO(), Sheet().CursorX(), "Move text from O to X - OK?");
}

void SheetLabels::MoveTextToO()
{
    MoveText(Sheet().CursorX(), Sheet().CursorO(), "Move text from X to O - OK?");
}

void SheetLabels::DeleteTextAt(const TPointRec& point, const char* question)
{
    if (!Confirm(QString::fromUtf8(question)))
        return;
    Store& core = Core();
    if (point.Pointnum < 0 || !core.PointHasText(point.Pointnum))
        return;
    core.DeleteTextAtPoint(point.Pointnum);
    sheet_.Redraw.RefreshWithCursors();
}

void SheetLabels::DeleteTextAtO()
{
    DeleteTextAt(Sheet().CursorO(), "Delete text at O - OK?");
}

void SheetLabels::DeleteTextAtX()
{
    DeleteTextAt(Sheet().CursorX(), "Delete text at X - OK?");
}
