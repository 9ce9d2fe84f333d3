#include "dialogs/forms.h"

#include "dialogs/edition.h"

const Edition& ProgramEdition(const Forms& forms)
{
    return forms.Program ? *forms.Program : DefaultEdition();
}
