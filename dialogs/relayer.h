#pragma once
// Moves the segments of a range of segment numbers that lie on bold layers
// to one destination layer.

#include "store/layersdata.h"

#include <QDialog>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Store;

class Tfrelayer : public QDialog
{
    Q_OBJECT

  public:
    Tfrelayer(Store& store, std::unique_ptr<LayersData> data, QWidget* parent = nullptr);
    ~Tfrelayer() override;

    // Lists the layers of the open diagram and shows the dialog modally;
    // true when it closes with OK.
    bool ShowMoveSegments();
    // False when the dialog must stay open for the user to correct the
    // range or pick a destination.
    bool MoveSegmentsToLayer();

    // The destination of the last move, preselected at the next showing.
    int32_t MoveTargetLayer = 0;

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLabel* Label3;
    QComboBox* ComboBox1;
    QPushButton* Button1;
    QPushButton* Button2;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool ReadRange(int32_t& from, int32_t& to);
    void MoveBoldSegments(int32_t from, int32_t to);
    void Button1Click();

    Store& store_;
    std::unique_ptr<LayersData> data_;
};
