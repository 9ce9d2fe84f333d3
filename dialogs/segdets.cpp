#include "dialogs/segdets.h"

#include "dialogs/edition.h"
#include "dialogs/edpt.h"
#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "library/datetexts.h"
#include "library/qorvlib.h"
#include "store/store.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{

QLineEdit* ReadOnlyBox(QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    box->setPalette(grey);
    return box;
}

// What the stored row says about the segment's measurement: a measured
// segment, whether its lengths are in the measured columns or in the old
// measured length the table store keeps in the row, asks a second time
// before it goes. Absent row: nothing to delete.
enum class StoredRow { Absent, Plain, MeasuredLength };

StoredRow LookUpStoredRow(Store& store, int32_t segnum)
{
    Extended seglen = 0;
    TSegRec stored;
    if (!store.LoadStoredSeglen(segnum, seglen) || !store.LoadSegment(segnum, stored))
        return StoredRow::Absent;
    return seglen > 0 || stored.Measured ? StoredRow::MeasuredLength : StoredRow::Plain;
}

} // namespace

TFSegdets::TFSegdets(Store& store, Forms& forms, QWidget* parent)
    : QDialog(parent), store_(store), forms_(forms)
{
    setWindowTitle(QStringLiteral("Segment details"));
    setAutoFillBackground(true);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    setPalette(yellow);

    MainMenu1 = new QMenuBar(this);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    Delete1 = MainMenu1->addAction(QStringLiteral("Delete"));

    PageControl1 = new QTabWidget(this);
    TabSheet1 = BuildDetailsTab();
    TabSheet2 = BuildDebugTab();
    PageControl1->addTab(TabSheet1, QStringLiteral("Segment details"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Debug info"));

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(PageControl1);

    connect(Close1, &QAction::triggered, this, &QDialog::reject);
    connect(Delete1, &QAction::triggered, this, &TFSegdets::Delete1Click);
    connect(XORChk, &QCheckBox::clicked, this, &TFSegdets::PropertyClick);
    connect(DottedChk, &QCheckBox::clicked, this, &TFSegdets::PropertyClick);
    connect(FaintChk, &QCheckBox::clicked, this, &TFSegdets::PropertyClick);
    connect(LayerBtn, &QPushButton::clicked, this, &TFSegdets::LayerBtnClick);
    connect(UpdBtn, &QPushButton::clicked, this, &TFSegdets::UpdBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFSegdets::CancelBtnClick);
    connect(FromBtn, &QPushButton::clicked, this, &TFSegdets::FromBtnClick);
    connect(ToBtn, &QPushButton::clicked, this, &TFSegdets::ToBtnClick);
}

QWidget* TFSegdets::BuildDetailsTab()
{
    auto* tab = new QWidget(this);
    Label1 = new QLabel(QStringLiteral("Segment type = "), tab);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    GroupBox1 = new QGroupBox(QStringLiteral("Length () "), tab);
    Label3 = new QLabel(QStringLiteral("Drawn"), GroupBox1);
    Label2 = new QLabel(QStringLiteral("Measured"), GroupBox1);
    seglenxbox = ReadOnlyBox(GroupBox1);
    MlenxBox = ReadOnlyBox(GroupBox1);
    seglenybox = ReadOnlyBox(GroupBox1);
    MlenyBox = ReadOnlyBox(GroupBox1);
    seglenzbox = ReadOnlyBox(GroupBox1);
    mlenzbox = ReadOnlyBox(GroupBox1);
    auto* lengths = new QGridLayout(GroupBox1);
    lengths->addWidget(Label3, 0, 1);
    lengths->addWidget(Label2, 0, 2);
    lengths->addWidget(new QLabel(QStringLiteral("X "), GroupBox1), 1, 0);
    lengths->addWidget(seglenxbox, 1, 1);
    lengths->addWidget(MlenxBox, 1, 2);
    lengths->addWidget(new QLabel(QStringLiteral("Y"), GroupBox1), 2, 0);
    lengths->addWidget(seglenybox, 2, 1);
    lengths->addWidget(MlenyBox, 2, 2);
    lengths->addWidget(new QLabel(QStringLiteral("Direct"), GroupBox1), 3, 0);
    lengths->addWidget(seglenzbox, 3, 1);
    lengths->addWidget(mlenzbox, 3, 2);

    GroupBox3 = new QGroupBox(QStringLiteral("Properties "), tab);
    XORChk = new QCheckBox(QStringLiteral("XOR"), GroupBox3);
    DottedChk = new QCheckBox(QStringLiteral("Dotted"), GroupBox3);
    FaintChk = new QCheckBox(QStringLiteral("Faint"), GroupBox3);
    LayerBtn = new QPushButton(QStringLiteral("Layer=0"), GroupBox3);
    LayerBtn->setToolTip(QStringLiteral("0 = Default layer"));
    LayerBtn->setAutoDefault(false);
    UpdBtn = new QPushButton(QStringLiteral("Save"), GroupBox3);
    UpdBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Close"), GroupBox3);
    CancelBtn->setAutoDefault(false);
    auto* properties = new QGridLayout(GroupBox3);
    properties->addWidget(XORChk, 0, 0);
    properties->addWidget(DottedChk, 1, 0);
    properties->addWidget(FaintChk, 2, 0);
    properties->addWidget(LayerBtn, 0, 1);
    properties->addWidget(UpdBtn, 1, 1);
    properties->addWidget(CancelBtn, 2, 1);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Label1);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox3);
    return tab;
}

