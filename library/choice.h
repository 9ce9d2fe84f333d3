#pragma once
// The choice window.

#include <QDialog>

class TFchoice : public QDialog
{
    Q_OBJECT

  public:
    explicit TFchoice(QWidget* parent = nullptr);
};
