#include "storefixture.h"

#include <QComboBox>

namespace
{

using TextsAndLayers = StoreTest;

TEST_F(TextsAndLayers, LabelIsCutToItsWidthAndASecondOneIsRefused)
{
    TPointRec p = Pt(1, 1);
    Core().AddText(p, QString(90, QChar('x')), 0); // stores the point first
    TTextRec t;
    ASSERT_TRUE(Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text.size(), 80);
    EXPECT_EQ(t.Layer.Name, QStringLiteral("Default layer"));

    EXPECT_THROW(Core().AddText(p, QStringLiteral("second"), 0), tables::EngineError);
    ASSERT_TRUE(Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text.size(), 80);
    EXPECT_EQ(Count(QStringLiteral("point")), 1); // the refused label stored no point

    TPointRec q = Pt(2, 2);
    Core().AddText(q, QStringLiteral("next"), 0);
    EXPECT_EQ(Count(QStringLiteral("text")), 2);
}

TEST_F(TextsAndLayers, MovingToAnUnstoredPointStoresItAndKeepsTheLayer)
{
    AddLayer(3, QStringLiteral("Labels"), VisibBold);
    TPointRec from = Pt(1, 1);
    Core().InsertPoint(from);
    Core().AddText(from, QStringLiteral("door"), 3);
    Core().MoveText(from, Pt(5, 5));
    EXPECT_FALSE(Core().PointHasText(0));
    TTextRec t;
    ASSERT_TRUE(Core().LoadTextAtPoint(1, t));
    EXPECT_EQ(t.Text, QStringLiteral("door"));
    EXPECT_EQ(t.Layer.Layernum, 3);
    TPointRec to;
    ASSERT_TRUE(Core().LoadPoint(1, to));
    EXPECT_EQ(to.Lenx, 5);
}

TEST_F(TextsAndLayers, MoveRefusalsChangeNothing)
{
    TPointRec a = Pt(1, 1);
    TPointRec b = Pt(2, 2);
    Core().InsertPoint(a);
    Core().InsertPoint(b);
    Core().AddText(a, QStringLiteral("A"), 0);
    Core().AddText(b, QStringLiteral("B"), 0);
    TPointRec c = Pt(3, 3);
    Core().InsertPoint(c);

    Core().MoveText(a, a);
    Core().MoveText(a, b);
    Core().MoveText(c, a);
    // Unstored places that lie on stored points: on b (labelled) and on a.
    Core().MoveText(a, Pt(2, 2));
    Core().MoveText(a, Pt(1, 1));
    EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("From & to points are the same"),
                                             QStringLiteral("To-point already has text"),
                                             QStringLiteral("To-point already has text"),
                                             QStringLiteral("To-point already has text"),
                                             QStringLiteral("From & to points are the same")}));
    TTextRec t;
    ASSERT_TRUE(Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text, QStringLiteral("A"));
    ASSERT_TRUE(Core().LoadTextAtPoint(1, t));
    EXPECT_EQ(t.Text, QStringLiteral("B"));
    EXPECT_EQ(Count(QStringLiteral("point")), 3);

    prompts_.Clear();
    Core().MoveText(c, b);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("To-point already has text")});
    Core().MoveText(c, Pt(9, 9));
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("From-point has no text to move"));
    EXPECT_EQ(Count(QStringLiteral("point")), 3);
}

TEST_F(TextsAndLayers, MovedLabelOfAVanishedLayerLandsOnLayerZero)
{
    AddLayer(4, QStringLiteral("Temp"), VisibBold);
    TPointRec a = Pt(1, 1);
    Core().InsertPoint(a);
    Core().AddText(a, QStringLiteral("tag"), 4);
    Core().DeleteLayer(4);
    Core().MoveText(a, Pt(2, 2));
    EXPECT_EQ(Count(QStringLiteral("text"), QStringLiteral("Pointnum = 1 AND Layernum = 0")), 1);
}

TEST_F(TextsAndLayers, CurrentLayerGuard)
{
    AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    AddLayer(2, QStringLiteral("Gone"), VisibHidden);
    Core().CurrentLayer = TLayerRec{1, QStringLiteral("stale"), VisibBold};
    prompts_.Answer('N');
    EXPECT_FALSE(Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(Core().CurrentLayer.Name, QStringLiteral("Faint"));
    Core().CurrentLayer.Layernum = 2;
    prompts_.Answer('Y');
    EXPECT_TRUE(Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("Selected layer is faint - OK?"),
                                             QStringLiteral("Selected layer is hidden - OK?")}));

    Core().DeleteLayer(2);
    prompts_.Clear();
    EXPECT_TRUE(Core().ConfirmCurrentLayerVisible());
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(Core().CurrentLayer.Layernum, 0);
    EXPECT_EQ(Core().CurrentLayer.Name, QStringLiteral("Default layer"));
}

