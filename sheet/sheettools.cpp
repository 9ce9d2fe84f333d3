// The main window's bindings of the geometric helpers, the text labels and
// the segment and point details.

#include "sheet/sheettools.h"

#include "library/qorvlib.h"
#include "sheet/sheet.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

void TFSheet::BindTools()
{
    SheetGeometry& geometry = Tools.Geometry;
    connect(AngleBtn, &QPushButton::clicked, this, [&geometry] { geometry.AngleBtnClick(); });
    connect(HalfWayBtn, &QPushButton::clicked, this, [&geometry] { geometry.HalfWayBtnClick(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [&geometry] { geometry.OrthogonalOX('L'); });
    connect(SpeedButton6, &QToolButton::clicked, this, [&geometry] { geometry.OrthogonalOX('R'); });
    connect(Button4, &QPushButton::clicked, this, [&geometry] { geometry.Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [&geometry] { geometry.Button5Click(); });
    connect(Ellipse1, &QAction::triggered, this, [&geometry] { geometry.DrawEllipseOX(); });
    connect(Button1, &QPushButton::clicked, this, [&geometry] { geometry.Button1Click(); });

    SheetLabels& labels = Tools.Labels;
    labels.BuildPopupMenus();
    connect(extatX1, &QAction::triggered, this, [&labels] { labels.TextAtX(); });
    connect(EdTxtBtnO, &QToolButton::clicked, this,
            [&labels] { PopupAtMouse(*labels.PopupMenu1); });
    connect(EdTxtBtnX, &QToolButton::clicked, this,
            [&labels] { PopupAtMouse(*labels.PopupMenu2); });
    connect(labels.Edittext1, &QAction::triggered, this, [&labels] { labels.EditTextAtO(); });
    connect(labels.Movetext1, &QAction::triggered, this, [&labels] { labels.MoveTextToX(); });
    connect(labels.Deletetext1, &QAction::triggered, this, [&labels] { labels.DeleteTextAtO(); });
    connect(labels.Edittext2, &QAction::triggered, this, [&labels] { labels.EditTextAtX(); });
    connect(labels.Movetext2, &QAction::triggered, this, [&labels] { labels.MoveTextToO(); });
    connect(labels.Deletetext2, &QAction::triggered, this, [&labels] { labels.DeleteTextAtX(); });

    SheetSegmentCommands& segments = Tools.Segments;
    connect(EdSegBtn, &QToolButton::clicked, this, [&segments] { segments.EdSegBtnClick(); });
    connect(SelSegBtn2, &QToolButton::clicked, this, [&segments] { segments.SelSegBtn2Click(); });
    connect(delsegbtn, &QToolButton::clicked, this,
            [&segments] { segments.DeleteCurrentSegment(); });
    connect(EdPtOBtn, &QToolButton::clicked, this, [&segments] { segments.EdPtOBtnClick(); });
    connect(EdPtXBtn, &QToolButton::clicked, this, [&segments] { segments.EdPtXBtnClick(); });
}
