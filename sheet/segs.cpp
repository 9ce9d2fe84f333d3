#include "sheet/segs.h"

TFsegs::TFsegs(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fsegs"));
}
