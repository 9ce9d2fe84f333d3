#include "library/selfldr.h"

Tfselfolder::Tfselfolder(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select folder"));
}
