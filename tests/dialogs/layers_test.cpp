// The layers window driven through its entry routines, with scripted answers,
// on a real table store.

#include "dialogs/edition.h"
#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "dialogs/pfls.h"
#include "dialogs/relayer.h"
#include "store/layersdata.h"
#include "store/profilesdata.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

namespace
{

class LayersWindowTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        pfls_ = std::make_unique<TFpfls>(Core(), Core().MakeProfilesData(), DefaultEdition());
        relayer_ = std::make_unique<Tfrelayer>(Core(), Core().MakeLayersData());
        layers_ = std::make_unique<TFLayers>(Core(), Core().MakeLayersData(), forms_);
        forms_.Fpfls = pfls_.get();
        forms_.frelayer = relayer_.get();
        forms_.FLayers = layers_.get();
    }

    // Layer 0 "Default layer" (bold) comes from the store fixture.
    void AddFourLayers()
    {
        AddLayer(1, QStringLiteral("beta"), VisibHidden);
        AddLayer(2, QStringLiteral("Alpha"), VisibFaint);
        AddLayer(3, QStringLiteral("gamma"), VisibBold);
    }

    TFLayers& W() { return *layers_; }

    QStringList Column(int col)
    {
        QStringList cells;
        for (int r = 0; r < W().DBGrid1->rowCount(); ++r) {
            cells << W().DBGrid1->item(r, col)->text();
        }
        return cells;
    }

    QStringList Titles()
    {
        QStringList titles;
        for (int c = 0; c < W().DBGrid1->columnCount(); ++c) {
            titles << W().DBGrid1->horizontalHeaderItem(c)->text();
        }
        return titles;
    }

    int32_t SelectedLayer()
    {
        return W().DBGrid1->item(W().DBGrid1->currentRow(), 0)->text().toInt();
    }

    void Select(int32_t layernum)
    {
        const int row = static_cast<int>(Column(0).indexOf(QString::number(layernum)));
        ASSERT_GE(row, 0) << "layer " << layernum << " is not listed";
        W().DBGrid1->setCurrentCell(row, 1);
    }

    long long Visib(int32_t layernum)
    {
        return Scalar(QStringLiteral("SELECT visib FROM layer WHERE dgnum = 1 AND layernum = %1")
                          .arg(layernum));
    }

    Forms forms_;
    std::unique_ptr<TFpfls> pfls_;
    std::unique_ptr<Tfrelayer> relayer_;
    std::unique_ptr<TFLayers> layers_;
};

TEST_F(LayersWindowTest, OrdersListTheRowsAndMarkTheirColumnWithABullet)
{
    AddFourLayers();
    QStringList byName, byNameTitles, byId, byIdTitles, byVisib, visibTexts, byVisibTitles;
    int rowAfterReorder = -1;
    WhenModal([&](QWidget*) {
        byName = Column(1);
        byNameTitles = Titles();
        Select(3);
        W().DBGrid1->horizontalHeader()->sectionClicked(0);
        rowAfterReorder = W().DBGrid1->currentRow();
        byId = Column(0);
        byIdTitles = Titles();
        W().byVisibility1->trigger();
        byVisib = Column(0);
        visibTexts = Column(2);
        byVisibTitles = Titles();
        W().Button3->click();
    });
    EXPECT_FALSE(W().ShowLayers());

    EXPECT_EQ(byName, QStringList({"Alpha", "beta", "Default layer", "gamma"}));
    EXPECT_EQ(byNameTitles, QStringList({"Id", "\u2022 Name", "Visibility"}));
    EXPECT_EQ(byId, QStringList({"0", "1", "2", "3"}));
    EXPECT_EQ(byIdTitles, QStringList({"\u2022 Id", "Name", "Visibility"}));
    EXPECT_EQ(rowAfterReorder, 0);
    // Bold layers first, then faint, then hidden.
    ASSERT_EQ(byVisib.size(), 4);
    EXPECT_EQ(QStringList({byVisib[2], byVisib[3]}), QStringList({"2", "1"}));
    EXPECT_EQ(visibTexts, QStringList({"Bold", "Bold", "Faint", "Hidden"}));
    EXPECT_EQ(byVisibTitles, QStringList({"Id", "Name", "\u2022 Visibility"}));
    // The order chosen stays for the next opening.
    EXPECT_TRUE(W().byVisibility1->isChecked());
}

