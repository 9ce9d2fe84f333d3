#pragma once
// Dragging a borderless window by its face. A press on a face sets the drag
// cursor and hands the move to the window manager; where the window manager
// cannot move the window, the window follows the mouse itself until the
// button is released. The release, the next move over a face or the
// window's hiding puts the arrow back.

#include <QObject>
#include <QPoint>

class QWidget;

class FaceDrag : public QObject
{
  public:
    explicit FaceDrag(QWidget& window);

    // Makes a part of the window a drag surface.
    void Watch(QWidget& face);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Press(const QPoint& globalPos);
    void Move(const QPoint& globalPos, Qt::MouseButtons buttons);
    void End();

    QWidget& window_;
    bool draggingByHand_ = false;
    QPoint dragOffset_;
};
