#include "dialogs/diags.h"

#include "dialogs/listgrid.h"

#include "dialogs/edition.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "store/store.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

// The decimal places a length is shown with: beyond 15 a double has no
// more digits to show.
constexpr int32_t MaxDecimals = 15;

enum GridColumn { IdColumn = 0, NameColumn = 1, UnitsColumn = 2, DecimalsColumn = 3 };

} // namespace

TFDiags::TFDiags(Store& store, std::unique_ptr<DiagramRows> rows, const Edition& edition,
                 QWidget* parent)
    : QDialog(parent), store_(store), rows_(std::move(rows)), edition_(edition)
{
    setWindowTitle(QStringLiteral("Diagrams"));
    resize(520, 360);
    BuildMenus();
    BuildGrid();
    BuildPanel();

    auto* body = new QHBoxLayout;
    body->addWidget(DBGrid1, 1);
    body->addWidget(Panel1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(body);
    MarkDiagramSortColumn();
}

void TFDiags::BuildMenus()
{
    MainMenu1 = new QMenuBar(this);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    connect(Close1, &QAction::triggered, this, &QDialog::reject);

    Sequence1 = MainMenu1->addMenu(QStringLiteral("Sequence"));
    // Radio items that can also be unchecked: with neither checked the list
    // is in number order.
    sequence_ = new QActionGroup(this);
    sequence_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    Num1 = Sequence1->addAction(QStringLiteral("Diagram number"));
    Name1 = Sequence1->addAction(QStringLiteral("Diagram name"));
    for (QAction* item : {Num1, Name1}) {
        item->setCheckable(true);
        sequence_->addAction(item);
        connect(item, &QAction::triggered, this, &TFDiags::ReloadDiagramList);
    }
    Num1->setChecked(true);

    PopupMenu1 = new QMenu(this);
    Rename1 = PopupMenu1->addAction(QStringLiteral("Rename"));
    connect(Rename1, &QAction::triggered, this, &TFDiags::Rename1Click);
}

void TFDiags::BuildGrid()
{
    DBGrid1 = MakeListGrid(this, static_cast<int>(edition_.DiagramListTitles.size()));
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    const int charWidth = DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    DBGrid1->setColumnWidth(IdColumn, charWidth * 5 + 16);
    DBGrid1->setColumnWidth(NameColumn, charWidth * 30);
    // The decimals column, where the list has one, is in sight without
    // scrolling.
    if (DBGrid1->columnCount() > DecimalsColumn) {
        DBGrid1->setColumnWidth(UnitsColumn, charWidth * 10);
        resize(width() + charWidth * 10, height());
    }
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(DBGrid1, &QTableWidget::cellDoubleClicked, this, &TFDiags::DBGrid1DblClick);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TFDiags::DBGrid1TitleClick);
}

