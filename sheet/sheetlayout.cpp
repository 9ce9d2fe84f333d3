// The main window's widgets and menus as the sheet is designed: the
// right-hand panel, the status bar and the drawing area between them.

#include "dialogs/edition.h"
#include "dialogs/forms.h"
#include "sheet/sheet.h"
#include "sheet/sheetimage.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <type_traits>

namespace
{

constexpr int SidePanelWidthPx = 122; // the narrowest the panel is made
constexpr int StatusBarHeightPx = 31;
constexpr int LastStatusPanelWidthPx = 104;
constexpr int SmallButton = 22;

// The narrowest a button may be and still show its whole caption at its
// font: the caption's width plus what the style keeps around it.
int CaptionFittingWidth(QAbstractButton& button)
{
    const int caption = button.fontMetrics().horizontalAdvance(button.text());
    if (!qobject_cast<QPushButton*>(&button)) {
        const int frame =
            button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
        return caption + 2 * frame;
    }
    constexpr int probeWidth = 200;
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect = QRect(0, 0, probeWidth, SmallButton);
    option.text = button.text();
    const int room =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
    return caption + probeWidth - room;
}

// A small square button as designed, widened where its caption needs more.
void SetSmallButtonSize(QAbstractButton& button)
{
    button.setFixedSize(std::max(SmallButton, CaptionFittingWidth(button)), SmallButton);
}

template <typename Button>
Button* MakeButton(QWidget* parent, const QString& caption, const QString& hint = {})
{
    auto* b = new Button(parent);
    b->setText(caption);
    if constexpr (std::is_same_v<Button, QPushButton>)
        b->setMinimumWidth(CaptionFittingWidth(*b));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QToolButton* MakeToggle(QWidget* parent, const QString& caption, const QString& hint)
{
    auto* b = MakeButton<QToolButton>(parent, caption, hint);
    b->setCheckable(true);
    return b;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& caption, const QString& hint = {})
{
    auto* g = new QGroupBox(caption, parent);
    if (!hint.isEmpty())
        g->setToolTip(hint);
    return g;
}

// A status text never narrower than the designed text it starts with (the
// longest of its kind: "Point #9999", "Segment #9999"), so that its panel
// keeps its place as the text changes; a longer text widens it where the bar
// has room.
void KeepDesignedWidth(QLabel& label)
{
    label.setMinimumWidth(label.sizeHint().width());
}

QWidget* MakeStatusPanel(QWidget* parent, QLabel*& label, const QString& placeholder)
{
    auto* panel = new QWidget(parent);
    panel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 2, 0);
    row->setSpacing(2);
    label = new QLabel(placeholder, panel);
    // A space's room after the text, however long, before what follows it.
    label->setContentsMargins(0, 0, label->fontMetrics().horizontalAdvance(QLatin1Char(' ')), 0);
    KeepDesignedWidth(*label);
    row->addWidget(label);
    return panel;
}

} // namespace

void TFSheet::BuildSidePanel()
{
    Panel1 = new QWidget(this);
    auto* column = new QVBoxLayout(Panel1);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(BuildMoveGroup());
    FocusBtn = MakeButton<QPushButton>(
        Panel1, QStringLiteral("<< Focus"),
        QStringLiteral("switch focus to the drawing so that arrow keys move the X-cursor"));
    auto* tools = new QHBoxLayout;
    GuidesBtn = MakeToggle(Panel1, QStringLiteral("+"), QStringLiteral("Show/hide cross-hairs"));
    FindNearBtn =
        MakeButton<QToolButton>(Panel1, QStringLiteral("?"), QStringLiteral("Find point near X"));
    RefPtsBtn = MakeToggle(Panel1, QStringLiteral("."), QStringLiteral("Show Points"));
    tools->addWidget(FocusBtn);
    tools->addWidget(GuidesBtn);
    tools->addWidget(FindNearBtn);
    tools->addWidget(RefPtsBtn);
    column->addLayout(tools);
    column->addWidget(BuildStepGroup());
    column->addWidget(BuildNewSegmentGroup());
    column->addWidget(BuildJoiningGroup());
    column->addStretch(1);
    QuitBtn = MakeButton<QPushButton>(Panel1, QStringLiteral("QuitBtn"));
    column->addWidget(QuitBtn);
    // As narrow as designed, but never narrower than its captions need at
    // the font the platform gives.
    Panel1->setFixedWidth(std::max(SidePanelWidthPx, column->minimumSize().width()));
}

