// The list windows' data on the second program's database: diagrams,
// layers and profiles, each change one command, a change to a row that is
// not there said to have changed nothing.

#include "store/diagramrows.h"
#include "store/layersdata.h"
#include "store/profilesdata.h"
#include "store/storefixture.h"

namespace
{

using FirebirdListData = StoreOn<FirebirdStoreFixture>;

TEST_F(FirebirdListData, ANewDiagramComesWithItsFirstLayerAndReadsBackTrimmed)
{
    const auto rows = Core().MakeDiagramRows();
    EXPECT_EQ(rows->HighestNumber(), 1);
    DiagramRow row;
    row.Dgnum = 2;
    row.Dgname = QStringLiteral("Ørsted's barn");
    row.Units = QStringLiteral("m");
    row.RndgDP = 3;
    rows->Insert(row);
    EXPECT_EQ(rows->HighestNumber(), 2);
    EXPECT_EQ(
        Count(QStringLiteral("layer"), QStringLiteral("dgnum = 2 and layernum = 0 and visib = 2")),
        1);
    DiagramRow found;
    ASSERT_TRUE(rows->Find(2, found));
    EXPECT_EQ(found.Dgname, row.Dgname); // not padded to its 40 characters
    EXPECT_EQ(found.Units, QStringLiteral("m"));
    rows->Rename(2, QStringLiteral("Barn"));
    rows->WriteUnits(2, QStringLiteral("mm"), 1);
    const std::vector<DiagramRow> byName = rows->List(true);
    ASSERT_EQ(byName.size(), 2u);
    EXPECT_EQ(byName[0].Dgname, QStringLiteral("Barn"));
    EXPECT_EQ(byName[0].RndgDP, 1);
    EXPECT_FALSE(rows->Find(9, found));
}

TEST_F(FirebirdListData, LayerChangesReportARowThatIsNotThere)
{
    const auto layers = Core().MakeLayersData();
    layers->AddLayer(3, QStringLiteral("Walls"));
    layers->AddLayer(1, QStringLiteral("Fence"));
    EXPECT_TRUE(layers->SetLayerVisibility(1, VisibFaint));
    EXPECT_FALSE(layers->SetLayerVisibility(7, VisibFaint));
    EXPECT_TRUE(layers->RenameLayer(3, QStringLiteral("Brick walls")));
    EXPECT_FALSE(layers->RenameLayer(7, QStringLiteral("None")));
    const std::vector<TLayerRec> byName = layers->ListLayers(LayerOrder::ByName);
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName[0].Name, QStringLiteral("Brick walls"));
    const std::vector<TLayerRec> byVisib = layers->ListLayers(LayerOrder::ByVisibility);
    EXPECT_EQ(byVisib.back().Layernum, 1);

    StoreSeg(0, 0, 1, 0, 3);
    StoreSeg(1, 0, 2, 0, 3);
    StoreSeg(2, 0, 3, 0, 0);
    EXPECT_EQ(layers->CountLayerSegments(3), 2);
    layers->DeleteLayerWithSegments(3);
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(Count(QStringLiteral("layer"), QStringLiteral("layernum = 3")), 0);
    EXPECT_EQ(layers->SegmentsInRange(0, 9), std::vector<int32_t>{2});
    layers->HideAllLayers();
    EXPECT_EQ(Count(QStringLiteral("layer"), QStringLiteral("visib > 0")), 0);
}

TEST_F(FirebirdListData, ProfilesAreSavedOverAndDeletedWithTheirLayers)
{
    const auto layers = Core().MakeLayersData();
    const auto profiles = Core().MakeProfilesData();
    layers->AddLayer(1, QStringLiteral("Fence"));
    profiles->AddProfile(1, QStringLiteral("Plan"));
    layers->SaveProfile(1,
                        {TLayerRec{0, QString(), VisibBold}, TLayerRec{1, QString(), VisibHidden}});
    // Saved again: the rows that exist are updated, not doubled.
    layers->SaveProfile(1, {TLayerRec{1, QString(), VisibFaint}});
    EXPECT_EQ(Count(QStringLiteral("pflays")), 2);
    EXPECT_EQ(Count(QStringLiteral("pflays"), QStringLiteral("layernum = 1 and visib = 1")), 1);
    // The same number in another diagram is another profile.
    AddProfile(1, QStringLiteral("Other"), 2);
    EXPECT_TRUE(profiles->RenameProfile(1, QStringLiteral("Site plan")));
    EXPECT_FALSE(profiles->RenameProfile(5, QStringLiteral("None")));
    const std::vector<ProfileRow> listed = profiles->ListProfiles(ProfileOrder::ByName);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Name, QStringLiteral("Site plan"));
    profiles->DeleteProfile(1);
    EXPECT_EQ(Count(QStringLiteral("pfl")), 1);
    EXPECT_EQ(Count(QStringLiteral("pflays")), 0);
}

} // namespace
