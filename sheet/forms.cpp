#include "sheet/forms.h"

#include "store/edition.h"

const Edition& ProgramEdition(const Forms& forms)
{
    return forms.Program ? *forms.Program : DefaultEdition();
}
