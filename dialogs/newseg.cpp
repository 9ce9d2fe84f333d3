#include "dialogs/newseg.h"

TFnewseg::TFnewseg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Seg properties"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}
