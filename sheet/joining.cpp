#include "sheet/joining.h"

#include "dialogs/forms.h"
#include "dialogs/newseg.h"
#include "library/controls.h"
#include "library/messages.h"
#include "sheet/sheet.h"
#include "store/coords.h"
#include "store/store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <utility>

namespace
{

// The open panel's colour (aqua).
const QColor JoiningPanelColour(0, 255, 255);

bool Ticked(const QCheckBox* box)
{
    return box && box->isChecked();
}

} // namespace

void SheetJoining::EnableJoiningPanel(bool enable)
{
    EnableGrey(*sheet_.ComboBox2, enable);
    sheet_.AngleBtn->setEnabled(false);
    if (enable && sheet_.ComboBox2->currentText() == QLatin1String("ArcX"))
        sheet_.AngleBtn->setEnabled(true);
    sheet_.SaveBtn->setEnabled(enable);
    sheet_.JngCancel->setEnabled(enable);
}

void SheetJoining::CloseJoiningPanel()
{
    sheet_.Sheet.HideNewSegmentPreview();
    EnableJoiningPanel(false);
    sheet_.GroupBox2->setAutoFillBackground(false);
    sheet_.GroupBox2->setPalette(QPalette());
    sheet_.ClearActiveControl();
    sheet_.QuitBtn->setEnabled(true);
}

void SheetJoining::EndJoining()
{
    if (sheet_.Sheet.JoinMode == 2)
        CloseJoiningPanel();
    sheet_.Sheet.JoinMode = 0;
    if (forms_.Fnewseg)
        forms_.Fnewseg->hide();
}

void SheetJoining::StartJoining()
{
    SheetState& s = sheet_.Sheet;
    s.JoinMode = 2;
    if (forms_.Fnewseg)
        forms_.Fnewseg->show();
    s.HideNewSegmentPreview();
    EnableJoiningPanel(true);
    s.PreviewKind = sheet_.ComboBox2->currentIndex() + 1;
    s.ShowNewSegmentPreview();
    s.Host().BitmapChanged();
    QPalette palette = sheet_.GroupBox2->palette();
    palette.setColor(QPalette::Window, JoiningPanelColour);
    sheet_.GroupBox2->setPalette(palette);
    sheet_.GroupBox2->setAutoFillBackground(true);
    sheet_.ClearActiveControl();
    sheet_.QuitBtn->setEnabled(false);
    sheet_.activateWindow();
    sheet_.ClearActiveControl();
}

JoiningShape SheetJoining::Shape() const
{
    return static_cast<JoiningShape>(sheet_.ComboBox2->currentIndex());
}

void SheetJoining::ComboBox2Change()
{
    SheetState& s = sheet_.Sheet;
    s.HideNewSegmentPreview();
    const JoiningShape shape = Shape();
    if (forms_.Fnewseg)
        forms_.Fnewseg->XORChk->setChecked(shape == JoiningShape::Rectangle);
    sheet_.AngleBtn->setEnabled(shape == JoiningShape::ArcX || shape == JoiningShape::ArcO);
    s.PreviewKind = sheet_.ComboBox2->currentIndex() + 1;
    s.ShowNewSegmentPreview();
    s.Host().BitmapChanged();
    sheet_.ClearActiveControl();
}

void SheetJoining::SaveBtnClick()
{
    if (!SaveJoiningSegment())
        return;
    EndJoining();
    // The step buttons reopen the visible segments, so the next step sees
    // the new segment.
    sheet_.Sheet.Core().VisibleSegments.Close();
}

void SheetJoining::MoveXToArcEnd()
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    TPointRec& x = s.CursorX();
    x.Pointnum = -2;
    x.Pxlx = s.Drawing.ArcEndX;
    x.Pxly = s.Drawing.ArcEndY;
    x.Lenx = core.PixelToLenX(x.Pxlx);
    x.Leny = core.PixelToLenY(x.Pxly);
    core.FindPointAtLength(x);
}

