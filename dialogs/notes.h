#pragma once
// The notes of the open diagram.

#include <QDialog>

class Store;

class TFnotes : public QDialog {
    Q_OBJECT

public:
    // Sized from the store's notes window settings, which the store read
    // from the ini file: the window is created after the store for that.
    TFnotes(Store& store, QWidget* parent = nullptr);

private:
    Store& store_;
};
