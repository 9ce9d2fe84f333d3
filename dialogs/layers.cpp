#include "dialogs/layers.h"

#include "dialogs/forms.h"
#include "dialogs/listgrid.h"
#include "dialogs/newseg.h"
#include "dialogs/pfls.h"
#include "dialogs/relayer.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "store/store.h"

#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

TFLayers::TFLayers(Store& store, std::unique_ptr<LayersData> data, Forms& forms, QWidget* parent)
    : QDialog(parent), store_(store), data_(std::move(data)), forms_(forms)
{
    setWindowTitle(QStringLiteral("Layers"));
    BuildGrid();
    BuildPanel();
    BuildMenus();
    BuildPopupMenu();
    auto* layout = new QHBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Panel1);
    resize(520, 340);
    MarkLayerSortColumn();
}

TFLayers::~TFLayers() = default;

void TFLayers::BuildGrid()
{
    DBGrid1 = MakeListGrid(this, 3);
    DBGrid1->setColumnWidth(0, 50);
    DBGrid1->setColumnWidth(1, 220);
    DBGrid1->setColumnWidth(2, 90);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    connect(DBGrid1, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { TitleClick(column); });
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });
}

void TFLayers::BuildPanel()
{
    Panel1 = new QWidget(this);
    GroupBox1 = new QGroupBox(QStringLiteral("Profile"), Panel1);
    Button4 = new QPushButton(QStringLiteral("Load"), GroupBox1);
    // Profiles are applied from the sheet's "Profiles" command.
    Button4->setEnabled(false);
    Button1 = new QPushButton(QStringLiteral("Save"), GroupBox1);
    auto* group = new QVBoxLayout(GroupBox1);
    group->addWidget(Button4);
    group->addWidget(Button1);
    Button2 = new QPushButton(QStringLiteral("OK"), Panel1);
    Button2->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("Cancel"), Panel1);
    auto* column = new QVBoxLayout(Panel1);
    column->addWidget(GroupBox1);
    column->addWidget(Button2);
    column->addWidget(Button3);
    column->addStretch();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TFLayers::BuildMenus()
{
    MainMenu1 = new QMenuBar(this);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    Movesegs1 = MainMenu1->addAction(QStringLiteral("Move-segs"));
    New1 = MainMenu1->addAction(QStringLiteral("New"));
    Allhidden1 = MainMenu1->addAction(QStringLiteral("All-hidden"));
    QMenu* sequence = MainMenu1->addMenu(QStringLiteral("Sequence"));
    sequence_ = new QActionGroup(this);
    bynumber1 = sequence->addAction(QStringLiteral("by Id"));
    byname1 = sequence->addAction(QStringLiteral("by Name"));
    byVisibility1 = sequence->addAction(QStringLiteral("by Visibility"));
    for (QAction* item : {bynumber1, byname1, byVisibility1}) {
        item->setCheckable(true);
        sequence_->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { SortBy(item); });
    }
    byname1->setChecked(true);
    connect(Close1, &QAction::triggered, this, &QDialog::reject);
    connect(Movesegs1, &QAction::triggered, this, [this] { Movesegs1Click(); });
    connect(New1, &QAction::triggered, this, [this] { New1Click(); });
    connect(Allhidden1, &QAction::triggered, this, [this] { Allhidden1Click(); });
}

void TFLayers::BuildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    visibility_ = new QActionGroup(this);
    Hidden1 = PopupMenu1->addAction(QStringLiteral("Hidden"));
    Faint1 = PopupMenu1->addAction(QStringLiteral("Faint"));
    Bold1 = PopupMenu1->addAction(QStringLiteral("Bold"));
    for (QAction* item : {Hidden1, Faint1, Bold1}) {
        item->setCheckable(true);
        visibility_->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { VisibilityClick(item); });
    }
    Bold1->setChecked(true);
    PopupMenu1->addSeparator();
    Rename1 = PopupMenu1->addAction(QStringLiteral("Rename"));
    Delete1 = PopupMenu1->addAction(QStringLiteral("Delete"));
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });
    connect(Rename1, &QAction::triggered, this, [this] { Rename1Click(); });
    connect(Delete1, &QAction::triggered, this, [this] { Delete1Click(); });
}

