// New point and segment numbers of the open diagram. They are handed out
// from the highest numbers read when the diagram was opened; another
// program writing to the same file (the sqlite3 client, a second copy of
// the program) may take the next number meanwhile. A row refused because
// its number is taken is numbered again after the diagram's stored
// highest: the lookup runs only then, so a normal insert costs nothing
// more.

#include "tablestore/core.h"

#include <algorithm>

int32_t TFcore::StoredHighestNumber(tables::Table& table, int32_t from)
{
    // One step down the key from its end: max() over the key's last column
    // with the diagram fixed. The lower bound keeps the plan a key range.
    const QString column = table.OrderColumns().last();
    tables::Statement& st =
        Database1.Prepare(tables::MapTableNames(QStringLiteral("SELECT max(%2) FROM %1 WHERE "
                                                               "(Dgnum = ?1) AND (%2 >= ?2)")
                                                    .arg(table.TableName, column)));
    st.Reset();
    st.BindInt(1, CurrentDiagram);
    st.BindInt(2, from);
    const int32_t highest = st.Step() && !st.ColumnIsNull(0) ? st.ColumnInt(0) : from - 1;
    st.Reset();
    return highest;
}

void TFcore::AppendNumbered(tables::Table& table, int32_t& number, int32_t* last,
                            const std::function<void()>& write)
{
    table.Append();
    try {
        tables::PostOrCancel(table, write);
        return;
    } catch (...) {
        bool taken = false;
        try {
            taken = last && table.FindKey({CurrentDiagram, number});
        } catch (...) {
            // The refusal itself is what the user is told.
        }
        if (!taken)
            throw;
    }
    number = std::max(*last, StoredHighestNumber(table, number)) + 1;
    *last = number;
    table.Append();
    tables::PostOrCancel(table, write);
}