TSegRec SheetJoining::JoiningSegment(JoiningShape shape) const
{
    SheetState& s = sheet_.Sheet;
    TSegRec seg;
    InitSegment(seg);
    seg.FromPoint = s.CursorO();
    seg.ToPoint = s.CursorX();
    ComputeSegmentDeltas(seg);
    seg.Layernum = s.Core().CurrentLayer.Layernum;
    if (forms_.Fnewseg) {
        seg.Dotted = Ticked(forms_.Fnewseg->DottedChk);
        seg.Xorflag = Ticked(forms_.Fnewseg->XORChk);
        seg.Faint = Ticked(forms_.Fnewseg->FaintChk);
    }
    switch (shape) {
    case JoiningShape::Line:
        seg.SegType = SegLine;
        break;
    case JoiningShape::ArcX:
    case JoiningShape::ArcO:
        // An arc is stored centre first, the start on the rim second.
        if (shape == JoiningShape::ArcX)
            std::swap(seg.FromPoint, seg.ToPoint);
        seg.SegType = SegArc;
        seg.Mlenx = s.Drawing.ArcAngle;
        break;
    case JoiningShape::Rectangle:
        seg.SegType = SegRectangle;
        break;
    }
    return seg;
}

void SheetJoining::InkJoiningSegment(const TSegRec& seg, JoiningShape shape)
{
    SheetState& s = sheet_.Sheet;
    const TLayerRec& layer = s.Core().CurrentLayer;
    const bool faintLayer = layer.Visib == VisibFaint;
    s.Bitmap.SetPenColour(layer.Visib == VisibBold ? SheetInk : SheetFaintInk);
    SheetDrawing& drawing = s.Drawing;
    switch (shape) {
    case JoiningShape::Line:
        drawing.DrawLineSegment(seg, faintLayer);
        break;
    case JoiningShape::ArcX:
    case JoiningShape::ArcO: {
        // Arcs are inked as the next redraw will ink them.
        const bool wasFaint = drawing.DrawFaint;
        drawing.DrawFaint = faintLayer || seg.Faint;
        if (shape == JoiningShape::ArcX)
            drawing.DrawArcAboutX(drawing.ArcAngle, PlotModeInk);
        else
            drawing.DrawArcAboutO(drawing.ArcAngle, PlotModeInk);
        drawing.DrawFaint = wasFaint;
        MoveXToArcEnd();
        const QSignalBlocker quiet(sheet_.ComboBox2);
        sheet_.ComboBox2->setCurrentIndex(static_cast<int>(JoiningShape::Line));
        break;
    }
    case JoiningShape::Rectangle:
        drawing.DrawXorRectangleOX();
        break;
    }
    s.Host().BitmapChanged();
}

bool SheetJoining::SaveJoiningSegment()
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    if (!core.ConfirmCurrentLayerVisible())
        return false;
    const TPointRec o = s.CursorO();
    const TPointRec x = s.CursorX();
    if (x.Pxlx == o.Pxlx && x.Lenx != o.Lenx &&
        AskYesNoCancel(QStringLiteral(
            "Segment is not truly vertical - are you sure you want to save?")) != QLatin1Char('Y'))
        return false;
    if (x.Pxly == o.Pxly && x.Leny != o.Leny &&
        AskYesNoCancel(
            QStringLiteral("Segment is not truly horizontal - are you sure you want to save?")) !=
            QLatin1Char('Y'))
        return false;
    const JoiningShape shape = Shape();
    if (shape == JoiningShape::Rectangle && (o.Lenx == x.Lenx || o.Leny == x.Leny)) {
        ShowInfo(QStringLiteral("Rectangle has zero width or height, use Line instead"));
        return false;
    }

    s.HideNewSegmentPreview();
    {
        CursorsHidden hidden(s);
        TSegRec seg = JoiningSegment(shape);
        // Stored before it is inked: a segment the store refuses leaves the
        // sheet, X and the panel as they were.
        const TSegRec drawn = seg;
        core.AddSegment(seg);
        InkJoiningSegment(drawn, shape);
        core.CurrentSegment = seg;
    }
    sheet_.ClearActiveControl();
    return true;
}
