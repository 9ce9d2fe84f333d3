// scalora: the drawing editor on the table store.

#include "sheet/startup.h"
#include "store/tableedition.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, TableEdition());
}