QGroupBox* TFSheet::BuildMoveGroup()
{
    GroupBox3 = MakeGroup(Panel1, QStringLiteral("Move O, X"),
                          QStringLiteral("Skip to next colour change on diagram "));
    auto* grid = new QGridLayout(GroupBox3);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    auto skip = [this](const QString& caption, const QString& direction) {
        auto* b = MakeButton<QToolButton>(
            GroupBox3, caption, QStringLiteral("Skip X %1 (+SHIFT for line)").arg(direction));
        SetSmallButtonSize(*b);
        return b;
    };
    auto speed = [this](const QString& caption, const QString& hint) {
        auto* b = MakeButton<QToolButton>(GroupBox3, caption, hint);
        b->setFixedHeight(SmallButton);
        return b;
    };
    UpBtn = skip(QStringLiteral("^"), QStringLiteral("up"));
    LeftBtn = skip(QStringLiteral("<"), QStringLiteral("left"));
    RightBtn = skip(QStringLiteral(">"), QStringLiteral("right"));
    DownBtn = skip(QStringLiteral("v"), QStringLiteral("down"));
    Button4 = MakeButton<QPushButton>(GroupBox3, QStringLiteral("ox-"),
                                      QStringLiteral("Skip X towards O"));
    Button5 = MakeButton<QPushButton>(GroupBox3, QStringLiteral("ox+"),
                                      QStringLiteral("Skip X away from O"));
    SpeedButton2 = speed(QStringLiteral("L"), QStringLiteral("new OX orthogonal to old (left)"));
    SpeedButton6 = speed(QStringLiteral("R"), QStringLiteral("new OX orthogonal to old (right)"));
    SelSegBtn2 = speed(QStringLiteral("S"), QStringLiteral("Select segment at X"));
    SpeedButton3 = speed(QStringLiteral("\u2195"), QStringLiteral("Skip X up, O down"));
    SpeedButton1 = speed(QStringLiteral("\u2922"), QStringLiteral("Skip X up/left, O down/right"));
    SpeedButton4 = speed(QStringLiteral("\u2194"), QStringLiteral("Skip X left, O right"));
    OtoXBtn = MakeButton<QPushButton>(GroupBox3, QStringLiteral("o -> x"),
                                      QStringLiteral("Move O to X (or double-click)"));
    XtoObtn =
        MakeButton<QPushButton>(GroupBox3, QStringLiteral("x -> o"), QStringLiteral("Move X to O"));
    XtoObtn->setDefault(true);
    SwapOXBtn = MakeButton<QPushButton>(GroupBox3, QStringLiteral("o <> x"),
                                        QStringLiteral("Swap O and X"));
    HalfWayBtn = MakeButton<QPushButton>(GroupBox3, QStringLiteral("x -:- o"),
                                         QStringLiteral("Move X half way to O"));
    SpeedButton5 = speed(QStringLiteral("Undo"), QStringLiteral("Undo"));
    SpeedButton7 = speed(QStringLiteral("pop"), QStringLiteral("pop x (from Memory)"));
    SpeedButton8 = speed(QStringLiteral("push"), QStringLiteral("push X (to Memory)"));

    grid->addWidget(UpBtn, 0, 1);
    grid->addWidget(LeftBtn, 1, 0);
    grid->addWidget(SelSegBtn2, 1, 1);
    grid->addWidget(RightBtn, 1, 2);
    grid->addWidget(DownBtn, 2, 1);
    grid->addWidget(Button4, 3, 0, 1, 2);
    grid->addWidget(Button5, 3, 2);
    grid->addWidget(SpeedButton2, 4, 0);
    grid->addWidget(SpeedButton3, 4, 1);
    grid->addWidget(SpeedButton6, 4, 2);
    grid->addWidget(SpeedButton4, 5, 0);
    grid->addWidget(SpeedButton1, 5, 1);
    grid->addWidget(SpeedButton5, 5, 2);
    grid->addWidget(OtoXBtn, 6, 0, 1, 2);
    grid->addWidget(SpeedButton7, 6, 2);
    grid->addWidget(XtoObtn, 7, 0, 1, 2);
    grid->addWidget(SpeedButton8, 7, 2);
    grid->addWidget(SwapOXBtn, 8, 0, 1, 2);
    grid->addWidget(HalfWayBtn, 8, 2);
    SelSegBtn2->setEnabled(false);
    return GroupBox3;
}

