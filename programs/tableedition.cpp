#include "programs/tableedition.h"

#include "export/export.h"
#include "library/application.h"
#include "tablestore/core.h"

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
