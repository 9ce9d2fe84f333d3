#pragma once
// Enabling controls with a visible colour change, and placing windows next
// to the mouse pointer.

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

class QMenu;
class QWidget;

// The one colour that enabling paints back: the colour saved by the most
// recent disabling through EnableEdit (white after start-up).
QColor SavedColour();
void SetSavedColour(const QColor& colour);

// The colour a control shows its face in.
QColor ControlColour(const QWidget& control);
void SetControlColour(QWidget& control, const QColor& colour);

// Disabling saves the control's colour and paints it as a button face;
// enabling paints the saved colour. Disabling a disabled control does
// nothing.
void EnableEdit(QWidget& control, bool enable);
// Enabling paints the saved colour, disabling paints silver; the saved
// colour is left as it is.
void EnableGrey(QWidget& control, bool enable);

// Top-left of a form one pixel right of and below the mouse, pulled inside
// the screen; a form larger than the screen goes to the screen's top-left.
QPoint NearMousePlace(QPoint mouse, QSize form, const QRect& screen);
void PlaceNearMouse(QWidget& form);

// A window's place and size as a settings file gives them, made to fit the
// screen: each side at least the minimum and at most the screen's, then
// the whole window pulled onto the screen.
QRect RectWithinScreen(const QRect& wanted, QSize minimum, const QRect& screen);
void ShowNearMouse(QWidget& form);
int ShowModalNearMouse(QDialog& form);
void PopupAtMouse(QMenu& menu);
