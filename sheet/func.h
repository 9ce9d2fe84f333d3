#pragma once
// The measured-segment dialog.

#include <QDialog>

class TFseg : public QDialog {
    Q_OBJECT

public:
    explicit TFseg(QWidget* parent = nullptr);
};
