#pragma once
// A segment list that is never shown.

#include <QDialog>

class TForm1 : public QDialog
{
    Q_OBJECT

  public:
    explicit TForm1(QWidget* parent = nullptr);
};
