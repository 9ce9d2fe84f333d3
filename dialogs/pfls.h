#pragma once
// The profiles window.

#include <QDialog>

class TFpfls : public QDialog {
    Q_OBJECT

public:
    explicit TFpfls(QWidget* parent = nullptr);
};
