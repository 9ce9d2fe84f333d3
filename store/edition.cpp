#include "store/edition.h"

const Edition& DefaultEdition()
{
    static const Edition edition;
    return edition;
}
