#include "library/messages.h"

#include "library/promptseam.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace
{

QString msgCaption;
QPoint lastBoxPlace;
QPoint mouseAtBoxClose;

} // namespace

QString MsgCaption()
{
    return msgCaption;
}

void SetMsgCaption(const QString& caption)
{
    msgCaption = caption;
}

ScopedMsgCaption::ScopedMsgCaption(const QString& caption)
{
    SetMsgCaption(caption);
}

ScopedMsgCaption::~ScopedMsgCaption()
{
    SetMsgCaption(QString());
}

QString BoxCaption()
{
    if (!msgCaption.isEmpty())
        return QStringLiteral(" ") + msgCaption;
    return QApplication::applicationName();
}

void ShowInfo(const QString& s)
{
    Prompts().Info(BoxCaption(), s);
}

void ShowProgramError(const QString& s)
{
    ShowInfo(QStringLiteral("Program error : ") + s);
}

QChar AskYesNoCancel(const QString& s)
{
    return Prompts().YesNoCancel(BoxCaption(), s);
}

bool Confirm(const QString& s)
{
    return AskYesNoCancel(s) == QLatin1Char('Y');
}

bool ConfirmOK(const QString& s)
{
    return Confirm(s + QStringLiteral(" - OK ?"));
}

bool ConfirmSure(const QString& s)
{
    return Confirm(s + QStringLiteral(" - are you sure ?"));
}

bool ConfirmReallySure(const QString& s)
{
    if (!ConfirmSure(s))
        return false;
    return Confirm(QStringLiteral("... really really sure ?"));
}

bool DoubleAmpersands(QString& s)
{
    bool found = false;
    for (qsizetype i = s.indexOf(QLatin1Char('&')); i >= 0;
         i = s.indexOf(QLatin1Char('&'), i + 2)) {
        s.insert(i, QLatin1Char('&'));
        found = true;
    }
    return found;
}

QPoint GetDialogAnchor()
{
    return DialogAnchorFor(QCursor::pos());
}

QPoint DialogAnchorFor(QPoint mouse)
{
    if (mouse == mouseAtBoxClose)
        return lastBoxPlace;
    lastBoxPlace = mouse;
    return mouse;
}

void RememberDialogPlace(const QWidget& box)
{
    RememberBoxPlace(box.pos(), QCursor::pos());
}

void RememberBoxPlace(QPoint boxTopLeft, QPoint mouse)
{
    mouseAtBoxClose = mouse;
    lastBoxPlace = boxTopLeft;
}

void ResetDialogPlaces()
{
    lastBoxPlace = QPoint(0, 0);
    mouseAtBoxClose = QPoint(0, 0);
}

QPoint PlaceBoxAt(QPoint anchor, QSize box, const QRect& screen)
{
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    QPoint place = anchor;
    if (anchor.x() + box.width() > screenRight)
        place.setX(screenRight - box.width());
    if (anchor.y() + box.height() > screenBottom)
        place.setY(screenBottom - box.height());
    if (place.x() < screen.x())
        place.setX(screen.x());
    if (place.y() < screen.y())
        place.setY(screen.y());
    return place;
}

QRect ScreenRectAt(QPoint p)
{
    QScreen* screen = QGuiApplication::screenAt(p);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
}

QSize WindowFrameSize(QWidget& window)
{
    if (window.isWindow())
        window.winId();
    return window.frameGeometry().size();
}

void PlaceWindowAt(QWidget& window, QPoint anchor)
{
    const QSize size = WindowFrameSize(window);
    window.move(PlaceBoxAt(anchor, size, ScreenRectAt(QCursor::pos())));
}
