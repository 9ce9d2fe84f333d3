#pragma once
// The point-details window.

#include <QDialog>

class TFEdPt : public QDialog {
    Q_OBJECT

public:
    explicit TFEdPt(QWidget* parent = nullptr);
};
