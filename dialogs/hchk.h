#pragma once
// The database health check.

#include <QDialog>

class TFhchk : public QDialog
{
    Q_OBJECT

  public:
    explicit TFhchk(QWidget* parent = nullptr);
};
