#include "sheet/sheet.h"

#include "dialogs/edition.h"
#include "dialogs/forms.h"
#include "dialogs/notepad.h"
#include "library/application.h"
#include "library/qorvlib.h"
#include "sheet/sheetimage.h"
#include "sheet/statuspanel.h"
#include "store/store.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QWindow>
#include <utility>

namespace
{

QString UpgradeQuestion(int upgradeState)
{
    QString text = QStringLiteral("Upgrade to Scalora2 ");
    if (upgradeState == 1)
        text += QStringLiteral("in progress");
    else if (upgradeState == 2)
        text += QStringLiteral("already completed");
    return text + QStringLiteral(" - do you really want to revert to Scalora1 ?");
}

void SetPanelColour(QWidget* panel, StatusColour colour)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, StatusPanelColour(colour));
    panel->setPalette(palette);
}

} // namespace

TFSheet::TFSheet(Forms& forms, QWidget* parent)
    : QMainWindow(parent), Sheet(forms, *this), Joining(*this, forms), Commands(*this, forms),
      Tools(*this, forms), forms_(forms)
{
    const Edition& edition = ProgramEdition(forms_);
    setWindowTitle(edition.Title);
    move(edition.WindowPlacement.topLeft());
    resize(edition.WindowPlacement.size());
    setStyleSheet(QStringLiteral("TFSheet { background: white; }"));
    setFocusPolicy(Qt::StrongFocus);
    FormCreate();
    Button3->setToolTip(
        QStringLiteral("Insert Joining Segment at OX\r(or can use SHIFT + Skip X buttons above)"));

    connect(Quit1, &QAction::triggered, this, &TFSheet::CloseSheet);
    connect(Draw1, &QAction::triggered, this, [this] { Redraw.RedrawCommand(); });
    connect(RefPtsBtn, &QToolButton::clicked, this, [this] { Redraw.RefreshKeepingCursors(); });
    connect(FocusBtn, &QPushButton::clicked, this, &TFSheet::ClearActiveControl);
    BindCommands();
    BindTools();
    BindCursorWork();
    connect(Zoom1, &QMenu::aboutToShow, this,
            [this] { zoomxhalf->setTitle(QStringLiteral("x ") + QChar(0x00BD)); });
    connect(zoomxhalf, &QMenu::aboutToShow, this,
            [this] { zoomxhalf->menuAction()->setChecked(true); });
    const std::pair<QAction*, ZoomCommand> zoomCommands[] = {
        {centred, ZoomCommand::Centred},    {shleft, ZoomCommand::ShiftLeft},
        {shright, ZoomCommand::ShiftRight}, {shup, ZoomCommand::ShiftUp},
        {shdown, ZoomCommand::ShiftDown},   {zoomx1, ZoomCommand::Times1},
        {zoomx2, ZoomCommand::Times2},      {zoomx3, ZoomCommand::Times3},
        {zoomx4, ZoomCommand::Times4}};
    for (const auto& [action, command] : zoomCommands) {
        connect(action, &QAction::triggered, this,
                [this, command = command] { ZoomMenuCommand(command); });
    }

    exportFB1->setVisible(ProgramEdition(forms_).ExportMenu);
    Timer1.setInterval(500);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TFSheet::Timer1Timer);
    ClearActiveControl();
}

