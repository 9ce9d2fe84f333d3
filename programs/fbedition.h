#pragma once
// The second program: the editor on the Firebird database beside it.

#include "dialogs/edition.h"

Edition FirebirdEdition();
