#include "dialogs/edpt.h"

TFEdPt::TFEdPt(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Point details"));
}