void TFSheet::BindCommands()
{
    connect(Open1, &QAction::triggered, this, [this] { Commands.Open1Click(); });
    connect(New1, &QAction::triggered, this, [this] { Commands.New1Click(); });
    connect(Profiles1, &QAction::triggered, this, [this] { Commands.Profiles1Click(); });
    connect(Layers1, &QAction::triggered, this, [this] { Commands.Layers1Click(); });
    connect(exportFB1, &QAction::triggered, this, [this] { Commands.exportFB1Click(); });
    connect(Healthcheck1, &QAction::triggered, this, [this] { Commands.Healthcheck1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Commands.Button2Click(); });
    connect(Diagram1, &QMenu::aboutToShow, this, [this] { Commands.Diagram1Open(); });
    connect(Close1, &QAction::triggered, this, [this] { Commands.Close1Click(); });
    connect(Delete1, &QAction::triggered, this, [this] { Commands.Delete1Click(); });
    connect(Rename1, &QAction::triggered, this, [this] { Commands.Rename1Click(); });
    connect(Units1, &QAction::triggered, this, [this] { Commands.Units1Click(); });
    connect(Notes1, &QAction::triggered, this, [this] { Commands.ShowDiagramNotes(); });
    connect(Diagramnotes1, &QAction::triggered, this, [this] { Commands.ShowDiagramNotes(); });
    connect(toClipboard1, &QAction::triggered, this, [this] { Commands.toClipboard1Click(); });
    connect(forPoint1, &QAction::triggered, this, [this] { Commands.forPoint1Click(); });
    connect(forSegment1, &QAction::triggered, this, [this] { Commands.forSegment1Click(); });
    connect(Options1, &QMenu::aboutToShow, this, [this] { Commands.Options1Open(); });
    connect(Flashtime1, &QAction::triggered, this, [] { AskFlashInterval(); });
    connect(estFlash1, &QAction::triggered, this, [] { TestFlash(); });
    connect(Notepad1, &QAction::triggered, this, [this] { Commands.Notepad1Click(); });
    connect(About1, &QAction::triggered, this, [this] { Commands.About1Click(); });
    connect(QuitBtn, &QPushButton::clicked, this, [this] { Commands.QuitBtnClick(); });
}

void TFSheet::CloseSheet()
{
    close();
}

void TFSheet::UpdateCaption()
{
    const Store* core = forms_.Fcore;
    const QString name = core ? core->DiagramName : QString();
    const QString units = core ? core->DiagramUnits : QString();
    setWindowTitle(ProgramEdition(forms_).CaptionPrefix + name + QStringLiteral(" ( ") + units +
                   QStringLiteral(" )"));
}

void TFSheet::ShowStatus()
{
    ApplyStatus(BuildStatus(Sheet));
}

void TFSheet::ApplyStatus(const StatusView& view)
{
    Label1->setText(view.XText);
    Label2->setText(view.OXText);
    Label3->setText(view.OText);
    SetPanelColour(Panel5, view.XColour);
    SetPanelColour(Panel4, view.OColour);
    SetPanelColour(Panel6, view.OXColour);
    QFont font = Label6->font();
    font.setUnderline(view.LengthUnderlined);
    Label6->setFont(font);
    EdSegBtn->setEnabled(view.SegmentButtonsEnabled);
    delsegbtn->setEnabled(view.SegmentButtonsEnabled);
    EdTxtBtnX->setEnabled(view.TextAtXEnabled);
    EdTxtBtnO->setEnabled(view.TextAtOEnabled);
    EdPtXBtn->setEnabled(true);
    EdPtOBtn->setEnabled(true);
    if (view.LengthText)
        Label6->setText(*view.LengthText);
    if (view.PixelSizeText)
        Label5->setText(*view.PixelSizeText);
}

void TFSheet::ClearActiveControl()
{
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused != this && isAncestorOf(focused))
        focused->clearFocus();
    setFocus(Qt::OtherFocusReason);
}

QAction* TFSheet::ZoomTick(ZoomCommand command) const
{
    switch (command) {
    case ZoomCommand::Times1:
        return zoomx1;
    case ZoomCommand::Times2:
        return zoomx2;
    case ZoomCommand::Times3:
        return zoomx3;
    case ZoomCommand::Times4:
        return zoomx4;
    default:
        // The margin commands leave the tick where the user's opening of
        // their submenu put it.
        return nullptr;
    }
}

void TFSheet::ZoomMenuCommand(ZoomCommand command)
{
    // A zoom run from elsewhere (a new diagram) ticks itself as the menu does.
    if (QAction* tick = ZoomTick(command))
        tick->setChecked(true);
    if (command == ZoomCommand::Times1 && ZoomTickOnly)
        return;
    ApplyZoomCommand(Sheet.Core(), command, ScrollBoxSize(), Sheet.ZoomFactor);
    Redraw.RefreshKeepingCursors();
}

