#pragma once
// Text routines of the second program's store.

#include <QString>

// Removes the blanks, tabs, carriage returns and line feeds at the end of
// the text; how many it removed. The fixed-width name columns come back
// padded with blanks.
int TrimTrailingBlanks(QString& text);

// Compares the start of the text with the keyword, letter case ignored:
// 0 when the text begins with it, else -1 or 1 as the text sorts before or
// after it. A text shorter than the keyword is never 0.
int ComparePrefix(const QString& text, const QString& keyword);

class FbQuery;
// The LAYERNAME of the query's current row without the blanks that pad it.
QString LayerName(const FbQuery& row);
