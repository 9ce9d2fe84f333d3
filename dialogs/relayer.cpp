#include "dialogs/relayer.h"

#include "library/combovalues.h"
#include "library/messages.h"
#include "library/textnum.h"
#include "store/store.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QLabel* BoldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

Tfrelayer::Tfrelayer(Store& store, std::unique_ptr<LayersData> data, QWidget* parent)
    : QDialog(parent), store_(store), data_(std::move(data))
{
    setWindowTitle(QStringLiteral("Move visible segments between layers"));
    Label1 = BoldLabel(QStringLiteral("Segment range"), this);
    Label2 = new QLabel(QStringLiteral("From/to segment ids"), this);
    Edit1 = new QLineEdit(QStringLiteral("99999"), this);
    Edit2 = new QLineEdit(QStringLiteral("99999"), this);
    Edit2->setToolTip(QStringLiteral("Hidden segments in the range will not be moved"));
    Label3 = BoldLabel(QStringLiteral("Destination layer"), this);
    ComboBox1 = new QComboBox(this);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);

    auto* range = new QHBoxLayout;
    range->addWidget(Edit1);
    range->addWidget(Edit2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(range);
    layout->addWidget(Label3);
    layout->addWidget(ComboBox1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrelayer::~Tfrelayer() = default;

bool Tfrelayer::ShowMoveSegments()
{
    ClearComboValues(*ComboBox1);
    for (const TLayerRec& layer : store_.ListLayers())
        AddComboValue(*ComboBox1, QString::number(layer.Layernum) + ' ' + layer.Name,
                      layer.Layernum);
    ComboBox1->setCurrentIndex(0);
    return exec() == QDialog::Accepted;
}

void Tfrelayer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
    SelectComboValue(*ComboBox1, MoveTargetLayer);
}

void Tfrelayer::Button1Click()
{
    // OK closes the dialog whatever the move came to: a bad range has been
    // reported, and the typed range is there again at the next showing.
    MoveSegmentsToLayer();
    accept();
}

bool Tfrelayer::ReadRange(int32_t& from, int32_t& to)
{
    if (ParseIntegerOrWarn(Edit1->text(), from) && ParseIntegerOrWarn(Edit2->text(), to) &&
        to >= from) {
        return true;
    }
    ShowInfo(QStringLiteral("Invalid range"));
    return false;
}

bool Tfrelayer::MoveSegmentsToLayer()
{
    int32_t from = 0;
    int32_t to = 0;
    if (!ReadRange(from, to)) {
        return false;
    }
    if (ComboBox1->currentIndex() < 0) {
        ShowInfo(QStringLiteral("No destination layer chosen"));
        return false;
    }
    MoveTargetLayer = ComboSelectedValue(*ComboBox1);
    // Counted in 64 bits: the widest range of 32-bit numbers overflows.
    const int64_t count = int64_t{to} - int64_t{from} + 1;
    if (!Confirm(QStringLiteral("OK to move up to ") + QString::number(count) +
                 QStringLiteral(" segments to specified layer ?"))) {
        return true;
    }
    MoveBoldSegments(from, to);
    return true;
}

void Tfrelayer::MoveBoldSegments(int32_t from, int32_t to)
{
    // Only the numbers that are stored are visited, so a wide range costs no
    // more than the segments in it.
    const std::vector<int32_t> segnums = data_->SegmentsInRange(from, to);
    store_.WriteGroup([&] {
        for (const int32_t segnum : segnums) {
            TSegRec seg;
            if (!store_.LoadSegment(segnum, seg)) {
                continue;
            }
            // A segment whose layer has no row is never drawn: not visible,
            // it stays where it is.
            TLayerRec layer;
            store_.LoadLayer(seg.Layernum, layer);
            if (layer.Visib != VisibBold || seg.Layernum == MoveTargetLayer) {
                continue;
            }
            seg.Layernum = MoveTargetLayer;
            store_.UpdateSegmentProperties(seg);
        }
    });
}
