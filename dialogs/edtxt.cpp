#include "dialogs/edtxt.h"

TFedtxt::TFedtxt(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Edit text"));
}
