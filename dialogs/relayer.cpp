#include "dialogs/relayer.h"

Tfrelayer::Tfrelayer(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Move visible segments between layers"));
}
