#pragma once
// An empty window that is never shown.

#include <QDialog>

class TFsegs : public QDialog
{
    Q_OBJECT

  public:
    explicit TFsegs(QWidget* parent = nullptr);
};
