#pragma once
// The notepad beside the program.

#include <QDialog>

class TFnotepad : public QDialog
{
    Q_OBJECT

  public:
    explicit TFnotepad(QWidget* parent = nullptr);
};
