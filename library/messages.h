#pragma once
// Information boxes, questions and confirmations. Every box opens at the
// mouse pointer, or exactly where the previous box stood when the mouse has
// not moved since it closed, and carries the application title unless a
// caption of its own has been set.

#include <QChar>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Caption of every box while not empty (shown after one blank); empty gives
// the application title.
QString MsgCaption();
void SetMsgCaption(const QString& caption);

// Sets MsgCaption for a run of messages and clears it again afterwards.
class ScopedMsgCaption
{
  public:
    explicit ScopedMsgCaption(const QString& caption);
    ~ScopedMsgCaption();
    ScopedMsgCaption(const ScopedMsgCaption&) = delete;
    ScopedMsgCaption& operator=(const ScopedMsgCaption&) = delete;
};

// The caption the next box carries.
QString BoxCaption();

void ShowInfo(const QString& s);
void ShowProgramError(const QString& s);

// 'Y', 'N', 'C', or a blank for any other way of closing the box.
QChar AskYesNoCancel(const QString& s);
bool Confirm(const QString& s);
bool ConfirmOK(const QString& s);
bool ConfirmSure(const QString& s);
bool ConfirmReallySure(const QString& s);

// Doubles every "&" in place, so that a widget that takes "&" as an
// accelerator mark shows it as itself; true when there was one.
bool DoubleAmpersands(QString& s);

// Top-left point for the next box, from the mouse position now.
QPoint GetDialogAnchor();
// The same from a given mouse position: the place of the last box when the
// mouse is where it was when that box closed, else the mouse position.
QPoint DialogAnchorFor(QPoint mouse);
// Notes where a closing box stood and where the mouse is now.
void RememberDialogPlace(const QWidget& box);
void RememberBoxPlace(QPoint boxTopLeft, QPoint mouse);
// Back to the start: both points (0, 0).
void ResetDialogPlaces();

// Where a window of the given size goes when anchored at a point: shifted
// left and up until its right and bottom edges fit the screen, and right and
// down when the anchor lies left of or above it, so that a window that fits
// ends wholly on the screen; a larger one keeps its top-left corner (its
// caption) on it.
QPoint PlaceBoxAt(QPoint anchor, QSize box, const QRect& screen);

// The area windows may take on the screen a point lies on (the primary
// screen when it lies on none).
QRect ScreenRectAt(QPoint p);

// The size of a window with its frame; a window never shown yet gets its
// native window first, since only then is its frame known.
QSize WindowFrameSize(QWidget& window);

// Moves a window to PlaceBoxAt of the anchor on the screen that holds the
// mouse: every window the program places itself goes through here.
void PlaceWindowAt(QWidget& window, QPoint anchor);