void TFDiags::BuildPanel()
{
    Panel1 = new QFrame(this);
    Button1 = new QPushButton(QStringLiteral("Open"), Panel1);
    Button2 = new QPushButton(QStringLiteral("Cancel"), Panel1);
    Button1->setDefault(true);
    auto* layout = new QVBoxLayout(Panel1);
    layout->addWidget(Button1);
    layout->addWidget(Button2);
    layout->addStretch(1);
    connect(Button1, &QPushButton::clicked, this, &TFDiags::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFDiags::ChooseDiagram()
{
    ReloadDiagramList();
    return exec() == QDialog::Accepted;
}

void TFDiags::MarkDiagramSortColumn()
{
    const int ordering = Num1->isChecked() ? IdColumn : Name1->isChecked() ? NameColumn : -1;
    DBGrid1->setHorizontalHeaderLabels(SortTitles(edition_.DiagramListTitles, ordering));
}

void TFDiags::ReloadDiagramList()
{
    MarkDiagramSortColumn();
    const std::vector<DiagramRow> rows = rows_->List(Name1->isChecked());
    DBGrid1->clearContents();
    DBGrid1->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const DiagramRow& row = rows[static_cast<size_t>(r)];
        auto* id = new QTableWidgetItem(QString::number(row.Dgnum));
        id->setTextAlignment(Qt::AlignCenter);
        id->setData(Qt::UserRole, row.Dgnum);
        DBGrid1->setItem(r, IdColumn, id);
        DBGrid1->setItem(r, NameColumn, new QTableWidgetItem(row.Dgname));
        DBGrid1->setItem(r, UnitsColumn, new QTableWidgetItem(row.Units));
        if (DBGrid1->columnCount() > DecimalsColumn) {
            auto* decimals = new QTableWidgetItem(QString::number(row.RndgDP));
            decimals->setTextAlignment(Qt::AlignCenter);
            DBGrid1->setItem(r, DecimalsColumn, decimals);
        }
    }
    if (!rows.empty()) {
        DBGrid1->selectRow(0);
        DBGrid1->setCurrentCell(0, IdColumn);
    }
}

int32_t TFDiags::SelectedDiagram() const
{
    const int r = DBGrid1->currentRow();
    if (r < 0 || r >= DBGrid1->rowCount() || !DBGrid1->item(r, IdColumn)) {
        return 0;
    }
    return DBGrid1->item(r, IdColumn)->data(Qt::UserRole).toInt();
}

void TFDiags::OpenSelectedDiagram()
{
    store_.OpenDiagram(SelectedDiagram());
}

void TFDiags::Button1Click()
{
    OpenSelectedDiagram();
    accept();
}

void TFDiags::DBGrid1DblClick()
{
    OpenSelectedDiagram();
    accept();
}

void TFDiags::DBGrid1TitleClick(int column)
{
    if (column == IdColumn) {
        Num1->trigger();
    } else if (column == NameColumn) {
        Name1->trigger();
    }
}

void TFDiags::Rename1Click()
{
    const int32_t number = SelectedDiagram();
    QString name;
    if (!RenameDiagram(number, name)) {
        return;
    }
    ReloadDiagramList();
    if (number == store_.CurrentDiagram) {
        store_.RenameOpenDiagram(name);
    }
}

bool TFDiags::InputDecimals(int32_t& decimals)
{
    int32_t typed = decimals;
    for (;;) {
        if (!InputWholeNumber(QStringLiteral("Enter decimal places for rounding units"), typed)) {
            return false;
        }
        if (typed >= 0 && typed <= MaxDecimals) {
            decimals = typed;
            return true;
        }
        ShowInfo(QStringLiteral("Decimal places must be 0 to ") + QString::number(MaxDecimals));
        typed = decimals;
    }
}

bool TFDiags::AskUnitsAndDecimals(QString& units, int32_t& decimals)
{
    units = store_.DiagramUnits;
    if (!InputFittingText(QStringLiteral("Enter units (eg mm)"), units, UnitsWidth,
                          QStringLiteral("Units"))) {
        return false;
    }
    decimals = store_.RoundingDP;
    return InputDecimals(decimals);
}

bool TFDiags::NewDiagram()
{
    const int32_t n = rows_->HighestNumber() + 1;
    QString name;
    if (!InputFittingText(QStringLiteral("Diagram #") + QString::number(n) +
                              QStringLiteral(" name"),
                          name, DiagramNameWidth, QStringLiteral("A diagram's name"))) {
        return false;
    }
    // Asked before anything is written, so a cancel leaves no trace, and
    // the open diagram keeps its own units when the new one is not made.
    DiagramRow row;
    row.Dgnum = n;
    row.Dgname = name;
    if (!AskUnitsAndDecimals(row.Units, row.RndgDP)) {
        return false;
    }
    rows_->Insert(row);
    store_.AdoptNewDiagram(n, name, row.Units, row.RndgDP);
    ReloadDiagramList();
    return true;
}

bool TFDiags::FindDiagramRow(int32_t number)
{
    foundRow_ = DiagramRow();
    if (number < 1) {
        return false;
    }
    return rows_->Find(number, foundRow_);
}

void TFDiags::ReportMissingRow(int32_t number)
{
    ShowInfo(QStringLiteral("Error : Diagram #") + QString::number(number) +
             QStringLiteral(" not found"));
}

bool TFDiags::RenameDiagram(int32_t number, QString& name)
{
    // No row chosen: nothing to rename, nothing to say.
    if (number < 1) {
        return false;
    }
    if (!FindDiagramRow(number)) {
        ReportMissingRow(number);
        return false;
    }
    QString typed = foundRow_.Dgname;
    if (!InputFittingText(QStringLiteral("Rename diagram"), typed, DiagramNameWidth,
                          QStringLiteral("A diagram's name"))) {
        return false;
    }
    if (!rows_->Rename(number, typed)) {
        ReportMissingRow(number);
        return false;
    }
    name = typed;
    return true;
}

bool TFDiags::EditDiagramUnits()
{
    const int32_t number = store_.CurrentDiagram;
    if (!store_.CheckDiagramOpen()) {
        return false;
    }
    if (!FindDiagramRow(number)) {
        ReportMissingRow(number);
        return false;
    }
    QString units;
    int32_t decimals = 0;
    if (!AskUnitsAndDecimals(units, decimals)) {
        return false;
    }
    // The decimal places go with the units, so the next opening of the
    // diagram shows lengths as they were set here.
    if (!rows_->WriteUnits(number, units, decimals)) {
        ReportMissingRow(number);
        return false;
    }
    store_.SetDiagramUnits(units, decimals);
    return true;
}
