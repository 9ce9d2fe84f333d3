#pragma once
// Picks a row of a list window's grid as a user would click it.

#include <QTableWidget>
#include <gtest/gtest.h>

// Selects the grid row whose first column is the number.
inline void SelectRow(QTableWidget* grid, int32_t number)
{
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->item(row, 0)->text().toInt() == number) {
            grid->setCurrentCell(row, 1);
            return;
        }
    }
    ADD_FAILURE() << number << " is not listed";
}
