#include "sheet/func.h"

TFseg::TFseg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Measured segment at X"));
}
