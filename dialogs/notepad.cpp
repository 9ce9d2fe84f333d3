#include "dialogs/notepad.h"

#include <QCoreApplication>

TFnotepad::TFnotepad(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" - Notepad"));
}