TEST_F(TextsAndLayers, DiagramOpenGuard)
{
    EXPECT_TRUE(Core().CheckDiagramOpen());
    for (const int32_t n : {0, -1}) {
        Core().CurrentDiagram = n;
        EXPECT_FALSE(Core().CheckDiagramOpen());
    }
    EXPECT_EQ(prompts_.Texts(), QStringList(2, QStringLiteral("No diagram open")));
}

TEST_F(TextsAndLayers, ListLayersInNumberOrder)
{
    AddLayer(5, QStringLiteral("Roof"), VisibBold);
    AddLayer(2, QStringLiteral("Walls"), VisibFaint);
    const std::vector<TLayerRec> layers = Core().ListLayers();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].Layernum, 0);
    EXPECT_EQ(layers[0].Name, QStringLiteral("Default layer"));
    EXPECT_EQ(layers[2].Layernum, 5);
    EXPECT_EQ(layers[2].Name, QStringLiteral("Roof"));
    EXPECT_EQ(Core().LastLayerNum, 5);

    // An empty list leaves the highest number as it was.
    NewDiagram(2, QStringLiteral("Empty"));
    ASSERT_TRUE(Core().OpenDiagram(2));
    EXPECT_TRUE(Core().ListLayers().empty());
    EXPECT_EQ(Core().LastLayerNum, 5);
}

TEST_F(TextsAndLayers, ProfileSetsMentionedLayersAndHidesTheRest)
{
    AddLayer(1, QStringLiteral("One"), VisibBold);
    AddLayer(2, QStringLiteral("Two"), VisibHidden);
    Exec(QStringLiteral("INSERT INTO pflays VALUES (1, 1, 0, 1), (1, 1, 2, 2)"));
    Core().ApplyProfile(1);
    tables::Statement st(Core().Database1, QStringLiteral("SELECT Visib FROM layer WHERE Dgnum = 1 "
                                                          "ORDER BY Layernum"));
    QList<int> visib;
    while (st.Step()) {
        visib << st.Column(0).toInt();
    }
    EXPECT_EQ(visib, (QList<int>{1, 0, 2}));

    Core().ApplyProfile(9); // no rows: everything hidden
    EXPECT_EQ(Count(QStringLiteral("layer"), QStringLiteral("Visib = 0")), 3);
}

TEST_F(TextsAndLayers, DeleteDiagramAsksTwiceAndTakesEverythingOfIt)
{
    StoreSeg(0, 0, 1, 1);
    Core().AddText(Pt(0, 0), QStringLiteral("t"), 0);
    Exec(QStringLiteral("INSERT INTO pfl VALUES (1, 1, 'Plan')"));
    Exec(QStringLiteral("INSERT INTO pflays VALUES (1, 1, 0, 2)"));
    NewDiagram(2, QStringLiteral("Other"));
    AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    Exec(QStringLiteral("INSERT INTO pfl VALUES (2, 1, 'Keep')"));

    prompts_.Answers(QStringLiteral("YN"));
    EXPECT_FALSE(Core().DeleteDiagram());
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(prompts_.Texts().last(),
              QStringLiteral("Delete this diagram #1 \"Shed\" - are you really sure?"));

    prompts_.Answers(QStringLiteral("YY"));
    EXPECT_TRUE(Core().DeleteDiagram());
    EXPECT_EQ(Core().CurrentDiagram, -1);
    for (const char* table : {"seg", "point", "text", "drawing", "layer", "pfl", "pflays"}) {
        EXPECT_EQ(Count(QLatin1String(table), QStringLiteral("Dgnum = 1")), 0) << table;
    }
    EXPECT_EQ(Count(QStringLiteral("drawing")), 1);
    EXPECT_EQ(Count(QStringLiteral("pfl")), 1);
}

TEST_F(TextsAndLayers, OpeningADiagram)
{
    EXPECT_FALSE(Core().OpenDiagram(0));
    EXPECT_FALSE(Core().OpenDiagram(7));
    EXPECT_EQ(Core().CurrentDiagram, 1);
    NewDiagram(2, QStringLiteral("Empty"), 0);
    ASSERT_TRUE(Core().OpenDiagram(2));
    EXPECT_EQ(Core().LastPointNum, -1);
    EXPECT_EQ(Core().LastSegNum, -1);
    EXPECT_EQ(Core().DiagramName, QStringLiteral("Empty"));
    EXPECT_EQ(Core().FormatLength(2.5), QStringLiteral("3"));
}

} // namespace
