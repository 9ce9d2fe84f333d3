#pragma once
// The new-segment properties palette: a small borderless window above the
// sheet that holds what every new segment receives, the layer (the store's
// CurrentLayer) and the XOR, Dotted and Faint flags. The routines that store
// a segment read its boxes at that moment.

#include <QDialog>
#include <QPoint>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class Store;
struct Forms;

class TFnewseg : public QDialog
{
    Q_OBJECT

  public:
    TFnewseg(Store& store, Forms& forms, QWidget* parent = nullptr);

    // Shows the palette beside owner, a dialog that may run modally: the
    // palette then takes clicks while every other window is blocked.
    void ShowBeside(QWidget& owner);
    // "Layer=<n>" with the layer's number and name as its hint.
    void ShowPaletteLayerButton();
    // Lets the user choose the layer of new segments, which becomes the
    // current layer of the whole program.
    void LayerBtnClick();

    QFrame* Panel1;
    QLabel* Label1;
    QCheckBox* XORChk;
    QCheckBox* DottedChk;
    QCheckBox* FaintChk;
    QPushButton* LayerBtn;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Panel1MouseDown(const QPoint& globalPos);
    void Panel1MouseMove(const QPoint& globalPos, Qt::MouseButtons buttons);
    void Panel1MouseUp();

    Store& store_;
    Forms& forms_;
    bool draggingByHand_ = false;
    QPoint dragOffset_;
};
