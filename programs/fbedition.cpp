#include "programs/fbedition.h"

#include "firebird/corefb.h"
#include "library/application.h"

namespace
{

std::unique_ptr<Store> OpenFirebirdStore(const QString& exeFolder)
{
    auto core = std::make_unique<TFcoreFb>(exeFolder);
    DeliverShowingExceptions([&core] {
        core->FormCreate();
        return true;
    });
    return core;
}

} // namespace

Edition FirebirdEdition()
{
    Edition edition;
    edition.About = Scalora2About();
    edition.CaptionPrefix = QStringLiteral("SCALORA2 - ");
    edition.WindowPlacement = QRect(153, 66, 776, 513);
    edition.MaximiseOnShow = true;
    edition.AsksUpgradeQuestion = false;
    edition.ExportMenu = false;
    edition.StepCountNotices = false;
    edition.OnlyOneItemNotice = false;
    edition.SearchesEmptySets = true;
    edition.BusyRefresh = true;
    edition.MeasuredHint = QStringLiteral("Insert new Measured Segment at X");
    edition.StatusBarUnderDrawing = true;
    edition.CircleEntry = true;
    edition.NamesBadLength = true;
    edition.PointSearchKeepsSegment = true;
    edition.EllipseNeedsDiagonal = true;
    edition.AsksAgainForMeasuredSegment = false;
    edition.ProfileDeleteNamesNumber = true;
    edition.DiagramListTitles = {QStringLiteral("Id"), QStringLiteral("Name"),
                                 QStringLiteral("UNITS"), QStringLiteral("RNDGDP")};
    edition.MakeStore = OpenFirebirdStore;
    return edition;
}
