#pragma once
// The first program: the editor on the table store beside it, with the
// export of that store to the second program's database.

#include "dialogs/edition.h"

Edition TableEdition();
