#pragma once
// The edit-text window.

#include <QDialog>

class TFedtxt : public QDialog {
    Q_OBJECT

public:
    explicit TFedtxt(QWidget* parent = nullptr);
};
