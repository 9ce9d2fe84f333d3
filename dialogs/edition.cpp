#include "dialogs/edition.h"

namespace
{

const QString Rights = QStringLiteral("(c) 2023 the Scalora developers");
const QString WebAddress = QStringLiteral("scalora.example.org");

} // namespace

AboutText ScaloraAbout()
{
    return {QStringLiteral("SCALORA"),
            {QString(), QStringLiteral("for making scale-drawings"), QString(),
             QStringLiteral("version 5.00 ( March 2023 )"), QString(),
             QStringLiteral("measured on site, drawn to scale"),
             QStringLiteral("the Scalora developers"), QString(), Rights, WebAddress}};
}

AboutText Scalora2About()
{
    return {QStringLiteral("SCALORA2"),
            {QString(), QStringLiteral("for making scale-drawings"), QString(),
             QStringLiteral("version 0.01 ( March 2023 )"), QString(),
             QStringLiteral("SCALORA keeps its diagrams in a table store"),
             QStringLiteral("SCALORA2 keeps them in a Firebird database"), QString(), Rights,
             WebAddress}};
}

const Edition& DefaultEdition()
{
    static const Edition edition;
    return edition;
}
