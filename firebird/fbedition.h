#pragma once
// The second program: the editor on the Firebird database beside it.

#include "store/edition.h"

Edition FirebirdEdition();