QGroupBox* TFSheet::BuildStepGroup()
{
    GroupBox1 = MakeGroup(Panel1, QStringLiteral("Step through"),
                          QStringLiteral("Step through all items one by one"));
    auto* grid = new QGridLayout(GroupBox1);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->addItems({QStringLiteral("Points"), QStringLiteral("Segments"),
                         QStringLiteral("Segs at point X"), QStringLiteral("Arcs"),
                         QStringLiteral("Diagonals"), QStringLiteral("Text")});
    ComboBox1->setCurrentIndex(-1);
    FirstBtn = MakeButton<QPushButton>(GroupBox1, QStringLiteral("0"), QStringLiteral("First"));
    NextBtn = MakeButton<QPushButton>(GroupBox1, QStringLiteral("+"), QStringLiteral("Next"));
    PrevBtn = MakeButton<QPushButton>(GroupBox1, QStringLiteral("-"), QStringLiteral("Previous"));
    grid->addWidget(ComboBox1, 0, 0, 1, 3);
    grid->addWidget(FirstBtn, 1, 0);
    grid->addWidget(NextBtn, 1, 1);
    grid->addWidget(PrevBtn, 1, 2);
    return GroupBox1;
}

QGroupBox* TFSheet::BuildNewSegmentGroup()
{
    GroupBox4 = MakeGroup(Panel1, QStringLiteral("New segment"));
    auto* row = new QHBoxLayout(GroupBox4);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);
    Button2 = MakeButton<QPushButton>(GroupBox4, QStringLiteral("Measured"),
                                      ProgramEdition(forms_).MeasuredHint);
    Button3 = MakeButton<QPushButton>(GroupBox4, QStringLiteral("Join"));
    // Default buttons like "x -> o": Enter presses the first enabled one.
    Button2->setDefault(true);
    Button3->setDefault(true);
    row->addWidget(Button2);
    row->addWidget(Button3);
    return GroupBox4;
}

QGroupBox* TFSheet::BuildJoiningGroup()
{
    GroupBox2 = MakeGroup(Panel1, QStringLiteral("New joining seg"));
    GroupBox2->setAutoFillBackground(true);
    auto* grid = new QGridLayout(GroupBox2);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    ComboBox2 = new QComboBox(GroupBox2);
    ComboBox2->addItems({QStringLiteral("Line"), QStringLiteral("ArcX"), QStringLiteral("ArcO"),
                         QStringLiteral("Rectangle")});
    ComboBox2->setEnabled(false);
    QPalette grey = ComboBox2->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    grey.setColor(QPalette::Button, QColor(192, 192, 192));
    ComboBox2->setPalette(grey);
    AngleBtn = MakeButton<QPushButton>(GroupBox2, QStringLiteral("angle = 360"),
                                       QStringLiteral("Arc angle"));
    SaveBtn = MakeButton<QPushButton>(GroupBox2, QStringLiteral("Save"),
                                      QStringLiteral("Insert new segment"));
    JngCancel = MakeButton<QPushButton>(GroupBox2, QStringLiteral("Cancel"),
                                        QStringLiteral("Insert new segment"));
    SaveBtn->setDefault(true);
    JngCancel->setDefault(true);
    AngleBtn->setEnabled(false);
    SaveBtn->setEnabled(false);
    JngCancel->setEnabled(false);
    grid->addWidget(ComboBox2, 0, 0, 1, 2);
    grid->addWidget(AngleBtn, 1, 0, 1, 2);
    grid->addWidget(SaveBtn, 2, 0);
    grid->addWidget(JngCancel, 2, 1);
    return GroupBox2;
}

