#pragma once
// Moving segments between layers.

#include <QDialog>

class Tfrelayer : public QDialog {
    Q_OBJECT

public:
    explicit Tfrelayer(QWidget* parent = nullptr);
};
