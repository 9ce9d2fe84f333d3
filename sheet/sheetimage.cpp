#include "sheet/sheetimage.h"

#include "platform/canvas.h"

#include <QPaintEvent>
#include <QPainter>

SheetImage::SheetImage(const Canvas& bitmap, QWidget* parent) : QWidget(parent), bitmap_(bitmap)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    FitToBitmap();
}

void SheetImage::FitToBitmap()
{
    setFixedSize(std::max(bitmap_.Width(), 1), std::max(bitmap_.Height(), 1));
    update();
}

void SheetImage::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(event->rect().topLeft(), bitmap_.Image(), event->rect());
}
