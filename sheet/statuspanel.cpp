#include "sheet/statuspanel.h"

#include "library/qorvlib.h"
#include "sheet/sheetstate.h"
#include "store/store.h"

#include <QApplication>
#include <QPalette>
#include <cmath>

namespace
{

QString PointText(const QString& name, const TPointRec& point)
{
    QString text = name + QStringLiteral(" = Point #") + QString::number(point.Pointnum);
    if (point.Multiple)
        text += QLatin1Char('+');
    return text;
}

QString SegmentTypeLetter(int segType)
{
    switch (segType) {
    case SegJump:
        return QStringLiteral(" J");
    case SegLine:
        return QStringLiteral(" L");
    case SegArc:
        return QStringLiteral(" A");
    case SegRectangle:
        return QStringLiteral(" R");
    default:
        return {};
    }
}

// A stored segment whose two ends are the points a and b, either way round.
bool JoinsPoints(const TSegRec& seg, int32_t a, int32_t b)
{
    if (seg.Segnum < 0 || a < 0 || b < 0)
        return false;
    const int32_t from = seg.FromPoint.Pointnum;
    const int32_t to = seg.ToPoint.Pointnum;
    return (from == a && to == b) || (from == b && to == a);
}

// A segment is drawn while its layer is shown; a layer without a row never is.
bool SegmentDrawn(Store& core, const TSegRec& seg)
{
    TLayerRec layer;
    return core.LoadLayer(seg.Layernum, layer) && layer.Visib > VisibHidden;
}

// The current segment stays the O-X segment only while it joins the points
// o and x on a layer that is drawn; otherwise it is marked as not looked up.
// None found stands for the O and X of its lookup, which may have moved
// since, so it is looked up again as well.
void CheckOXSegment(Store& core, int32_t o, int32_t x)
{
    TSegRec& seg = core.CurrentSegment;
    if (!JoinsPoints(seg, o, x) || !SegmentDrawn(core, seg))
        seg.Segnum = -2;
}

} // namespace

QColor StatusPanelColour(StatusColour colour)
{
    switch (colour) {
    case StatusColour::SkyBlue:
        return QColor(166, 202, 240);
    case StatusColour::Yellow:
        return QColor(255, 255, 0);
    default:
        return QApplication::palette().color(QPalette::Button);
    }
}

double OXLength(SheetState& sheet)
{
    if (!sheet.CursorXShown || !sheet.CursorOShown)
        return 0;
    const TPointRec& x = sheet.CursorX();
    const TPointRec& o = sheet.CursorO();
    if (x.Lenx == o.Lenx)
        return std::abs(x.Leny - o.Leny);
    if (x.Leny == o.Leny)
        return std::abs(x.Lenx - o.Lenx);
    return std::hypot(x.Lenx - o.Lenx, x.Leny - o.Leny);
}

StatusView BuildStatus(SheetState& sheet)
{
    StatusView view;
    Store& core = sheet.Core();
    const TPointRec& x = sheet.CursorX();
    const TPointRec& o = sheet.CursorO();
    if (x.Pointnum < -1) {
        ShowInfo(QStringLiteral("Error - np lenxy not derived"));
        return view;
    }
    if (x.Pointnum >= 0) {
        view.XText = PointText(QStringLiteral("X"), x);
        view.XColour = StatusColour::SkyBlue;
        view.TextAtXEnabled = core.PointHasText(x.Pointnum);
    }
    if (o.Pointnum == -2) {
        ShowInfo(QStringLiteral("Error - lp lenxy not derived"));
        return view;
    }
    if (o.Pointnum >= 0) {
        view.OText = PointText(QStringLiteral("O"), o);
        view.OColour = StatusColour::SkyBlue;
        view.TextAtOEnabled = core.PointHasText(o.Pointnum);
    }
    CheckOXSegment(core, o.Pointnum, x.Pointnum);
    TSegRec& seg = core.CurrentSegment;
    if (seg.Segnum == -2) {
        core.FindBoldSegmentBetween(o.Pointnum, x.Pointnum, seg);
    }
    view.LengthText = FormatFixed(OXLength(sheet), core.RoundingDP);
    if (seg.Segnum >= 0) {
        view.OXText = QStringLiteral("O-X = Segment #") + QString::number(seg.Segnum) +
                      SegmentTypeLetter(seg.SegType);
        view.OXColour = StatusColour::Yellow;
        view.SegmentButtonsEnabled = true;
        view.LengthUnderlined = seg.Mlenx != 0 || seg.Mleny != 0;
    }
    view.PixelSizeText = QStringLiteral("Pixel size ") +
                         FormatFixed(core.UnitsPerPixel(), core.RoundingDP) + QLatin1Char(' ') +
                         core.DiagramUnits;
    return view;
}
