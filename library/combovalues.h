#pragma once
// Combo boxes whose items carry a whole number (a layer number, say) beside
// their text. The number is held as the item's data, so there is nothing to
// free when the items go.

#include <QString>
#include <cstdint>

class QComboBox;

// Removes every item (an empty combo box is left alone).
void ClearComboValues(QComboBox& combo);
void AddComboValue(QComboBox& combo, const QString& text, int32_t value);
// -1 for an index outside the items.
int32_t ComboValueAt(const QComboBox& combo, int index);
// -1 when no item is selected.
int32_t ComboSelectedValue(const QComboBox& combo);
// Selects the first item carrying the value; false, selection unchanged,
// when none does.
bool SelectComboValue(QComboBox& combo, int32_t value);
