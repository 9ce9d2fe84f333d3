#include "dialogs/pfls.h"

#include "dialogs/listgrid.h"

#include "dialogs/edition.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "store/store.h"

#include <QAction>
#include <QActionGroup>
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

TFpfls::TFpfls(Store& store, std::unique_ptr<ProfilesData> data, const Edition& edition,
               QWidget* parent)
    : QDialog(parent), store_(store), data_(std::move(data)), edition_(edition)
{
    setWindowTitle(QStringLiteral("Profiles"));
    BuildGrid();
    BuildPanel();
    BuildMenus();
    auto* layout = new QHBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Panel1);
    resize(420, 300);
    MarkProfileSortColumn();
}

TFpfls::~TFpfls() = default;

void TFpfls::BuildGrid()
{
    DBGrid1 = MakeListGrid(this, 2);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setColumnWidth(0, 50);
    connect(DBGrid1, &QTableWidget::cellDoubleClicked, this, [this] { TakeSelectedProfile(); });
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { TitleClick(column); });
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });
}

void TFpfls::BuildPanel()
{
    Panel1 = new QWidget(this);
    OKBtn = new QPushButton(QStringLiteral("OK"), Panel1);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), Panel1);
    auto* column = new QVBoxLayout(Panel1);
    column->addWidget(OKBtn);
    column->addWidget(CancelBtn);
    column->addStretch();
    connect(OKBtn, &QPushButton::clicked, this, [this] { TakeSelectedProfile(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
}

void TFpfls::BuildMenus()
{
    MainMenu1 = new QMenuBar(this);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    New1 = MainMenu1->addAction(QStringLiteral("New"));
    QMenu* sequence = MainMenu1->addMenu(QStringLiteral("Sequence"));
    sequence_ = new QActionGroup(this);
    byId1 = sequence->addAction(QStringLiteral("by Id"));
    byName1 = sequence->addAction(QStringLiteral("by Name"));
    for (QAction* item : {byId1, byName1}) {
        item->setCheckable(true);
        sequence_->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { SortBy(item); });
    }
    byId1->setChecked(true);
    connect(Close1, &QAction::triggered, this, &QDialog::reject);
    connect(New1, &QAction::triggered, this, [this] { New1Click(); });

    PopupMenu1 = new QMenu(this);
    Rename1 = PopupMenu1->addAction(QStringLiteral("Rename"));
    Delete1 = PopupMenu1->addAction(QStringLiteral("Delete"));
    connect(Rename1, &QAction::triggered, this, [this] { Rename1Click(); });
    connect(Delete1, &QAction::triggered, this, [this] { Delete1Click(); });
}

int32_t TFpfls::ChooseProfile()
{
    ReloadProfiles();
    return exec() == QDialog::Accepted ? SelectedProfile : 0;
}

bool TFpfls::SwitchProfile()
{
    if (!store_.CheckDiagramOpen()) {
        return false;
    }
    const int32_t profile = ChooseProfile();
    if (profile == 0) {
        return false;
    }
    store_.ApplyProfile(profile);
    store_.CurrentProfile = profile;
    return true;
}

void TFpfls::ReloadProfiles()
{
    MarkProfileSortColumn();
    rows_ = data_->ListProfiles(byId1->isChecked() ? ProfileOrder::ById : ProfileOrder::ByName);
    FillGrid();
}

void TFpfls::FillGrid()
{
    DBGrid1->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const ProfileRow& row = rows_[static_cast<size_t>(i)];
        DBGrid1->setItem(i, 0, Cell(QString::number(row.Pflnum), Qt::AlignHCenter));
        DBGrid1->setItem(i, 1, Cell(row.Name));
    }
    if (!rows_.empty()) {
        DBGrid1->setCurrentCell(0, 0);
    }
}

void TFpfls::MarkProfileSortColumn()
{
    DBGrid1->setHorizontalHeaderLabels(
        SortTitles({QStringLiteral("Id"), QStringLiteral("Name")}, byId1->isChecked() ? 0 : 1));
}

int32_t TFpfls::HighestListedProfile() const
{
    int32_t highest = 0;
    for (const ProfileRow& row : rows_) {
        highest = std::max(highest, row.Pflnum);
    }
    return highest;
}

const ProfileRow* TFpfls::CurrentRow() const
{
    const int row = DBGrid1->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return nullptr;
    }
    return &rows_[static_cast<size_t>(row)];
}

int32_t TFpfls::NewProfile()
{
    // Without an open diagram the profile would belong to no diagram.
    if (!store_.CheckDiagramOpen()) {
        return 0;
    }
    const int32_t n = HighestListedProfile() + 1;
    QString name;
    if (!InputFittingText(QStringLiteral("Profile #") + QString::number(n) +
                              QStringLiteral(" name"),
                          name, ProfileNameWidth, QStringLiteral("A profile's name"))) {
        return 0;
    }
    data_->AddProfile(n, name);
    return n;
}

void TFpfls::TakeSelectedProfile()
{
    // An empty list hands back no profile.
    const ProfileRow* row = CurrentRow();
    SelectedProfile = row ? row->Pflnum : 0;
    accept();
}

void TFpfls::CancelBtnClick()
{
    SelectedProfile = 0;
    reject();
}

void TFpfls::SortBy(QAction* item)
{
    item->setChecked(true);
    ReloadProfiles();
}

void TFpfls::TitleClick(int column)
{
    if (column == 0) {
        SortBy(byId1);
    } else if (column == 1) {
        SortBy(byName1);
    }
}

void TFpfls::New1Click()
{
    NewProfile();
    ReloadProfiles();
}

void TFpfls::Rename1Click()
{
    const ProfileRow* row = CurrentRow();
    if (!row) {
        return;
    }
    const int32_t pflnum = row->Pflnum;
    QString name = row->Name;
    if (!InputFittingText(QStringLiteral("Rename profile"), name, ProfileNameWidth,
                          QStringLiteral("A profile's name"))) {
        return;
    }
    data_->RenameProfile(pflnum, name);
    ReloadProfiles();
}

void TFpfls::Delete1Click()
{
    const ProfileRow* row = CurrentRow();
    if (!row) {
        return;
    }
    const int32_t pflnum = row->Pflnum;
    const QString which = edition_.ProfileDeleteNamesNumber
                              ? QStringLiteral(" #") + QString::number(pflnum)
                              : QString();
    if (!Confirm(QStringLiteral("Delete profile") + which +
                 QStringLiteral(" (the layers will remain) - OK?"))) {
        return;
    }
    data_->DeleteProfile(pflnum);
    ReloadProfiles();
}
