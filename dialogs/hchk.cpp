#include "dialogs/hchk.h"

TFhchk::TFhchk(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Database healthcheck"));
}
