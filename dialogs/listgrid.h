#pragma once
// What the list windows (diagrams, layers, profiles) share: a grid of rows
// selected whole, not edited in place, with bold clickable column titles,
// and the bullet that marks the column the list is ordered by.

#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

QTableWidget* MakeListGrid(QWidget* parent, int columns);

// The titles with "• " before the one of the ordering column.
QStringList SortTitles(QStringList titles, int orderingColumn);
