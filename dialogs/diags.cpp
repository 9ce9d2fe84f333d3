#include "dialogs/diags.h"

TFDiags::TFDiags(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Diagrams"));
}
