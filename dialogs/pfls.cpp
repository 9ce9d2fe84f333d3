#include "dialogs/pfls.h"

TFpfls::TFpfls(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Profiles"));
}
