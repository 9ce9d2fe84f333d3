#include "storefixture.h"

namespace
{

template <typename Kind> class TextsAndLayers : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(TextsAndLayers, StoreKinds, StoreKindNames);

TYPED_TEST(TextsAndLayers, LabelIsCutToItsWidthAndASecondOneIsRefused)
{
    TPointRec p = Pt(1, 1);
    this->Core().AddText(p, QString(90, QChar('x')), 0); // stores the point first
    TTextRec t;
    ASSERT_TRUE(this->Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text.size(), 80);
    EXPECT_EQ(t.Layer.Name, QStringLiteral("Default layer"));

    EXPECT_THROW(this->Core().AddText(p, QStringLiteral("second"), 0), std::runtime_error);
    ASSERT_TRUE(this->Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text.size(), 80);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 1); // the refused label stored no point

    TPointRec q = Pt(2, 2);
    this->Core().AddText(q, QStringLiteral("next"), 0);
    EXPECT_EQ(this->Count(QStringLiteral("text")), 2);
}

TYPED_TEST(TextsAndLayers, MovingToAnUnstoredPointStoresItAndKeepsTheLayer)
{
    this->AddLayer(3, QStringLiteral("Labels"), VisibBold);
    TPointRec from = Pt(1, 1);
    this->Core().InsertPoint(from);
    this->Core().AddText(from, QStringLiteral("door"), 3);
    this->Core().MoveText(from, Pt(5, 5));
    EXPECT_FALSE(this->Core().PointHasText(0));
    TTextRec t;
    ASSERT_TRUE(this->Core().LoadTextAtPoint(1, t));
    EXPECT_EQ(t.Text, QStringLiteral("door"));
    EXPECT_EQ(t.Layer.Layernum, 3);
    TPointRec to;
    ASSERT_TRUE(this->Core().LoadPoint(1, to));
    EXPECT_EQ(to.Lenx, 5);
}

TYPED_TEST(TextsAndLayers, MoveRefusalsChangeNothing)
{
    TPointRec a = Pt(1, 1);
    TPointRec b = Pt(2, 2);
    this->Core().InsertPoint(a);
    this->Core().InsertPoint(b);
    this->Core().AddText(a, QStringLiteral("A"), 0);
    this->Core().AddText(b, QStringLiteral("B"), 0);
    TPointRec c = Pt(3, 3);
    this->Core().InsertPoint(c);

    this->Core().MoveText(a, a);
    this->Core().MoveText(a, b);
    this->Core().MoveText(c, a);
    // Unstored places that lie on stored points: on b (labelled) and on a.
    this->Core().MoveText(a, Pt(2, 2));
    this->Core().MoveText(a, Pt(1, 1));
    EXPECT_EQ(this->prompts_.Texts(),
              (QStringList{QStringLiteral("From & to points are the same"),
                           QStringLiteral("To-point already has text"),
                           QStringLiteral("To-point already has text"),
                           QStringLiteral("To-point already has text"),
                           QStringLiteral("From & to points are the same")}));
    TTextRec t;
    ASSERT_TRUE(this->Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text, QStringLiteral("A"));
    ASSERT_TRUE(this->Core().LoadTextAtPoint(1, t));
    EXPECT_EQ(t.Text, QStringLiteral("B"));
    EXPECT_EQ(this->Count(QStringLiteral("point")), 3);

    this->prompts_.Clear();
    this->Core().MoveText(c, b);
    EXPECT_EQ(this->prompts_.Texts(), QStringList{QStringLiteral("To-point already has text")});
    this->Core().MoveText(c, Pt(9, 9));
    EXPECT_EQ(this->prompts_.Texts().last(), QStringLiteral("From-point has no text to move"));
    EXPECT_EQ(this->Count(QStringLiteral("point")), 3);
}

TYPED_TEST(TextsAndLayers, MovedLabelOfAVanishedLayerLandsOnLayerZero)
{
    this->AddLayer(4, QStringLiteral("Temp"), VisibBold);
    TPointRec a = Pt(1, 1);
    this->Core().InsertPoint(a);
    this->Core().AddText(a, QStringLiteral("tag"), 4);
    this->Core().DeleteLayer(4);
    this->Core().MoveText(a, Pt(2, 2));
    EXPECT_EQ(this->Count(QStringLiteral("text"), QStringLiteral("Pointnum = 1 AND Layernum = 0")),
              1);
}

