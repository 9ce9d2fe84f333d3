#pragma once
// The list of diagrams.

#include <QDialog>

class TFDiags : public QDialog {
    Q_OBJECT

public:
    explicit TFDiags(QWidget* parent = nullptr);
};
