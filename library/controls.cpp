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
    return PlaceBoxAt(mouse + QPoint(1, 1), form, screen);
}

void PlaceNearMouse(QWidget& form)
{
    PlaceWindowAt(form, QCursor::pos() + QPoint(1, 1));
}

QRect RectWithinScreen(const QRect& wanted, QSize minimum, const QRect& screen)
{
    const QSize size = wanted.size().expandedTo(minimum).boundedTo(screen.size());
    return QRect(PlaceBoxAt(wanted.topLeft(), size, screen), size);
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
