#include "library/facedrag.h"

#include "library/busy.h"

#include <QEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

FaceDrag::FaceDrag(QWidget& window) : QObject(&window), window_(window)
{
    window_.installEventFilter(this);
}

void FaceDrag::Watch(QWidget& face)
{
    face.setMouseTracking(true);
    face.installEventFilter(this);
}

QFrame* FaceDrag::MakeFacePanel()
{
    auto* panel = new QFrame(&window_);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    panel->setGeometry(window_.rect());
    Watch(*panel);
    panel_ = panel;
    return panel;
}

bool FaceDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_) {
        // A press that ended without a move would leave the drag shape on
        // the whole program.
        if (event->type() == QEvent::Hide)
            End();
        if (event->type() == QEvent::Resize && panel_)
            panel_->setGeometry(window_.rect());
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        Press(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        Move(mouse->globalPosition().toPoint(), mouse->buttons());
        return false;
    }
    case QEvent::MouseButtonRelease:
        End();
        return false;
    default:
        return false;
    }
}

void FaceDrag::Press(const QPoint& globalPos)
{
    SetScreenCursor(Qt::DragMoveCursor);
    if (window_.windowHandle() && window_.windowHandle()->startSystemMove())
        return;
    draggingByHand_ = true;
    dragOffset_ = globalPos - window_.pos();
}

void FaceDrag::Move(const QPoint& globalPos, Qt::MouseButtons buttons)
{
    if (draggingByHand_ && (buttons & Qt::LeftButton)) {
        window_.move(globalPos - dragOffset_);
        return;
    }
    // The window manager's move has ended: the mouse is back over the face.
    if (ScreenCursor() != Qt::ArrowCursor)
        SetScreenCursor(Qt::ArrowCursor);
}

void FaceDrag::End()
{
    draggingByHand_ = false;
    if (ScreenCursor() == Qt::DragMoveCursor)
        SetScreenCursor(Qt::ArrowCursor);
}
