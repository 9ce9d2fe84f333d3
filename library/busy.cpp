#include "library/busy.h"

#include <QApplication>
#include <QCursor>

namespace
{

int busyCount = 0;
// Whether the override cursor on Qt's stack is ours; there is never more
// than one of ours on it, so the screen cursor is one setting, not a stack.
bool screenCursorSet = false;

} // namespace

void SetScreenCursor(Qt::CursorShape shape)
{
    if (shape == Qt::ArrowCursor) {
        if (screenCursorSet)
            QApplication::restoreOverrideCursor();
        screenCursorSet = false;
        return;
    }
    if (screenCursorSet)
        QApplication::changeOverrideCursor(QCursor(shape));
    else
        QApplication::setOverrideCursor(QCursor(shape));
    screenCursorSet = true;
}

Qt::CursorShape ScreenCursor()
{
    if (!screenCursorSet)
        return Qt::ArrowCursor;
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

void BeginBusy()
{
    BeginBusyInCall();
    QCoreApplication::processEvents();
}

void EndBusy()
{
    EndBusyInCall();
    if (busyCount == 0)
        QCoreApplication::processEvents();
}

void BeginBusyInCall()
{
    SetScreenCursor(Qt::WaitCursor);
    ++busyCount;
}

void EndBusyInCall()
{
    if (busyCount > 0)
        --busyCount;
    if (busyCount == 0)
        SetScreenCursor(Qt::ArrowCursor);
}

void EndAllBusy()
{
    busyCount = 0;
    SetScreenCursor(Qt::ArrowCursor);
    QCoreApplication::processEvents();
}

int BusyCount()
{
    return busyCount;
}

BusyGuard::BusyGuard()
{
    BeginBusy();
}

BusyGuard::~BusyGuard()
{
    EndBusy();
}
