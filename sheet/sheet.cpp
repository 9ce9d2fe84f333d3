#include "sheet/sheet.h"

#include "dialogs/notepad.h"
#include "sheet/forms.h"
#include "store/store.h"

#include <QCloseEvent>
#include <QMenuBar>

TFSheet::TFSheet(Forms& forms, QWidget* parent) : QMainWindow(parent), forms_(forms)
{
    setWindowTitle(QStringLiteral("Scalora"));
    move(108, 28);
    resize(916, 530);
    setStyleSheet(QStringLiteral("TFSheet { background: white; }"));

    QMenu* diagram = menuBar()->addMenu(QStringLiteral("Diagram"));
    Quit1 = diagram->addAction(QStringLiteral("Exit"));
    connect(Quit1, &QAction::triggered, this, &TFSheet::CloseSheet);

    Timer1.setInterval(500);
    Timer1.setSingleShot(true);
}

void TFSheet::CloseSheet()
{
    close();
}

void TFSheet::FormCloseQuery()
{
    if (forms_.Fcore) {
        forms_.Fcore->CloseStore();
    }
    if (forms_.Fnotepad) {
        forms_.Fnotepad->close();
    }
}

void TFSheet::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    event->accept();
}
