#include "sheet/unit1.h"

TForm1::TForm1(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Segments"));
}
