#pragma once
// The layers window.

#include <QDialog>

class TFLayers : public QDialog {
    Q_OBJECT

public:
    explicit TFLayers(QWidget* parent = nullptr);
};
