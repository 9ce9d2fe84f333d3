#pragma once
// The main window: the drawing sheet.

#include <QMainWindow>
#include <QTimer>

struct Forms;
class QAction;

class TFSheet : public QMainWindow {
    Q_OBJECT

public:
    explicit TFSheet(Forms& forms, QWidget* parent = nullptr);

    QTimer Timer1; // the start-up timer, enabled once every window exists
    QAction* Quit1 = nullptr;

    // Closes the main window, which ends the program.
    void CloseSheet();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Every close shuts the store down and closes the notepad; it never
    // refuses, because every change is stored when it is made.
    void FormCloseQuery();

    Forms& forms_;
};
