#include "library/choice.h"

TFchoice::TFchoice(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Please choose"));
}