TEST_F(LayersWindowTest, ChooseLayerOpensOnTheRecordsLayerAndHandsBackTheSelectedRow)
{
    AddFourLayers();
    TLayerRec layer;
    layer.Layernum = 2;
    int32_t openedOn = -1;
    WhenModal([&](QWidget*) {
        openedOn = SelectedLayer();
        Select(1);
        W().Button2->click();
    });
    ASSERT_TRUE(W().ChooseLayer(layer));
    EXPECT_EQ(openedOn, 2);
    EXPECT_EQ(layer.Layernum, 1);
    EXPECT_EQ(layer.Name, "beta");
    EXPECT_EQ(layer.Visib, VisibHidden);
    EXPECT_EQ(Core().LastLayerNum, 3);

    // Cancel leaves the record as it was.
    WhenModal([&](QWidget*) {
        Select(3);
        W().Close1->trigger();
    });
    EXPECT_FALSE(W().ChooseLayer(layer));
    EXPECT_EQ(layer.Layernum, 1);
    EXPECT_EQ(layer.Name, "beta");
}

TEST_F(LayersWindowTest, ShowLayersOpensOnLayerZeroAndDoubleClickActsAsOk)
{
    AddFourLayers();
    int32_t openedOn = -1;
    WhenModal([&](QWidget*) {
        openedOn = SelectedLayer();
        W().DBGrid1->cellDoubleClicked(1, 1);
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(openedOn, 0);
}

TEST_F(LayersWindowTest, VisibilityItemsStoreAtOnceAndKeepTheLayerSelected)
{
    AddFourLayers();
    bool boldCheckedForFaint = true;
    bool faintCheckedForFaint = false;
    int32_t afterHidden = -1, afterBold = -1;
    WhenModal([&](QWidget*) {
        Select(2);
        W().PopupMenu1->aboutToShow();
        faintCheckedForFaint = W().Faint1->isChecked();
        boldCheckedForFaint = W().Bold1->isChecked();
        Select(3);
        W().Hidden1->trigger();
        afterHidden = SelectedLayer();
        Select(1);
        W().Bold1->trigger();
        afterBold = SelectedLayer();
        W().Button3->click();
    });
    // Cancel does not undo what was stored.
    EXPECT_FALSE(W().ShowLayers());
    EXPECT_TRUE(faintCheckedForFaint);
    EXPECT_FALSE(boldCheckedForFaint);
    EXPECT_EQ(Visib(3), VisibHidden);
    EXPECT_EQ(Visib(1), VisibBold);
    EXPECT_EQ(afterHidden, 3);
    EXPECT_EQ(afterBold, 1);
}

TEST_F(LayersWindowTest, RenameStoresTheNameAndKeepsTheLayerSelected)
{
    AddFourLayers();
    prompts_.Type(QStringLiteral("walls"));
    int32_t afterRename = -1;
    WhenModal([&](QWidget*) {
        Select(3);
        W().Rename1->trigger();
        afterRename = SelectedLayer();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    ASSERT_EQ(prompts_.Log().size(), 1u);
    EXPECT_EQ(prompts_.Log()[0].text, "Rename layer");
    EXPECT_EQ(prompts_.Log()[0].initial, "gamma");
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 3 AND name = 'walls'"), 1);
    EXPECT_EQ(afterRename, 3);
}

TEST_F(LayersWindowTest, NewLayerIsNumberedAfterTheHighestAndSelected)
{
    AddFourLayers();
    prompts_.Type(QStringLiteral("roof")).CancelInput();
    int32_t afterNew = -1;
    WhenModal([&](QWidget*) {
        W().New1->trigger();
        afterNew = SelectedLayer();
        W().New1->trigger(); // cancelled
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(), QStringList({"Layer # 4 shortname", "Layer # 5 shortname"}));
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 4 AND name = 'roof' AND visib = 2"), 1);
    EXPECT_EQ(Count("layer", "dgnum = 1"), 5);
    EXPECT_EQ(afterNew, 4);
    EXPECT_EQ(Core().LastLayerNum, 4);
}

TEST_F(LayersWindowTest, NameLongerThanItsColumnIsRefusedAndAskedAgain)
{
    AddFourLayers();
    const QString longName(41, QLatin1Char('w'));
    prompts_.Type(longName).Type(QStringLiteral("walls"));
    WhenModal([&](QWidget*) {
        Select(3);
        W().Rename1->trigger();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Rename layer", "A layer's name may be at most 40 characters long",
                           "Rename layer"}));
    EXPECT_EQ(prompts_.Log()[2].initial, longName); // the typed text comes back to be mended
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 3 AND name = 'walls'"), 1);
}

TEST_F(LayersWindowTest, FirstLayerOfADiagramWithoutLayersIsNumberZero)
{
    NewDiagram(2, QStringLiteral("Empty"));
    ASSERT_TRUE(Core().OpenDiagram(2));
    prompts_.Type(QString());
    WhenModal([&](QWidget*) {
        W().New1->trigger();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(), QStringList({"Layer # 0 shortname"}));
    EXPECT_EQ(Count("layer", "dgnum = 2 AND layernum = 0 AND name = '' AND visib = 2"), 1);
}

TEST_F(LayersWindowTest, EmptyListHandsBackAnEmptyHiddenLayerAndItsItemsDoNothing)
{
    NewDiagram(2, QStringLiteral("Bare"));
    ASSERT_TRUE(Core().OpenDiagram(2));
    StoreSeg(0, 0, 5, 0, 0);
    TLayerRec layer;
    layer.Layernum = 7;
    layer.Name = QStringLiteral("kept");
    // Answers stand ready, so a prompt shown by mistake acts.
    prompts_.Answers(QStringLiteral("YYY")).Type(QStringLiteral("renamed"));
    WhenModal([&](QWidget*) {
        W().Delete1->trigger();
        W().Rename1->trigger();
        W().Hidden1->trigger();
        W().Button2->click();
    });
    // OK hands back what an empty row holds: layer 0, no name, hidden.
    EXPECT_TRUE(W().ChooseLayer(layer));
    EXPECT_EQ(layer.Layernum, 0);
    EXPECT_EQ(layer.Name, "");
    EXPECT_EQ(layer.Visib, VisibHidden);
    EXPECT_TRUE(prompts_.Log().empty());
    EXPECT_EQ(Count("seg", "dgnum = 2"), 1);
    EXPECT_EQ(Core().LastLayerNum, -1);
}

TEST_F(LayersWindowTest, DeletingALayerWithoutSegmentsAsksOnce)
{
    AddFourLayers();
    prompts_.Answer('Y');
    int32_t afterDelete = -1;
    WhenModal([&](QWidget*) {
        Select(2);
        W().Delete1->trigger();
        afterDelete = W().DBGrid1->currentRow();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(), QStringList({"Delete layer 2 - OK ?"}));
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 2"), 0);
    EXPECT_EQ(Count("layer", "dgnum = 1"), 3);
    EXPECT_EQ(afterDelete, 0);
}

TEST_F(LayersWindowTest, DeletingALayerWithSegmentsAsksThreeTimes)
{
    AddFourLayers();
    StoreSeg(0, 0, 10, 0, 3);
    StoreSeg(10, 0, 10, 10, 3);
    StoreSeg(0, 5, 5, 5, 0);
    const QStringList three{"Delete layer 3 - OK ?",
                            "Layer has 2 segments which will also be deleted - are you sure ?",
                            "... really really sure ?"};
    const long long points = Count("point", "dgnum = 1");

    for (const QString& answers : {QStringLiteral("YN"), QStringLiteral("YYN")}) {
        prompts_.Clear();
        prompts_.Answers(answers);
        WhenModal([&](QWidget*) {
            Select(3);
            W().Delete1->trigger();
            W().Button3->click();
        });
        W().ShowLayers();
        EXPECT_EQ(prompts_.Texts(), three.mid(0, answers.size()));
        EXPECT_EQ(Count("seg", "dgnum = 1 AND layernum = 3"), 2) << answers.toStdString();
        EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 3"), 1);
    }

    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYY"));
    WhenModal([&](QWidget*) {
        Select(3);
        W().Delete1->trigger();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(), three);
    EXPECT_EQ(Count("seg", "dgnum = 1 AND layernum = 3"), 0);
    EXPECT_EQ(Count("seg", "dgnum = 1"), 1);
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 3"), 0);
    // Points stay where they were.
    EXPECT_EQ(Count("point", "dgnum = 1"), points);
}

TEST_F(LayersWindowTest, DefaultLayerCannotBeDeleted)
{
    AddFourLayers();
    StoreSeg(0, 0, 10, 0, 0);
    // Answers stand ready, so a question asked by mistake deletes.
    prompts_.Answers(QStringLiteral("YYY"));
    WhenModal([&](QWidget*) {
        Select(0);
        W().Delete1->trigger();
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Question), QStringList());
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info),
              QStringList({"Layer 0 is the default layer and cannot be deleted"}));
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 0"), 1);
    EXPECT_EQ(Count("seg", "dgnum = 1"), 1);
}

TEST_F(LayersWindowTest, AllHiddenHidesEveryLayerOfTheOpenDiagramOnly)
{
    AddFourLayers();
    NewDiagram(2, QStringLiteral("Other"));
    AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    QStringList texts;
    WhenModal([&](QWidget*) {
        Select(3);
        W().Allhidden1->trigger();
        texts = Column(2);
        W().Button2->click();
    });
    EXPECT_TRUE(W().ShowLayers());
    EXPECT_EQ(texts, QStringList({"Hidden", "Hidden", "Hidden", "Hidden"}));
    EXPECT_EQ(Count("layer", "dgnum = 1 AND visib <> 0"), 0);
    EXPECT_EQ(Count("layer", "dgnum = 2 AND visib = 2"), 1);
}

TEST_F(LayersWindowTest, SaveIntoAProfileKeepsTheSelectedLayerAsTheAnswer)
{
    AddFourLayers();
    Exec(QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (1, 1, 'Plan')"));
    Core().CurrentProfile = 0;
    prompts_.Answer('Y');
    TLayerRec layer;
    layer.Layernum = 3;
    WhenModal([&](QWidget*) {
        Select(2);
        WhenModal([&](QWidget*) { pfls_->OKBtn->click(); });
        W().Button1->click();
    });
    ASSERT_TRUE(W().ChooseLayer(layer));
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Save profile 1 differs from last loaded 0 - Save anyway?"}));
    EXPECT_EQ(layer.Layernum, 2);
    EXPECT_EQ(layer.Name, "Alpha");
    EXPECT_EQ(Count("pflays", "dgnum = 1 AND pflnum = 1"), 4);
    for (const int32_t n : {0, 1, 2, 3}) {
        EXPECT_EQ(Scalar(QStringLiteral("SELECT visib FROM pflays WHERE dgnum = 1 AND pflnum = 1 "
                                        "AND layernum = %1")
                             .arg(n)),
                  Visib(n));
    }
    EXPECT_EQ(Core().CurrentProfile, 0);
}

TEST_F(LayersWindowTest, DecliningTheProfileQuestionSavesNothingAndStaysOpen)
{
    AddFourLayers();
    Exec(QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (1, 4, 'Plan')"));
    Core().CurrentProfile = 1;
    prompts_.Answer('N');
    bool openAfterSave = false;
    WhenModal([&](QWidget*) {
        WhenModal([&](QWidget*) { pfls_->OKBtn->click(); });
        W().Button1->click();
        openAfterSave = W().isVisible();
        W().Button3->click();
    });
    EXPECT_FALSE(W().ShowLayers());
    EXPECT_TRUE(openAfterSave);
    EXPECT_EQ(Count("pflays", "1"), 0);
}

TEST_F(LayersWindowTest, SavedProfileAppliedLaterHidesLayersItDoesNotName)
{
    AddFourLayers();
    Exec(QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (1, 1, 'Plan')"));
    Core().CurrentProfile = 1;
    WhenModal([&](QWidget*) {
        WhenModal([&](QWidget*) { pfls_->OKBtn->click(); });
        W().Button1->click();
    });
    ASSERT_TRUE(W().ShowLayers());

    // Later the layers change and a layer is added that the profile does not name.
    AddLayer(4, QStringLiteral("later"), VisibBold);
    Exec(QStringLiteral("UPDATE layer SET visib = 2 WHERE dgnum = 1"));

    WhenModal([&](QWidget*) { pfls_->OKBtn->click(); });
    EXPECT_TRUE(pfls_->SwitchProfile());
    EXPECT_EQ(Core().CurrentProfile, 1);
    EXPECT_EQ(Visib(0), VisibBold);
    EXPECT_EQ(Visib(1), VisibHidden);
    EXPECT_EQ(Visib(2), VisibFaint);
    EXPECT_EQ(Visib(3), VisibBold);
    EXPECT_EQ(Visib(4), VisibHidden);
}

TEST_F(LayersWindowTest, MultiRowChangesAreKeptWholeOrNotAtAll)
{
    AddFourLayers();
    StoreSeg(0, 0, 10, 0, 3);
    StoreSeg(10, 0, 10, 10, 3);
    const std::unique_ptr<LayersData> layersData = Core().MakeLayersData();
    LayersData& data = *layersData;

    // The layer row refuses to go after its segments went: they come back.
    Exec(QStringLiteral("CREATE TRIGGER keep3 BEFORE DELETE ON layer WHEN old.layernum = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'layer 3 is locked'); END"));
    EXPECT_THROW(data.DeleteLayerWithSegments(3), tables::EngineError);
    EXPECT_EQ(Count("seg", "dgnum = 1 AND layernum = 3"), 2);

    // The last layer's profile row is refused: no row of the profile is kept.
    Exec(QStringLiteral("CREATE TRIGGER no3 BEFORE INSERT ON pflays WHEN new.layernum = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    EXPECT_THROW(data.SaveProfile(1, data.ListLayers(LayerOrder::ById)), tables::EngineError);
    EXPECT_EQ(Count("pflays"), 0);

    // The last layer refuses to be hidden: the others stay as they were.
    Exec(QStringLiteral("CREATE TRIGGER show3 BEFORE UPDATE ON layer WHEN old.layernum = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    EXPECT_THROW(data.HideAllLayers(), tables::EngineError);
    EXPECT_EQ(Visib(0), VisibBold);
    EXPECT_EQ(Visib(2), VisibFaint);
}

TEST_F(LayersWindowTest, ManageLayersNeedsAnOpenDiagram)
{
    Core().CurrentDiagram = -1;
    EXPECT_FALSE(W().ManageLayers());
    EXPECT_EQ(prompts_.Texts(), QStringList({"No diagram open"}));
}

TEST_F(LayersWindowTest, MoveSegsOpensTheMoveDialogOnTheOpenDiagramsLayers)
{
    AddFourLayers();
    int comboItems = -1;
    WhenModal([&](QWidget*) {
        WhenModal([&](QWidget*) {
            comboItems = relayer_->ComboBox1->count();
            relayer_->Button2->click();
        });
        W().Movesegs1->trigger();
        W().Button3->click();
    });
    W().ShowLayers();
    EXPECT_EQ(comboItems, 4);
}

} // namespace
