// The main window's bindings of the cursor work: moving X, stepping, the O
// and X exchanges and the joining panel.

#include "sheet/sheet.h"
#include "sheet/sheetimage.h"

#include <QComboBox>
#include <QPushButton>
#include <QToolButton>

void TFSheet::BindCursorWork()
{
    Input.Attach(*this, *Image1);
    Input.OnKey(Qt::Key_Left, false, [this] { MoveX.ArrowKey(-1, 0); });
    Input.OnKey(Qt::Key_Up, false, [this] { MoveX.ArrowKey(0, -1); });
    Input.OnKey(Qt::Key_Right, false, [this] { MoveX.ArrowKey(1, 0); });
    Input.OnKey(Qt::Key_Down, false, [this] { MoveX.ArrowKey(0, 1); });
    // The arrow keys of the numeric pad move X as well.
    Input.OnKey(Qt::Key_Left, true, [this] { MoveX.ArrowKey(-1, 0); });
    Input.OnKey(Qt::Key_Up, true, [this] { MoveX.ArrowKey(0, -1); });
    Input.OnKey(Qt::Key_Right, true, [this] { MoveX.ArrowKey(1, 0); });
    Input.OnKey(Qt::Key_Down, true, [this] { MoveX.ArrowKey(0, 1); });
    // Only the numeric pad's + and - extend and reduce O-X.
    Input.OnKey(Qt::Key_Plus, true, [this] { Tools.Geometry.ExtendKey(1); });
    Input.OnKey(Qt::Key_Minus, true, [this] { Tools.Geometry.ExtendKey(-1); });
    // Enter presses the first enabled default button ("x -> o"), Esc the
    // cancel button, also while a control of the side panel has the focus.
    Input.OnDialogKey(Qt::Key_Return, false, [this] { Commands.PressDefaultButton(); });
    Input.OnDialogKey(Qt::Key_Enter, true, [this] { Commands.PressDefaultButton(); });
    Input.OnDialogKey(Qt::Key_Escape, false, [this] { Commands.PressCancelButton(); });
    Input.OnPress([this](int x, int y) { MoveX.PlaceXAtPixel(x, y); });
    Input.OnDoubleClick([this](int, int) { OX.OtoX(); });

    Input.OnButtonDown(*LeftBtn, [this](bool shift) { MoveX.SkipButtonDown(-1, 0, shift); });
    Input.OnButtonDown(*RightBtn, [this](bool shift) { MoveX.SkipButtonDown(1, 0, shift); });
    Input.OnButtonDown(*UpBtn, [this](bool shift) { MoveX.SkipButtonDown(0, -1, shift); });
    Input.OnButtonDown(*DownBtn, [this](bool shift) { MoveX.SkipButtonDown(0, 1, shift); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { MoveX.SkipXUpODown(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { MoveX.SkipXLeftORight(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { MoveX.SkipXUpLeftODownRight(); });
    connect(GuidesBtn, &QToolButton::clicked, this,
            [this](bool down) { MoveX.GuidesBtnClick(down); });
    connect(FindNearBtn, &QToolButton::clicked, this, [this] { MoveX.FindNearBtnClick(); });

    connect(OtoXBtn, &QPushButton::clicked, this, [this] { OX.OtoX(); });
    connect(XtoObtn, &QPushButton::clicked, this, [this] { OX.XtoO(); });
    connect(SwapOXBtn, &QPushButton::clicked, this, [this] { OX.SwapOX(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { OX.Undo(); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { OX.PopX(); });
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { OX.PushX(); });

    connect(FirstBtn, &QPushButton::clicked, this, [this] { Stepping.StepButton(StepFirst); });
    connect(NextBtn, &QPushButton::clicked, this, [this] { Stepping.StepButton(StepNext); });
    connect(PrevBtn, &QPushButton::clicked, this, [this] { Stepping.StepButton(StepPrevious); });

    connect(Button3, &QPushButton::clicked, this, [this] { Joining.StartJoining(); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { Joining.SaveBtnClick(); });
    connect(JngCancel, &QPushButton::clicked, this, [this] { Joining.EndJoining(); });
    connect(ComboBox2, &QComboBox::activated, this, [this] { Joining.ComboBox2Change(); });
}