QWidget* TFSegdets::BuildDebugTab()
{
    auto* tab = new QWidget(this);
    GroupBox4 = new QGroupBox(QStringLiteral("Points "), tab);
    FromLbl = new QLabel(QStringLiteral("From point id = "), GroupBox4);
    FromBtn = new QPushButton(QStringLiteral(">"), GroupBox4);
    FromBtn->setAutoDefault(false);
    ToLbl = new QLabel(QStringLiteral("To point id = "), GroupBox4);
    ToBtn = new QPushButton(QStringLiteral(">"), GroupBox4);
    ToBtn->setAutoDefault(false);
    auto* points = new QGridLayout(GroupBox4);
    points->addWidget(FromLbl, 0, 0);
    points->addWidget(FromBtn, 0, 1);
    points->addWidget(ToLbl, 1, 0);
    points->addWidget(ToBtn, 1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Debug info"), tab);
    CreateTSLbl = new QLabel(QStringLiteral("Created "), GroupBox2);
    Label4 = new QLabel(GroupBox2);
    Label5 = new QLabel(GroupBox2);
    Label6 = new QLabel(GroupBox2);
    Label7 = new QLabel(GroupBox2);
    auto* debug = new QVBoxLayout(GroupBox2);
    for (QLabel* label : {CreateTSLbl, Label4, Label5, Label6, Label7})
        debug->addWidget(label);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(GroupBox4);
    layout->addWidget(GroupBox2);
    return tab;
}

bool TFSegdets::EditSegment(TSegRec& segment, int32_t oPointNum)
{
    EditedSegment = segment;
    OPointNum = oPointNum;
    FillSegmentDetails();
    if (exec() != QDialog::Accepted)
        return false;
    segment = EditedSegment;
    return true;
}

void TFSegdets::FillSegmentDetails()
{
    FillingDetails = true;
    const TSegRec& s = EditedSegment;
    setWindowTitle(QStringLiteral("Segment #") + QString::number(s.Segnum) +
                   QStringLiteral(" details"));

    QString fromTag = QStringLiteral(" (O)");
    QString toTag = QStringLiteral(" (X)");
    if (s.ToPoint.Pointnum == OPointNum)
        std::swap(fromTag, toTag);
    FromLbl->setText(QStringLiteral("From point id = ") + QString::number(s.FromPoint.Pointnum) +
                     fromTag);
    ToLbl->setText(QStringLiteral("To point id = ") + QString::number(s.ToPoint.Pointnum) + toTag);
    GroupBox1->setTitle(QStringLiteral("Length (") + store_.DiagramUnits + QStringLiteral(") "));

    const std::pair<QLineEdit*, Extended> measured[] = {
        {MlenxBox, s.Mlenx}, {MlenyBox, s.Mleny}, {mlenzbox, s.Mlenz}};
    for (const auto& [box, value] : measured)
        box->setText(value != 0 ? store_.FormatLength(value) : QString());
    seglenxbox->setText(store_.FormatLength(s.Dx));
    seglenybox->setText(store_.FormatLength(s.Dy));
    seglenzbox->setText(store_.FormatLength(s.Len));

    Label2->setText(QStringLiteral("Measured"));
    Label3->setText(QStringLiteral("Drawn"));
    QString type;
    if (s.SegType == SegLine) {
        type = QStringLiteral("Line");
    } else if (s.SegType == SegArc) {
        type = QStringLiteral("Arc");
        Label2->setText(QStringLiteral("Angle"));
        Label3->setText(QStringLiteral("Radius"));
    } else {
        type = QStringLiteral("unknown");
    }
    type += s.Measured ? QStringLiteral(" (measured)") : QStringLiteral(" (joining)");
    Label1->setText(QStringLiteral("Segment type = ") + type);

    Label4->setText(QStringLiteral("Lenx1,2 = ") + store_.FormatLength(s.Lenx1) +
                    QStringLiteral(" , ") + store_.FormatLength(s.Lenx2));
    Label5->setText(QStringLiteral("Leny1,2 = ") + store_.FormatLength(s.Leny1) +
                    QStringLiteral(" , ") + store_.FormatLength(s.Leny2));
    Label6->setText(QStringLiteral("Pxlx1,2 = ") + QString::number(s.Pxlx1) +
                    QStringLiteral(" , ") + QString::number(s.Pxlx2));
    Label7->setText(QStringLiteral("Pxly1,2 = ") + QString::number(s.Pxly1) +
                    QStringLiteral(" , ") + QString::number(s.Pxly2));
    CreateTSLbl->setText(QStringLiteral("Created ") +
                         FormatDateTimeValue(DateTimeSeconds, s.CreateTS) + QStringLiteral("  "));
    ShowSegmentProperties();
    FillingDetails = false;
}

void TFSegdets::ShowSegmentProperties()
{
    XORChk->setChecked(EditedSegment.Xorflag);
    DottedChk->setChecked(EditedSegment.Dotted);
    FaintChk->setChecked(EditedSegment.Faint);
    store_.LoadLayer(EditedSegment.Layernum, store_.CurrentLayer);
    ShowLayerButton();
    SetPropertiesEdited(false);
}

void TFSegdets::ShowLayerButton()
{
    const TLayerRec& layer = store_.CurrentLayer;
    LayerBtn->setText(QStringLiteral("Layer=") + QString::number(layer.Layernum));
    LayerBtn->setToolTip(QString::number(layer.Layernum) + QStringLiteral(" = ") + layer.Name);
}

void TFSegdets::SetPropertiesEdited(bool edited)
{
    UpdBtn->setEnabled(edited);
    CancelBtn->setText(edited ? QStringLiteral("Cancel") : QStringLiteral("Close"));
}

void TFSegdets::PropertyClick()
{
    if (!FillingDetails)
        SetPropertiesEdited(true);
}

void TFSegdets::LayerBtnClick()
{
    if (FillingDetails)
        return;
    if (forms_.FLayers && forms_.FLayers->ChooseLayer(store_.CurrentLayer))
        SetPropertiesEdited(true);
    // Even when cancelled, the window may have deleted the current layer.
    ShowLayerButton();
}

void TFSegdets::UpdBtnClick()
{
    EditedSegment.Layernum = store_.CurrentLayer.Layernum;
    EditedSegment.Dotted = DottedChk->isChecked();
    EditedSegment.Xorflag = XORChk->isChecked();
    EditedSegment.Faint = FaintChk->isChecked();
    // A segment the store could not update has changed nothing on the sheet.
    if (store_.UpdateSegmentProperties(EditedSegment))
        accept();
    else
        reject();
}

void TFSegdets::CancelBtnClick()
{
    if (UpdBtn->isEnabled())
        ShowSegmentProperties();
    else
        reject();
}

void TFSegdets::FromBtnClick()
{
    if (forms_.FEdPt)
        forms_.FEdPt->EditPoint(EditedSegment.FromPoint);
}

void TFSegdets::ToBtnClick()
{
    if (forms_.FEdPt)
        forms_.FEdPt->EditPoint(EditedSegment.ToPoint);
}

void TFSegdets::Delete1Click()
{
    // Only a segment that went makes the sheet redraw.
    if (DeleteSegmentWithConfirm())
        accept();
    else
        reject();
}

bool TFSegdets::DeleteSegmentWithConfirm()
{
    const int32_t segnum = EditedSegment.Segnum;
    if (!Confirm(QStringLiteral("Delete segment #") + QString::number(segnum) +
                 QStringLiteral(" - are you sure?")))
        return false;
    const StoredRow row = LookUpStoredRow(store_, segnum);
    if (row == StoredRow::Absent)
        return false;
    if (row == StoredRow::MeasuredLength && ProgramEdition(forms_).AsksAgainForMeasuredSegment &&
        !Confirm(QStringLiteral("Delete Measured Segment - are you really sure ? (better to "
                                "amend segtype to Jump)")))
        return false;
    store_.DeleteSegment(store_.CurrentDiagram, segnum);
    return true;
}
