#include "dialogs/layers.h"

TFLayers::TFLayers(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Layers"));
}
