#include "store/tableedition.h"

#include "library/application.h"
#include "store/core.h"
#include "store/export.h"

namespace
{

std::unique_ptr<Store> OpenTableStore(const QString& exeFolder)
{
    auto core = std::make_unique<TFcore>(exeFolder);
    core->Export = ExportWholeStore;
    DeliverShowingExceptions([&core] {
        core->FormCreate();
        return true;
    });
    return core;
}

} // namespace

Edition TableEdition()
{
    Edition edition;
    edition.MakeStore = OpenTableStore;
    return edition;
}
