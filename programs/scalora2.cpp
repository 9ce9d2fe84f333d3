// scalora2: the drawing editor on the Firebird database.

#include "programs/fbedition.h"
#include "sheet/startup.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, FirebirdEdition());
}