bool TFLayers::ChooseLayer(TLayerRec& layer)
{
    PrepareLayerList(layer.Layernum);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    // OK on an empty list hands back the values of an empty row: layer 0,
    // no name, hidden, so that a caller needing a visible layer says so.
    const TLayerRec* row = CurrentLayerRow();
    if (!row) {
        InitAbsentLayer(layer, 0);
        return true;
    }
    layer = *row;
    return true;
}

bool TFLayers::ShowLayers()
{
    PrepareLayerList(0);
    return exec() == QDialog::Accepted;
}

bool TFLayers::ManageLayers()
{
    return store_.CheckDiagramOpen() && ShowLayers();
}

void TFLayers::PrepareLayerList(int32_t layernum)
{
    store_.LastLayerNum = -1;
    ReloadLayers();
    for (const TLayerRec& row : rows_) {
        store_.LastLayerNum = std::max(store_.LastLayerNum, row.Layernum);
    }
    GoToLayerRow(layernum);
}

LayerOrder TFLayers::CheckedOrder() const
{
    if (bynumber1->isChecked()) {
        return LayerOrder::ById;
    }
    if (byVisibility1->isChecked()) {
        return LayerOrder::ByVisibility;
    }
    return LayerOrder::ByName;
}

void TFLayers::ReloadLayers()
{
    rows_ = data_->ListLayers(CheckedOrder());
    FillGrid();
    MarkLayerSortColumn();
}

QString TFLayers::VisibilityText(int32_t visib)
{
    switch (visib) {
    case VisibHidden:
        return QStringLiteral("Hidden");
    case VisibFaint:
        return QStringLiteral("Faint");
    case VisibBold:
        return QStringLiteral("Bold");
    default:
        return QStringLiteral("error");
    }
}

void TFLayers::FillGrid()
{
    DBGrid1->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const TLayerRec& row = rows_[static_cast<size_t>(i)];
        DBGrid1->setItem(i, 0, Cell(QString::number(row.Layernum), Qt::AlignHCenter));
        DBGrid1->setItem(i, 1, Cell(row.Name));
        DBGrid1->setItem(i, 2, Cell(VisibilityText(row.Visib)));
    }
    if (!rows_.empty()) {
        DBGrid1->setCurrentCell(0, 0);
    }
}

void TFLayers::MarkLayerSortColumn()
{
    const int marked = bynumber1->isChecked() ? 0 : byname1->isChecked() ? 1 : 2;
    DBGrid1->setHorizontalHeaderLabels(SortTitles(
        {QStringLiteral("Id"), QStringLiteral("Name"), QStringLiteral("Visibility")}, marked));
}

void TFLayers::GoToLayerRow(int32_t layernum)
{
    if (rows_.empty()) {
        return;
    }
    const auto it = std::find_if(rows_.begin(), rows_.end(), [layernum](const TLayerRec& row) {
        return row.Layernum == layernum;
    });
    const int row = it == rows_.end() ? 0 : static_cast<int>(it - rows_.begin());
    DBGrid1->setCurrentCell(row, 0);
}

void TFLayers::ReloadLayersKeepingRow()
{
    const TLayerRec* row = CurrentLayerRow();
    const int32_t layernum = row ? row->Layernum : 0;
    ReloadLayers();
    GoToLayerRow(layernum);
}

const TLayerRec* TFLayers::CurrentLayerRow() const
{
    const int row = DBGrid1->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return nullptr;
    }
    return &rows_[static_cast<size_t>(row)];
}

void TFLayers::SortBy(QAction* item)
{
    item->setChecked(true);
    ReloadLayers();
}

void TFLayers::TitleClick(int column)
{
    QAction* items[] = {bynumber1, byname1, byVisibility1};
    if (column >= 0 && column < 3) {
        SortBy(items[column]);
    }
}

