#include "sheet/tableedition.h"

#include "dialogs/about1.h"
#include "dialogs/diagsrows.h"
#include "dialogs/layersdata.h"
#include "dialogs/pflsdata.h"
#include "library/application.h"
#include "store/core.h"
#include "store/export.h"

namespace
{

TFcore& Core(Store& store)
{
    return static_cast<TFcore&>(store);
}

std::unique_ptr<Store> OpenTableStore(const QString& exeFolder)
{
    auto core = std::make_unique<TFcore>(exeFolder);
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
    edition.Title = QStringLiteral("Scalora");
    edition.About = ScaloraAbout();
    edition.MakeStore = OpenTableStore;
    edition.MakeDiagramRows = [](Store& s) { return std::make_unique<TableDiagramRows>(Core(s)); };
    edition.MakeLayersData = [](Store& s) { return std::make_unique<TableLayersData>(Core(s)); };
    edition.MakeProfilesData = [](Store& s) {
        return std::make_unique<TableProfilesData>(Core(s));
    };
    edition.ExportToFirebird = [](Store& s) { return FirebirdExport(Core(s)).ExportToFirebird(); };
    return edition;
}
