#pragma once
// The new-segment properties palette.

#include <QDialog>

class TFnewseg : public QDialog {
    Q_OBJECT

public:
    explicit TFnewseg(QWidget* parent = nullptr);
};
