#include "dialogs/segdets.h"

TFSegdets::TFSegdets(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Segment details"));
}
