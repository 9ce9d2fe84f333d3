#include "dialogs/listgrid.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget* MakeListGrid(QWidget* parent, int columns)
{
    auto* grid = new QTableWidget(0, columns, parent);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setShowGrid(true);
    grid->verticalHeader()->hide();
    QFont bold = grid->horizontalHeader()->font();
    bold.setBold(true);
    grid->horizontalHeader()->setFont(bold);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    return grid;
}

QStringList SortTitles(QStringList titles, int orderingColumn)
{
    if (orderingColumn >= 0 && orderingColumn < titles.size())
        titles[orderingColumn].prepend(QStringLiteral("\u2022 "));
    return titles;
}
