#pragma once
// The about window.

#include <QDialog>

class TFAbout1 : public QDialog
{
    Q_OBJECT

  public:
    explicit TFAbout1(QWidget* parent = nullptr);
};