void TFSheet::BuildStatusBar()
{
    Panel2 = new QWidget(this);
    Panel2->setFixedHeight(StatusBarHeightPx);
    auto* row = new QHBoxLayout(Panel2);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);
    auto small = [this](QWidget* parent, const QString& caption, const QString& hint) {
        auto* b = MakeButton<QToolButton>(parent, caption, hint);
        SetSmallButtonSize(*b);
        return b;
    };
    Panel4 = MakeStatusPanel(Panel2, Label3, QStringLiteral("O = Point #9999 "));
    EdPtOBtn = small(Panel4, QStringLiteral("..."), QStringLiteral("Point O details"));
    EdTxtBtnO = small(Panel4, QStringLiteral("T"), QStringLiteral("Text at O-cursor"));
    Panel4->layout()->addWidget(EdPtOBtn);
    Panel4->layout()->addWidget(EdTxtBtnO);
    Panel5 = MakeStatusPanel(Panel2, Label1, QStringLiteral("X = Point #9999 "));
    EdPtXBtn = small(Panel5, QStringLiteral("..."), QStringLiteral("Point X details"));
    EdTxtBtnX = small(Panel5, QStringLiteral("T"), QStringLiteral("Text at X-cursor"));
    Panel5->layout()->addWidget(EdPtXBtn);
    Panel5->layout()->addWidget(EdTxtBtnX);
    Panel6 = MakeStatusPanel(Panel2, Label2, QStringLiteral("O-X = Segment #9999 "));
    Label4 = new QLabel(QStringLiteral("Length = "), Panel6);
    Label6 = new QLabel(QStringLiteral("99999"), Panel6);
    KeepDesignedWidth(*Label6);
    EdSegBtn = small(Panel6, QStringLiteral("..."), QStringLiteral("Show segment details"));
    delsegbtn = small(Panel6, QStringLiteral("x"), QStringLiteral("Delete segment"));
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(EdSegBtn), static_cast<QWidget*>(delsegbtn)})
        Panel6->layout()->addWidget(w);
    Label5 = new QLabel(QStringLiteral("Pixel size 99999"), Panel2);
    KeepDesignedWidth(*Label5);
    Button1 =
        MakeButton<QPushButton>(Panel2, QStringLiteral("A"),
                                QStringLiteral("Area of rectangle with O & X at opposite corners"));
    SetSmallButtonSize(*Button1);
    row->addWidget(Panel4);
    row->addWidget(Panel5);
    row->addWidget(Panel6);
    row->addWidget(Label5);
    if (ProgramEdition(forms_).StatusBarUnderDrawing) {
        // The last panel has a width of its own, however wide the bar; its
        // text (the pixel size with its units) widens it when it needs more.
        Label5->setMinimumWidth(std::max(LastStatusPanelWidthPx, Label5->minimumWidth()));
        Label5->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        row->addWidget(Button1);
        row->addStretch(1);
        return;
    }
    row->addStretch(1);
    row->addWidget(Button1);
}

