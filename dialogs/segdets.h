#pragma once
// The segment-details window.

#include <QDialog>

class TFSegdets : public QDialog {
    Q_OBJECT

public:
    explicit TFSegdets(QWidget* parent = nullptr);
};
