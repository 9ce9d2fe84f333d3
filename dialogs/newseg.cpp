#include "dialogs/newseg.h"

#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "library/busy.h"
#include "library/messages.h"
#include "store/store.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

TFnewseg::TFnewseg(Store& store, Forms& forms, QWidget* parent)
    : QDialog(parent), store_(store), forms_(forms)
{
    setWindowTitle(QStringLiteral("Seg properties"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(157, 162);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);
    QPalette silver = Panel1->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    Panel1->setPalette(silver);

    Label1 = new QLabel(QStringLiteral("Segment properties"), Panel1);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    XORChk = new QCheckBox(QStringLiteral("XOR"), Panel1);
    DottedChk = new QCheckBox(QStringLiteral("Dotted"), Panel1);
    FaintChk = new QCheckBox(QStringLiteral("Faint"), Panel1);
    LayerBtn = new QPushButton(QStringLiteral("Layer=0"), Panel1);
    LayerBtn->setToolTip(QStringLiteral("0 = Default layer"));
    LayerBtn->setAutoDefault(false);
    connect(LayerBtn, &QPushButton::clicked, this, &TFnewseg::LayerBtnClick);

    auto* inner = new QVBoxLayout(Panel1);
    inner->addWidget(Label1);
    inner->addWidget(XORChk);
    inner->addWidget(DottedChk);
    inner->addWidget(FaintChk);
    inner->addWidget(LayerBtn);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Panel1);

    // The palette is dragged by its face; the labels pass the mouse on to it.
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Panel1->installEventFilter(this);
    Panel1->setMouseTracking(true);
}

void TFnewseg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The layer chosen may not be in the diagram open now.
    if (store_.CurrentDiagram > 0)
        store_.ReloadCurrentLayer();
    ShowPaletteLayerButton();
}

void TFnewseg::ShowBeside(QWidget& owner)
{
    PlaceWindowAt(*this, owner.frameGeometry().topRight() + QPoint(8, 0));
    // A modal dialog blocks every window except those it owns: while it is
    // shown, the palette is one of them.
    create();
    windowHandle()->setTransientParent(owner.windowHandle());
    show();
}

void TFnewseg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // Shown again by the joining panel, the palette belongs to no dialog.
    if (windowHandle())
        windowHandle()->setTransientParent(nullptr);
}

void TFnewseg::ShowPaletteLayerButton()
{
    const TLayerRec& layer = store_.CurrentLayer;
    LayerBtn->setText(QStringLiteral("Layer=") + QString::number(layer.Layernum));
    LayerBtn->setToolTip(QString::number(layer.Layernum) + QStringLiteral(" = ") + layer.Name);
}

void TFnewseg::LayerBtnClick()
{
    // Even when cancelled, the window may have deleted the current layer.
    if (forms_.FLayers)
        forms_.FLayers->ChooseLayer(store_.CurrentLayer);
    ShowPaletteLayerButton();
}

bool TFnewseg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                Panel1MouseDown(mouse->globalPosition().toPoint());
                return true;
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            Panel1MouseMove(mouse->globalPosition().toPoint(), mouse->buttons());
            break;
        }
        case QEvent::MouseButtonRelease:
            Panel1MouseUp();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFnewseg::Panel1MouseDown(const QPoint& globalPos)
{
    SetScreenCursor(Qt::DragMoveCursor);
    // The window manager moves the palette with the mouse; where it cannot,
    // the palette follows the mouse itself until the button is released.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        return;
    }
    draggingByHand_ = true;
    dragOffset_ = globalPos - pos();
}

void TFnewseg::Panel1MouseMove(const QPoint& globalPos, Qt::MouseButtons buttons)
{
    if (draggingByHand_ && (buttons & Qt::LeftButton)) {
        move(globalPos - dragOffset_);
        return;
    }
    draggingByHand_ = false;
    if (ScreenCursor() != Qt::ArrowCursor) {
        SetScreenCursor(Qt::ArrowCursor);
    }
}

void TFnewseg::Panel1MouseUp()
{
    draggingByHand_ = false;
    SetScreenCursor(Qt::ArrowCursor);
}
