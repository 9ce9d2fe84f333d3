// scalora: the drawing editor on the table store.

#include "programs/tableedition.h"
#include "sheet/startup.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, TableEdition());
}
