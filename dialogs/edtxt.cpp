#include "dialogs/edtxt.h"

#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "library/qorvlib.h"
#include "store/store.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFedtxt::TFedtxt(Store& store, Forms& forms, QWidget* parent)
    : QDialog(parent), store_(store), forms_(forms)
{
    setWindowTitle(QStringLiteral("Edit text"));
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(TextWidth);
    Button4 = new QPushButton(QStringLiteral("Layer=0"), this);
    Button4->setToolTip(QStringLiteral("0 = Default layer"));
    Button4->setAutoDefault(false);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("Delete"), this);
    Button3->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(Edit1, 1);
    top->addWidget(Button4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(Button4, &QPushButton::clicked, this, &TFedtxt::Button4Click);
    connect(Button1, &QPushButton::clicked, this, &TFedtxt::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TFedtxt::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFedtxt::EditTextAtPoint(int32_t pointnum)
{
    if (!store_.LoadTextAtPoint(pointnum, EditedText))
        return;
    store_.CurrentLayer = EditedText.Layer;
    // A label left on a deleted layer is saved on the default layer.
    store_.ReloadCurrentLayer();
    Edit1->setText(EditedText.Text);
    ShowLayerButton();
    exec();
}

void TFedtxt::ShowLayerButton()
{
    const TLayerRec& layer = store_.CurrentLayer;
    Button4->setText(QStringLiteral("Layer=") + QString::number(layer.Layernum));
    Button4->setToolTip(QString::number(layer.Layernum) + QStringLiteral(" = ") + layer.Name);
}

void TFedtxt::Button4Click()
{
    // Even when cancelled, the window may have deleted the current layer.
    if (forms_.FLayers)
        forms_.FLayers->ChooseLayer(store_.CurrentLayer);
    ShowLayerButton();
}

void TFedtxt::Button1Click()
{
    SaveText();
    accept();
}

void TFedtxt::SaveText()
{
    if (!store_.ConfirmCurrentLayerVisible())
        return;
    // The label is written again under its point with the new text and
    // layer, as one change: a failure keeps the old label.
    TPointRec point;
    point.Pointnum = EditedText.Pointnum;
    const QString text = Edit1->text();
    const int32_t layernum = store_.CurrentLayer.Layernum;
    store_.WriteGroup([&] {
        store_.DeleteTextAtPoint(point.Pointnum);
        store_.AddText(point, text, layernum);
    });
}

void TFedtxt::Button3Click()
{
    if (Confirm(QStringLiteral("OK to delete text?")))
        store_.DeleteTextAtPoint(EditedText.Pointnum);
    accept();
}