void TFLayers::PopupMenu1Popup()
{
    const TLayerRec* row = CurrentLayerRow();
    if (!row) {
        return;
    }
    switch (row->Visib) {
    case VisibHidden:
        Hidden1->setChecked(true);
        break;
    case VisibFaint:
        Faint1->setChecked(true);
        break;
    case VisibBold:
        Bold1->setChecked(true);
        break;
    default:
        break;
    }
}

void TFLayers::VisibilityClick(QAction* item)
{
    item->setChecked(true);
    const TLayerRec* row = CurrentLayerRow();
    if (!row) {
        return;
    }
    const int32_t visib = item == Hidden1 ? VisibHidden : item == Faint1 ? VisibFaint : VisibBold;
    data_->SetLayerVisibility(row->Layernum, visib);
    ReloadLayersKeepingRow();
}

void TFLayers::New1Click()
{
    // A layer needs a diagram to belong to.
    if (!store_.CheckDiagramOpen()) {
        return;
    }
    const int32_t n = store_.LastLayerNum + 1;
    QString name;
    if (!InputFittingText(QStringLiteral("Layer # ") + QString::number(n) +
                              QStringLiteral(" shortname"),
                          name, LayerNameWidth, QStringLiteral("A layer's name"))) {
        return;
    }
    data_->AddLayer(n, name);
    store_.LastLayerNum = n;
    ReloadLayers();
    GoToLayerRow(n);
}

void TFLayers::Rename1Click()
{
    const TLayerRec* row = CurrentLayerRow();
    if (!row) {
        return;
    }
    const int32_t layernum = row->Layernum;
    QString name = row->Name;
    if (!InputFittingText(QStringLiteral("Rename layer"), name, LayerNameWidth,
                          QStringLiteral("A layer's name"))) {
        return;
    }
    data_->RenameLayer(layernum, name);
    ReloadLayersKeepingRow();
}

void TFLayers::Delete1Click()
{
    const TLayerRec* row = CurrentLayerRow();
    if (!row) {
        return;
    }
    const int32_t n = row->Layernum;
    // New segments and labels fall back to layer 0, so it must stay.
    if (n == 0) {
        ShowInfo(QStringLiteral("Layer 0 is the default layer and cannot be deleted"));
        return;
    }
    if (!ConfirmLayerDelete(n)) {
        return;
    }
    data_->DeleteLayerWithSegments(n);
    // New items never go to a layer that has gone: the default layer takes
    // over, and the palette says so.
    if (store_.CurrentLayer.Layernum == n) {
        store_.ReloadCurrentLayer();
        if (forms_.Fnewseg)
            forms_.Fnewseg->ShowPaletteLayerButton();
    }
    ReloadLayers();
}

bool TFLayers::ConfirmLayerDelete(int32_t n)
{
    // Where the layer's points go too, one question covers it all.
    if (data_->DeleteTakesPoints()) {
        return Confirm(QStringLiteral("Delete layer & all segments in - are you sure ?"));
    }
    if (!Confirm(QStringLiteral("Delete layer ") + QString::number(n) +
                 QStringLiteral(" - OK ?"))) {
        return false;
    }
    const int k = data_->CountLayerSegments(n);
    return k == 0 || ConfirmReallySure(QStringLiteral("Layer has ") + QString::number(k) +
                                       QStringLiteral(" segments which will also be deleted"));
}

void TFLayers::Allhidden1Click()
{
    data_->HideAllLayers();
    ReloadLayers();
}

void TFLayers::Movesegs1Click()
{
    if (store_.CheckDiagramOpen()) {
        forms_.frelayer->ShowMoveSegments();
    }
}

void TFLayers::Button1Click()
{
    if (!store_.CheckDiagramOpen()) {
        return;
    }
    const int32_t p = forms_.Fpfls->ChooseProfile();
    if (p == 0) {
        return;
    }
    if (p != store_.CurrentProfile &&
        !Confirm(QStringLiteral("Save profile ") + QString::number(p) +
                 QStringLiteral(" differs from last loaded ") +
                 QString::number(store_.CurrentProfile) + QStringLiteral(" - Save anyway?"))) {
        return;
    }
    data_->SaveProfile(p, rows_);
    // The selected row stays as it was: it is the window's answer.
    accept();
}
