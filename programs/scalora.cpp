// scalora: the drawing editor on the table store.

#include "sheet/tableedition.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, TableEdition());
}
