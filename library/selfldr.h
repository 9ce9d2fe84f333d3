#pragma once
// The folder-choice window.

#include <QDialog>

class Tfselfolder : public QDialog
{
    Q_OBJECT

  public:
    explicit Tfselfolder(QWidget* parent = nullptr);
};
