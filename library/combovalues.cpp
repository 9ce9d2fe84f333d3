#include "library/combovalues.h"

#include <QComboBox>
#include <QVariant>

namespace
{

constexpr int ValueRole = Qt::UserRole;

} // namespace

void ClearComboValues(QComboBox& combo)
{
    if (combo.count() > 0)
        combo.clear();
}

void AddComboValue(QComboBox& combo, const QString& text, int32_t value)
{
    combo.addItem(text, QVariant::fromValue(value));
}

int32_t ComboValueAt(const QComboBox& combo, int index)
{
    // An index past the items is a caller's slip; it gets "no value" like a
    // negative one rather than reading outside the list.
    if (index < 0 || index >= combo.count())
        return -1;
    return combo.itemData(index, ValueRole).toInt();
}

int32_t ComboSelectedValue(const QComboBox& combo)
{
    const int index = combo.currentIndex();
    return index < 0 ? -1 : ComboValueAt(combo, index);
}

bool SelectComboValue(QComboBox& combo, int32_t value)
{
    for (int i = 0; i < combo.count(); ++i) {
        if (ComboValueAt(combo, i) == value) {
            combo.setCurrentIndex(i);
            return true;
        }
    }
    return false;
}