void TFSheet::BuildMenus()
{
    QMenuBar* bar = menuBar();
    Quit1 = bar->addAction(QStringLiteral("Exit"));
    Diagram1 = bar->addMenu(QStringLiteral("Diagram"));
    Open1 = Diagram1->addAction(QStringLiteral("Open"));
    New1 = Diagram1->addAction(QStringLiteral("New"));
    Close1 = Diagram1->addAction(QStringLiteral("Close"));
    Delete1 = Diagram1->addAction(QStringLiteral("Delete"));
    Diagramdetails1 = Diagram1->addMenu(QStringLiteral("Details"));
    Rename1 = Diagramdetails1->addAction(QStringLiteral("Name"));
    Units1 = Diagramdetails1->addAction(QStringLiteral("Units"));
    Notes1 = Diagramdetails1->addAction(QStringLiteral("Notes"));
    Export1 = Diagram1->addMenu(QStringLiteral("Export diagram"));
    toClipboard1 = Export1->addAction(QStringLiteral("to Clipboard"));
    toPrinter1 = Export1->addAction(QStringLiteral("to Printer"));
    toBMPfile1 = Export1->addAction(QStringLiteral("to BMP file"));
    toCSVfile1 = Export1->addAction(QStringLiteral("to CSV file"));
    for (QAction* a : {toPrinter1, toBMPfile1, toCSVfile1})
        a->setEnabled(false);
    Profiles1 = bar->addAction(QStringLiteral("Profiles"));
    Layers1 = bar->addAction(QStringLiteral("Layers"));
    Draw1 = bar->addAction(QStringLiteral("Redraw"));
    AddText1 = bar->addMenu(QStringLiteral("Text"));
    extatX1 = AddText1->addAction(QStringLiteral("Text at X"));
    Diagramnotes1 = AddText1->addAction(QStringLiteral("Diagram notes"));
    BuildZoomMenu();
    Database1 = bar->addMenu(QStringLiteral("Database"));
    Healthcheck1 = Database1->addAction(QStringLiteral("Healthcheck"));
    exportFB1 =
        Database1->addAction(QStringLiteral("Export to Firebird (for upgrade to Scalora2)"));
    Seek1 = bar->addMenu(QStringLiteral("Search"));
    forPoint1 = Seek1->addAction(QStringLiteral("for Point"));
    forSegment1 = Seek1->addAction(QStringLiteral("for Segment"));
    Ellipse1 = bar->addAction(QStringLiteral("Ellipse"));
    Options1 = bar->addMenu(QStringLiteral("Options"));
    Flashtime1 = Options1->addAction(QStringLiteral("Flash interval"));
    estFlash1 = Options1->addAction(QStringLiteral("Test Flash"));
    Notepad1 = bar->addAction(QStringLiteral("Notepad"));
    About1 = bar->addAction(QStringLiteral("About"));
}

void TFSheet::BuildZoomMenu()
{
    Zoom1 = menuBar()->addMenu(QStringLiteral("Zoom"));
    ZoomGroup = new QActionGroup(this);
    ZoomGroup->setExclusive(true);
    zoomxhalf = Zoom1->addMenu(QStringLiteral("x 1/2"));
    zoomxhalf->menuAction()->setCheckable(true);
    ZoomGroup->addAction(zoomxhalf->menuAction());
    centred = zoomxhalf->addAction(QStringLiteral("Centred (extend all margins)"));
    shleft = zoomxhalf->addAction(QStringLiteral("Shift left (extend right margin)"));
    shright = zoomxhalf->addAction(QStringLiteral("Shift right (extend left margin)"));
    shup = zoomxhalf->addAction(QStringLiteral("Shift up (extend bottom margin)"));
    shdown = zoomxhalf->addAction(QStringLiteral("Shift down (extend top margin)"));
    auto tick = [this](const QString& caption) {
        QAction* a = Zoom1->addAction(caption);
        a->setCheckable(true);
        ZoomGroup->addAction(a);
        return a;
    };
    zoomx1 = tick(QStringLiteral("x 1"));
    zoomx2 = tick(QStringLiteral("x 2"));
    zoomx3 = tick(QStringLiteral("x 3"));
    zoomx4 = tick(QStringLiteral("x 4"));
    zoomx1->setChecked(true);
}

void TFSheet::FormCreate()
{
    Panel3 = new QWidget(this);
    ScrollBox1 = new QScrollArea(Panel3);
    ScrollBox1->setBackgroundRole(QPalette::Base);
    Image1 = new SheetImage(Sheet.Bitmap, ScrollBox1);
    ScrollBox1->setWidget(Image1);
    auto* drawingArea = new QVBoxLayout(Panel3);
    drawingArea->setContentsMargins(0, 0, 0, 0);
    drawingArea->setSpacing(0);
    drawingArea->addWidget(ScrollBox1, 1);
    BuildSidePanel();
    BuildStatusBar();
    auto* central = new QWidget(this);
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(Panel3, 1);
    top->addWidget(Panel1);
    rows->addLayout(top, 1);
    // Under the scroll box, beside the side panel, or across the window.
    if (ProgramEdition(forms_).StatusBarUnderDrawing)
        drawingArea->addWidget(Panel2);
    else
        rows->addWidget(Panel2);
    setCentralWidget(central);
    BuildMenus();
}
