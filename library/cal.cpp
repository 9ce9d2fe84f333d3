#include "library/cal.h"

TFCal::TFCal(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Calendar"));
}