void TFSheet::FormShow()
{
    const bool maximise = ProgramEdition(forms_).MaximiseOnShow;
    if (maximise) {
        showMaximized();
        InitPoint(Sheet.CursorO());
        InitPoint(Sheet.CursorX());
    }
    ComboBox2->setCurrentIndex(0);
    UpdateCaption();
    if (maximise && windowHandle()) {
        // A window manager gives the window its maximised size only once it
        // is mapped, and the window reaches the screen at that size: the
        // sheet is fitted then, to the size the user sees. Until then, and
        // while that refresh runs, the panels show the cursors not placed
        // yet rather than their design texts.
        if (DiagramOpen())
            ShowStatus();
        openingRefreshPending_ = true;
        windowHandle()->installEventFilter(this);
        return;
    }
    OpeningRefresh();
}

bool TFSheet::DiagramOpen() const
{
    return forms_.Fcore && forms_.Fcore->CurrentDiagram > 0;
}

void TFSheet::OpeningRefresh()
{
    openingRefreshPending_ = false;
    // A window closed before it reached the screen has its store closed.
    if (closed_)
        return;
    if (DiagramOpen()) {
        // A refresh that fails is reported here, so that the start-up work
        // it holds back still follows.
        DeliverShowingExceptions([this] {
            Redraw.RefreshWithCursors();
            ShowStatus();
            return true;
        });
    }
    openingShown_ = true;
    // Nor does it follow a close that came while the refresh let events in.
    if (std::exchange(startupWorkDue_, false) && !closed_)
        StartupWork();
}

bool TFSheet::eventFilter(QObject* watched, QEvent* event)
{
    QWindow* window = windowHandle();
    if (openingRefreshPending_ && watched == window && event->type() == QEvent::Expose &&
        window->isExposed()) {
        window->removeEventFilter(this);
        // Once the window has taken its exposure in.
        QMetaObject::invokeMethod(this, &TFSheet::OpeningRefresh, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFSheet::Timer1Timer()
{
    Timer1.stop();
    if (closed_)
        return;
    // The timer runs by the clock, the first showing by the window system:
    // on a slow start the timer comes first, or inside the opening refresh,
    // whose busy cursor lets pending events through. What it opens is modal
    // and would hold the sheet without its drawing, cursors and status for
    // as long as it is up, so it waits for the first showing to finish.
    if (!openingShown_) {
        startupWorkDue_ = true;
        return;
    }
    StartupWork();
}

void TFSheet::StartupWork()
{
    Commands.ShowDiagramNotesIfAny();
    const int state = forms_.Fcore ? forms_.Fcore->UpgradeState : 0;
    if (state == 0)
        return;
    if (!ProgramEdition(forms_).AsksUpgradeQuestion) {
        // The second program only notes that the upgrade has been taken up.
        if (state == 1)
            forms_.Fcore->UpgradeState = 2;
        return;
    }
    if (AskYesNoCancel(UpgradeQuestion(state)) != QLatin1Char('Y'))
        CloseSheet();
}

QSize TFSheet::ScrollBoxClientSize() const
{
    return ScrollBox1->maximumViewportSize();
}

QSize TFSheet::ScrollBoxSize() const
{
    return ScrollBox1->size();
}

int TFSheet::SidePanelWidth() const
{
    return Panel1->isHidden() ? 0 : Panel1->width();
}

bool TFSheet::ShowPointsDown() const
{
    return RefPtsBtn->isChecked();
}

void TFSheet::BitmapReplaced()
{
    Image1->FitToBitmap();
}

void TFSheet::BitmapChanged()
{
    Image1->update();
}

void TFSheet::ReleaseGuides()
{
    GuidesBtn->setChecked(false);
}

void TFSheet::EnableSelectSegmentAtX(bool enabled)
{
    SelSegBtn2->setEnabled(enabled);
}

void TFSheet::FormCloseQuery()
{
    // The close always goes ahead: a store that cannot close cleanly (a full
    // disk, say) is reported once, and the notepad is still closed.
    if (forms_.Fcore) {
        DeliverShowingExceptions([this] {
            forms_.Fcore->CloseStore();
            return true;
        });
    }
    if (forms_.Fnotepad) {
        forms_.Fnotepad->close();
    }
}

void TFSheet::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TFSheet::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (closed_)
        return;
    closed_ = true;
    FormCloseQuery();
    emit Closed();
}
