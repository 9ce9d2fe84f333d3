#pragma once
// The main window: the drawing sheet with its side panel, status bar and
// menus.

#include "sheet/joining.h"
#include "sheet/menucommands.h"
#include "sheet/movex.h"
#include "sheet/oxcommands.h"
#include "sheet/redraw.h"
#include "sheet/sheetinput.h"
#include "sheet/sheetstate.h"
#include "sheet/sheettools.h"
#include "sheet/stepping.h"
#include "sheet/zoom.h"

#include <QMainWindow>
#include <QTimer>

struct Forms;
class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;
class SheetImage;
struct StatusView;

class TFSheet : public QMainWindow, public SheetHost
{
    Q_OBJECT

  public:
    explicit TFSheet(Forms& forms, QWidget* parent = nullptr);

    SheetState Sheet;
    SheetRedraw Redraw{Sheet};
    SheetJoining Joining;
    SheetCommands Commands;
    SheetTools Tools;
    SheetMoveX MoveX{*this};
    SheetStepping Stepping{*this};
    SheetOXCommands OX{*this};
    SheetInput Input;

    QTimer Timer1; // the start-up timer, enabled once every window exists

    // Drawing area.
    QWidget* Panel1 = nullptr; // right-hand panel
    QWidget* Panel2 = nullptr; // status bar
    QWidget* Panel3 = nullptr; // drawing area
    QScrollArea* ScrollBox1 = nullptr;
    SheetImage* Image1 = nullptr;

    // Right-hand panel.
    QGroupBox* GroupBox3 = nullptr; // "Move O, X"
    QToolButton *LeftBtn = nullptr, *UpBtn = nullptr, *RightBtn = nullptr, *DownBtn = nullptr;
    QPushButton *Button4 = nullptr, *Button5 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr,
                *SpeedButton4 = nullptr, *SpeedButton5 = nullptr, *SpeedButton6 = nullptr,
                *SpeedButton7 = nullptr, *SpeedButton8 = nullptr;
    QToolButton* SelSegBtn2 = nullptr;
    QPushButton *OtoXBtn = nullptr, *XtoObtn = nullptr, *SwapOXBtn = nullptr, *HalfWayBtn = nullptr;
    QGroupBox* GroupBox1 = nullptr; // "Step through"
    QComboBox* ComboBox1 = nullptr;
    QPushButton *FirstBtn = nullptr, *NextBtn = nullptr, *PrevBtn = nullptr;
    QGroupBox* GroupBox2 = nullptr; // "New joining seg"
    QComboBox* ComboBox2 = nullptr;
    QPushButton *AngleBtn = nullptr, *SaveBtn = nullptr, *JngCancel = nullptr;
    QGroupBox* GroupBox4 = nullptr; // "New segment"
    QPushButton *Button2 = nullptr, *Button3 = nullptr;
    QPushButton* FocusBtn = nullptr;
    QToolButton *GuidesBtn = nullptr, *FindNearBtn = nullptr, *RefPtsBtn = nullptr;
    QPushButton* QuitBtn = nullptr;

    // Status bar.
    QWidget *Panel4 = nullptr, *Panel5 = nullptr, *Panel6 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr;
    QToolButton *EdPtXBtn = nullptr, *EdTxtBtnX = nullptr, *EdPtOBtn = nullptr,
                *EdTxtBtnO = nullptr, *EdSegBtn = nullptr, *delsegbtn = nullptr;
    QPushButton* Button1 = nullptr;

    // Menus.
    QAction* Quit1 = nullptr;
    QMenu* Diagram1 = nullptr;
    QAction *Open1 = nullptr, *New1 = nullptr, *Close1 = nullptr, *Delete1 = nullptr;
    QMenu* Diagramdetails1 = nullptr;
    QAction *Rename1 = nullptr, *Units1 = nullptr, *Notes1 = nullptr;
    QMenu* Export1 = nullptr;
    QAction *toClipboard1 = nullptr, *toPrinter1 = nullptr, *toBMPfile1 = nullptr,
            *toCSVfile1 = nullptr;
    QAction *Profiles1 = nullptr, *Layers1 = nullptr, *Draw1 = nullptr;
    QMenu* AddText1 = nullptr;
    QAction *extatX1 = nullptr, *Diagramnotes1 = nullptr;
    QMenu* Zoom1 = nullptr;
    QMenu* zoomxhalf = nullptr;
    QAction *centred = nullptr, *shleft = nullptr, *shright = nullptr, *shup = nullptr,
            *shdown = nullptr;
    QAction *zoomx1 = nullptr, *zoomx2 = nullptr, *zoomx3 = nullptr, *zoomx4 = nullptr;
    QActionGroup* ZoomGroup = nullptr;
    QMenu* Database1 = nullptr;
    QAction *Healthcheck1 = nullptr, *exportFB1 = nullptr;
    QMenu* Seek1 = nullptr;
    QAction *forPoint1 = nullptr, *forSegment1 = nullptr;
    QAction* Ellipse1 = nullptr;
    QMenu* Options1 = nullptr;
    QAction *Flashtime1 = nullptr, *estFlash1 = nullptr;
    QAction *Notepad1 = nullptr, *About1 = nullptr;

    // While set, the "x 1" command only moves the tick (opening a diagram).
    bool ZoomTickOnly = false;

    // Closes the main window, which ends the program.
    void CloseSheet();
    void UpdateCaption();
    void ShowStatus() override;
    void ClearActiveControl() override;
    // Ticks the zoom item of the command, sets the zoom and margins and
    // refreshes keeping the cursors.
    void ZoomMenuCommand(ZoomCommand command);

    void FormShow();
    void Timer1Timer();
    // Whether the first refresh still waits for the maximised window to
    // reach the screen.
    bool OpeningRefreshPending() const { return openingRefreshPending_; }

  signals:
    // The main window has closed: its store is closed and the ini file
    // written. The program's loop ends on it.
    void Closed();

  public:
    // SheetHost
    QSize ScrollBoxClientSize() const override;
    QSize ScrollBoxSize() const override;
    int SidePanelWidth() const override;
    bool ShowPointsDown() const override;
    void BitmapReplaced() override;
    void BitmapChanged() override;
    void ReleaseGuides() override;
    void EnableSelectSegmentAtX(bool enabled) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void BindCommands();
    void BindTools();
    void BindCursorWork();
    void BuildMenus();
    void BuildZoomMenu();
    void BuildSidePanel();
    QGroupBox* BuildMoveGroup();
    QGroupBox* BuildStepGroup();
    QGroupBox* BuildJoiningGroup();
    QGroupBox* BuildNewSegmentGroup();
    void BuildStatusBar();
    void ApplyStatus(const StatusView& view);
    // The Zoom menu's item that a zoom command ticks; none for a margin
    // command.
    QAction* ZoomTick(ZoomCommand command) const;
    // Every close shuts the store down and closes the notepad; it never
    // refuses, because every change is stored when it is made.
    void FormCloseQuery();
    // The refresh and status of the first showing, when a diagram is open;
    // then the start-up timer's work if the timer has fired already.
    void OpeningRefresh();
    bool DiagramOpen() const;
    // The start-up timer's work: the open diagram's notes, the upgrade.
    void StartupWork();

    Forms& forms_;
    bool shownOnce_ = false;
    bool openingRefreshPending_ = false;
    bool openingShown_ = false;   // the first showing's refresh and status are done
    bool startupWorkDue_ = false; // the start-up timer fired before they were
    bool closed_ = false;         // the close query runs once, however often close is asked
};