TYPED_TEST(TextsAndLayers, CurrentLayerGuard)
{
    this->AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    this->AddLayer(2, QStringLiteral("Gone"), VisibHidden);
    this->Core().CurrentLayer = TLayerRec{1, QStringLiteral("stale"), VisibBold};
    this->prompts_.Answer('N');
    EXPECT_FALSE(this->Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(this->Core().CurrentLayer.Name, QStringLiteral("Faint"));
    this->Core().CurrentLayer.Layernum = 2;
    this->prompts_.Answer('Y');
    EXPECT_TRUE(this->Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(this->prompts_.Texts(),
              (QStringList{QStringLiteral("Selected layer is faint - OK?"),
                           QStringLiteral("Selected layer is hidden - OK?")}));

    // New items never go to a layer whose row is gone: the default layer
    // takes over, bold, so nothing is asked.
    this->Core().DeleteLayer(2);
    this->prompts_.Clear();
    EXPECT_TRUE(this->Core().ConfirmCurrentLayerVisible());
    EXPECT_TRUE(this->prompts_.Texts().isEmpty());
    EXPECT_EQ(this->Core().CurrentLayer.Layernum, 0);
    EXPECT_EQ(this->Core().CurrentLayer.Name, QStringLiteral("Default layer"));
    EXPECT_EQ(this->Core().CurrentLayer.Visib, VisibBold);

    // The default layer as it is: asked about when hidden.
    this->Core().CurrentLayer.Layernum = 2;
    this->Exec(QStringLiteral("UPDATE layer SET Visib = 0 WHERE Dgnum = 1 AND Layernum = 0"));
    this->prompts_.Answer('N');
    EXPECT_FALSE(this->Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(this->Core().CurrentLayer.Layernum, 0);

    // With layer 0 gone as well there is no layer to take the item.
    this->Core().CurrentLayer.Layernum = 2;
    this->Core().DeleteLayer(0);
    this->prompts_.Clear();
    EXPECT_FALSE(this->Core().ConfirmCurrentLayerVisible());
    EXPECT_EQ(this->prompts_.Texts(),
              QStringList{QStringLiteral(
                  "Selected layer no longer exists, nor does layer 0 - choose a layer")});
    TLayerRec gone;
    EXPECT_FALSE(this->Core().LoadLayer(7, gone));
    EXPECT_EQ(gone.Layernum, 7);
    EXPECT_EQ(gone.Visib, VisibHidden);
}

TYPED_TEST(TextsAndLayers, DiagramOpenGuard)
{
    EXPECT_TRUE(this->Core().CheckDiagramOpen());
    for (const int32_t n : {0, -1}) {
        this->Core().CurrentDiagram = n;
        EXPECT_FALSE(this->Core().CheckDiagramOpen());
    }
    EXPECT_EQ(this->prompts_.Texts(), QStringList(2, QStringLiteral("No diagram open")));
}

TYPED_TEST(TextsAndLayers, ListLayersInNumberOrder)
{
    this->AddLayer(5, QStringLiteral("Roof"), VisibBold);
    this->AddLayer(2, QStringLiteral("Walls"), VisibFaint);
    const std::vector<TLayerRec> layers = this->Core().ListLayers();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].Layernum, 0);
    EXPECT_EQ(layers[0].Name, QStringLiteral("Default layer"));
    EXPECT_EQ(layers[2].Layernum, 5);
    EXPECT_EQ(layers[2].Name, QStringLiteral("Roof"));
    EXPECT_EQ(this->Core().LastLayerNum, 5);

    // An empty list leaves the highest number as it was.
    this->NewDiagram(2, QStringLiteral("Empty"));
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    EXPECT_TRUE(this->Core().ListLayers().empty());
    EXPECT_EQ(this->Core().LastLayerNum, 5);
}

TYPED_TEST(TextsAndLayers, ProfileSetsMentionedLayersAndHidesTheRest)
{
    this->AddLayer(1, QStringLiteral("One"), VisibBold);
    this->AddLayer(2, QStringLiteral("Two"), VisibHidden);
    this->AddProfileLayer(1, 0, VisibFaint);
    this->AddProfileLayer(1, 2, VisibBold);
    // Another diagram's profile of the same number changes nothing here.
    this->AddProfileLayer(1, 1, VisibFaint, 2);
    this->Core().ApplyProfile(1);
    const std::vector<long long> visib =
        this->Column(QStringLiteral("SELECT Visib FROM layer WHERE Dgnum = 1 ORDER BY Layernum"));
    EXPECT_EQ(visib, (std::vector<long long>{1, 0, 2}));

    this->Core().ApplyProfile(9); // no rows: everything hidden
    EXPECT_EQ(this->Count(QStringLiteral("layer"), QStringLiteral("Visib = 0")), 3);
}

TYPED_TEST(TextsAndLayers, DeleteDiagramAsksTwiceAndTakesEverythingOfIt)
{
    this->StoreSeg(0, 0, 1, 1);
    this->Core().AddText(Pt(0, 0), QStringLiteral("t"), 0);
    this->AddProfile(1, QStringLiteral("Plan"));
    this->AddProfileLayer(1, 0, VisibBold);
    this->NewDiagram(2, QStringLiteral("Other"));
    this->AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    this->AddProfile(1, QStringLiteral("Keep"), 2);

    // The first program asks its two questions, the second its own two.
    const QString second =
        this->Firebird ? QStringLiteral("... really really sure ?")
                       : QStringLiteral("Delete this diagram #1 \"Shed\" - are you really sure?");
    this->prompts_.Answers(QStringLiteral("YN"));
    EXPECT_FALSE(this->Core().DeleteDiagram());
    EXPECT_EQ(this->Core().CurrentDiagram, 1);
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(this->prompts_.Texts().last(), second);
    if (this->Firebird) {
        EXPECT_EQ(this->prompts_.Texts().first(),
                  QStringLiteral("Delete this diagram #1 \"Shed\" - are you sure ?"));
    }

    this->prompts_.Answers(QStringLiteral("YY"));
    EXPECT_TRUE(this->Core().DeleteDiagram());
    EXPECT_EQ(this->Core().CurrentDiagram, -1);
    for (const char* table : {"seg", "point", "text", "drawing", "layer", "pfl", "pflays"}) {
        EXPECT_EQ(this->Count(QLatin1String(table), QStringLiteral("Dgnum = 1")), 0) << table;
    }
    EXPECT_EQ(this->Count(QStringLiteral("drawing")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("pfl")), 1);
}

TYPED_TEST(TextsAndLayers, OpeningADiagram)
{
    EXPECT_FALSE(this->Core().OpenDiagram(0));
    EXPECT_FALSE(this->Core().OpenDiagram(7));
    EXPECT_EQ(this->Core().CurrentDiagram, 1);
    this->NewDiagram(2, QStringLiteral("Empty"), 0);
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    EXPECT_EQ(this->Core().LastPointNum, TypeParam::EmptyLastNumber);
    EXPECT_EQ(this->Core().LastSegNum, TypeParam::EmptyLastNumber);
    EXPECT_EQ(this->Core().DiagramName, QStringLiteral("Empty"));
    EXPECT_EQ(this->Core().FormatLength(2.5), QStringLiteral("3"));
}

TYPED_TEST(TextsAndLayers, NamesWithApostrophesAndLettersOfAnyScriptTravelUnchanged)
{
    this->Core().AddText(Pt(1, 2), QStringLiteral("it's Ærø; -- not SQL"), 0);
    TTextRec t;
    ASSERT_TRUE(this->Core().LoadTextAtPoint(0, t));
    EXPECT_EQ(t.Text, QStringLiteral("it's Ærø; -- not SQL"));
    this->Exec(
        QStringLiteral("UPDATE drawing SET Dgname = 'O''Hara''s Ørsted yard' WHERE Dgnum = 1"));
    ASSERT_TRUE(this->Core().OpenDiagram(1));
    EXPECT_EQ(this->Core().DiagramName, QStringLiteral("O'Hara's Ørsted yard"));
    QString notes;
    ASSERT_TRUE(this->Core().SaveDiagramNotes(1, QStringLiteral("don't; drop table seg")));
    ASSERT_TRUE(this->Core().LoadDiagramNotes(1, notes));
    EXPECT_EQ(notes, QStringLiteral("don't; drop table seg"));
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 0);
}

} // namespace
