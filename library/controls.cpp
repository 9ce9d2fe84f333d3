#include "library/controls.h"

#include "library/messages.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QWidget>

namespace
{

QColor savedColour = Qt::white;

// Edit-like controls show their face in the base colour, the others in the
// window colour.
QPalette::ColorRole FaceRole(const QWidget& control)
{
    if (qobject_cast<const QLineEdit*>(&control) ||
        qobject_cast<const QAbstractScrollArea*>(&control) ||
        qobject_cast<const QAbstractSpinBox*>(&control) || qobject_cast<const QComboBox*>(&control))
        return QPalette::Base;
    return QPalette::Window;
}

} // namespace

QColor SavedColour()
{
    return savedColour;
}

void SetSavedColour(const QColor& colour)
{
    savedColour = colour;
}

QColor ControlColour(const QWidget& control)
{
    return control.palette().color(QPalette::Active, FaceRole(control));
}

void SetControlColour(QWidget& control, const QColor& colour)
{
    // Every colour group gets it, so that a disabled control shows it too.
    QPalette palette = control.palette();
    palette.setColor(FaceRole(control), colour);
    control.setPalette(palette);
    if (FaceRole(control) == QPalette::Window)
        control.setAutoFillBackground(true);
}

void EnableEdit(QWidget& control, bool enable)
{
    if (!enable && !control.isEnabled())
        return;
    control.setEnabled(enable);
    if (enable) {
        SetControlColour(control, savedColour);
    } else {
        savedColour = ControlColour(control);
        SetControlColour(control,
                         QApplication::palette().color(QPalette::Active, QPalette::Button));
    }
}

void EnableGrey(QWidget& control, bool enable)
{
    control.setEnabled(enable);
    SetControlColour(control, enable ? savedColour : QColor(192, 192, 192));
}

QPoint NearMousePlace(QPoint mouse, QSize form, const QRect& screen)
{
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    QPoint place(mouse.x() + 1, mouse.y() + 1);
    if (place.y() + form.height() > screenBottom)
        place.setY(screenBottom - form.height());
    if (place.x() + form.width() > screenRight)
        place.setX(screenRight - form.width());
    if (place.y() < screen.y())
        place.setY(screen.y());
    if (place.x() < screen.x())
        place.setX(screen.x());
    return place;
}

void PlaceNearMouse(QWidget& form)
{
    // A window that has never been shown learns the size of its frame only
    // when its native window exists.
    if (form.isWindow())
        form.winId();
    const QPoint mouse = QCursor::pos();
    form.move(NearMousePlace(mouse, form.frameGeometry().size(), ScreenRectAt(mouse)));
}

void ShowNearMouse(QWidget& form)
{
    PlaceNearMouse(form);
    form.show();
}

int ShowModalNearMouse(QDialog& form)
{
    PlaceNearMouse(form);
    return form.exec();
}

void PopupAtMouse(QMenu& menu)
{
    menu.popup(QCursor::pos());
}
