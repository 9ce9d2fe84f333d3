#pragma once
// Dragging a borderless window by its face. A press on a face sets the drag
// cursor and hands the move to the window manager; where the window manager
// cannot move the window, the window follows the mouse itself until the
// button is released. The release, the next move over a face or the
// window's hiding puts the arrow back.

#include <QObject>
#include <QPoint>

class QFrame;
class QWidget;

class FaceDrag : public QObject
{
  public:
    explicit FaceDrag(QWidget& window);

    // Makes a part of the window a drag surface.
    void Watch(QWidget& face);
    // The window's face: a silver panel with a lowered bevel that fills the
    // window, watched as a drag surface. The window keeps it at its size.
    QFrame* MakeFacePanel();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Press(const QPoint& globalPos);
    void Move(const QPoint& globalPos, Qt::MouseButtons buttons);
    void End();

    QWidget& window_;
    QFrame* panel_ = nullptr; // the face, once made (a child of the window)
    bool draggingByHand_ = false;
    QPoint dragOffset_;
};
