#pragma once
// The calendar window.

#include <QDialog>

class TFCal : public QDialog
{
    Q_OBJECT

  public:
    explicit TFCal(QWidget* parent = nullptr);
};
