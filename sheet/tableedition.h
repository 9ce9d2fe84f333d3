#pragma once
// The first program: the editor on the table store beside it, with the
// export of that store to the second program's database.

#include "sheet/startup.h"

Edition TableEdition();
