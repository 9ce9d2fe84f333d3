// The second program's windows on its Firebird store: a layer deleted after
// one question with the points nothing else uses, profiles of the open
// diagram alone, the diagrams list with its decimals, a segment deleted from
// its details after one question, notes through the database, and the
// health check that has nothing to check.

#include "dialogs/diags.h"
#include "dialogs/forms.h"
#include "dialogs/hchk.h"
#include "dialogs/layers.h"
#include "dialogs/notes.h"
#include "dialogs/pfls.h"
#include "dialogs/segdets.h"
#include "programs/fbedition.h"
#include "store/healthcheck.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace
{

using Kind = ScriptedPrompts::Kind;

class FirebirdWindows : public StoreOn<FirebirdStoreFixture>
{
  protected:
    void SetUp() override
    {
        StoreOn<FirebirdStoreFixture>::SetUp();
        forms_.Program = &edition_;
        forms_.Fcore = &Core();
        pfls_ = std::make_unique<TFpfls>(Core(), Core().MakeProfilesData(), edition_);
        forms_.Fpfls = pfls_.get();
        layers_ = std::make_unique<TFLayers>(Core(), Core().MakeLayersData(), forms_);
        forms_.FLayers = layers_.get();
    }

    // The row of the grid whose first cell reads text; -1 when none does.
    static int RowOf(const QTableWidget& grid, const QString& text)
    {
        for (int r = 0; r < grid.rowCount(); ++r)
            if (grid.item(r, 0) && grid.item(r, 0)->text() == text)
                return r;
        return -1;
    }

    static QStringList Cells(const QTableWidget& grid, int column)
    {
        QStringList cells;
        for (int r = 0; r < grid.rowCount(); ++r)
            cells << grid.item(r, column)->text();
        return cells;
    }

    Edition edition_ = FirebirdEdition();
    Forms forms_;
    std::unique_ptr<TFpfls> pfls_;
    std::unique_ptr<TFLayers> layers_;
};

TEST_F(FirebirdWindows, ALayerGoesAfterOneQuestionWithThePointsNothingElseUses)
{
    AddLayer(1, QStringLiteral("Fence"), VisibBold);
    AddLayer(2, QStringLiteral("Path"), VisibBold);
    const TSegRec post = StoreSeg(0, 0, 10, 0, 1);
    const TSegRec rail = StoreSeg(10, 0, 10, 10, 1);
    // The path starts on the fence's corner point, and the gate's label
    // stands on the fence's first point.
    const TSegRec path = StoreSeg(10, 10, 20, 10, 2);
    ASSERT_EQ(path.FromPoint.Pointnum, rail.ToPoint.Pointnum);
    Core().AddText(post.FromPoint, QStringLiteral("Gate"), 2);

    const auto deleteFence = [this] {
        WhenModal([this](QWidget*) {
            layers_->DBGrid1->setCurrentCell(RowOf(*layers_->DBGrid1, QStringLiteral("1")), 1);
            layers_->Delete1->trigger();
            layers_->Button2->click();
        });
        return layers_->ShowLayers();
    };
    prompts_.Answer('N');
    deleteFence();
    EXPECT_EQ(Count(QStringLiteral("seg")), 3);
    EXPECT_EQ(Count(QStringLiteral("layer"), QStringLiteral("layernum = 1")), 1);

    prompts_.Clear();
    prompts_.Answer('Y');
    EXPECT_TRUE(deleteFence());
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Delete layer & all segments in - are you sure ?")});
    EXPECT_EQ(Count(QStringLiteral("layer"), QStringLiteral("layernum = 1")), 0);
    EXPECT_EQ(Count(QStringLiteral("seg"), QStringLiteral("layernum = 1")), 0);
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    // Only the point that nothing left uses has gone.
    const auto pointThere = [this](int32_t n) {
        TPointRec p;
        return Core().LoadPoint(n, p);
    };
    EXPECT_FALSE(pointThere(post.ToPoint.Pointnum));
    EXPECT_TRUE(pointThere(post.FromPoint.Pointnum));
    EXPECT_TRUE(pointThere(path.FromPoint.Pointnum));
    EXPECT_TRUE(pointThere(path.ToPoint.Pointnum));
    TTextRec label;
    EXPECT_TRUE(Core().LoadTextAtPoint(post.FromPoint.Pointnum, label));
    // The whole deletion is in the database as the command ends.
    EXPECT_EQ(CountElsewhere(QStringLiteral("select count(*) from point")), 3);
    EXPECT_EQ(CountElsewhere(QStringLiteral("select count(*) from layer where layernum = 1")), 0);
    EXPECT_EQ(layers_->DBGrid1->rowCount(), 2);
}

TEST_F(FirebirdWindows, ALayersPointsGoWhateverLayerTheyCarryAndOneStoredAgainTakesLayerZero)
{
    AddLayer(4, QStringLiteral("Temp"), VisibBold);
    // As the measured dialog stores a chain: its points on layer 0, its
    // segments on the current layer.
    const auto chainSegment = [this](Extended x1, Extended y1, Extended x2, Extended y2) {
        TSegRec s = Seg(x1, y1, x2, y2);
        s.Layernum = 4;
        Core().InsertSegment(s);
        return s;
    };
    const TSegRec first = chainSegment(0, 0, -1, 0);
    const TSegRec second = chainSegment(-1, 0, -1, 5);
    const TSegRec wall = StoreSeg(0, 0, 0, 7); // layer 0 shares the chain's start
    TPointRec loose = Pt(9, 9, 4);             // carries the layer, nothing uses it
    Core().InsertPoint(loose);

    prompts_.Answer('Y');
    WhenModal([this](QWidget*) {
        layers_->DBGrid1->setCurrentCell(RowOf(*layers_->DBGrid1, QStringLiteral("4")), 1);
        layers_->Delete1->trigger();
        layers_->Button2->click();
    });
    EXPECT_TRUE(layers_->ShowLayers());
    const auto pointThere = [this](int32_t n) {
        TPointRec p;
        return Core().LoadPoint(n, p);
    };
    EXPECT_FALSE(pointThere(first.ToPoint.Pointnum));
    EXPECT_FALSE(pointThere(second.ToPoint.Pointnum));
    EXPECT_FALSE(pointThere(loose.Pointnum));
    EXPECT_TRUE(pointThere(first.FromPoint.Pointnum));
    EXPECT_TRUE(pointThere(wall.ToPoint.Pointnum));
    // Nothing is found where the chain turned any more.
    TPointRec turn = Pt(-1, 0);
    EXPECT_FALSE(Core().FindPointAtLength(turn));

    // A cursor still on the chain's end, carrying the deleted layer's
    // number, stores it again as a new point on layer 0.
    TPointRec cursor = second.ToPoint;
    cursor.Layernum = 4;
    Core().EnsurePointStored(cursor);
    TPointRec again;
    ASSERT_TRUE(Core().LoadPoint(cursor.Pointnum, again));
    EXPECT_EQ(again.Layernum, 0);
    EXPECT_EQ(again.Lenx, -1);
    EXPECT_EQ(again.Leny, 5);
}

TEST_F(FirebirdWindows, ProfilesAreRenamedAndDeletedInTheOpenDiagramAlone)
{
    NewDiagram(2, QStringLiteral("Barn"));
    AddProfile(1, QStringLiteral("Plan"));
    AddProfile(1, QStringLiteral("Elevation"), 2);
    prompts_.Type(QStringLiteral("Site plan")).Answer('Y');
    WhenModal([this](QWidget*) {
        pfls_->Rename1->trigger();
        pfls_->Delete1->trigger();
        pfls_->CancelBtn->click();
    });
    EXPECT_EQ(pfls_->ChooseProfile(), 0);
    EXPECT_EQ(prompts_.Texts(Kind::Question),
              QStringList{QStringLiteral("Delete profile #1 (the layers will remain) - OK?")});
    EXPECT_EQ(Count(QStringLiteral("pfl"), QStringLiteral("dgnum = 1")), 0);
    EXPECT_EQ(Count(QStringLiteral("pfl"), QStringLiteral("dgnum = 2 and pflname = 'Elevation'")),
              1);
}

TEST_F(FirebirdWindows, TheDiagramsListShowsDecimalsAndChangesAtOnce)
{
    NewDiagram(2, QStringLiteral("Barn"), 3);
    TFDiags diags(Core(), Core().MakeDiagramRows(), edition_);
    diags.ReloadDiagramList();
    QStringList titles;
    for (int c = 0; c < diags.DBGrid1->columnCount(); ++c)
        titles << diags.DBGrid1->horizontalHeaderItem(c)->text();
    EXPECT_EQ(titles, QStringList({QStringLiteral("\u2022 Id"), "Name", "UNITS", "RNDGDP"}));
    EXPECT_EQ(Cells(*diags.DBGrid1, 3), QStringList({"2", "3"}));

    // A rename shows in the list at once and is in the database already.
    diags.DBGrid1->setCurrentCell(1, 0);
    prompts_.Type(QStringLiteral("Old barn"));
    diags.Rename1->trigger();
    EXPECT_EQ(Cells(*diags.DBGrid1, 1), QStringList({"Shed", "Old barn"}));
    EXPECT_EQ(CountElsewhere(QStringLiteral("select count(*) from drawing where dgname = 'Old "
                                            "barn'")),
              1);
}

TEST_F(FirebirdWindows, RenameAndUnitsOfADiagramWhoseRowIsGoneSaySo)
{
    TFDiags diags(Core(), Core().MakeDiagramRows(), edition_);
    Exec(QStringLiteral("delete from drawing where dgnum = 1"));
    QString name;
    EXPECT_FALSE(diags.RenameDiagram(1, name));
    EXPECT_FALSE(diags.EditDiagramUnits());
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Error : Diagram #1 not found", "Error : Diagram #1 not found"}));
    // With no diagram open the units are not asked for either.
    prompts_.Clear();
    Core().CloseDiagram();
    EXPECT_FALSE(diags.EditDiagramUnits());
    EXPECT_EQ(prompts_.Texts(), QStringList{"No diagram open"});
}

TEST_F(FirebirdWindows, ASegmentWithAnOldMeasuredLengthGoesFromItsDetailsAfterOneQuestion)
{
    TSegRec seg = StoreSeg(0, 0, 30, 40);
    Exec(QStringLiteral("update seg set seglen = 50 where segnum = %1").arg(seg.Segnum));
    TFSegdets segdets(Core(), forms_);
    prompts_.Answer('Y');
    WhenModal([&segdets](QWidget*) { segdets.Delete1->trigger(); });
    EXPECT_TRUE(segdets.EditSegment(seg, -1));
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Delete segment #%1 - are you sure?").arg(seg.Segnum)});
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 2);
}

class FirebirdNotes : public FirebirdWindows
{
  protected:
    void SetUp() override
    {
        FirebirdWindows::SetUp();
        notes_ = std::make_unique<TFnotes>(Core());
    }

    // Runs the action inside the notes window once it is up; whether it
    // came up at all.
    bool WhileShown(void (TFnotes::*entry)(), const std::function<void(TFnotes&)>& action)
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != notes_.get() || !notes_->isVisible())
                return;
            poll.stop();
            shown = true;
            action(*notes_);
            if (notes_->isVisible()) {
                notes_->NotesChanged = false;
                notes_->close();
            }
        });
        poll.start();
        ((*notes_).*entry)();
        return shown;
    }

    std::unique_ptr<TFnotes> notes_;
};

TEST_F(FirebirdNotes, NotesWithQuotesAreStoredAndReadBackUnchanged)
{
    EXPECT_FALSE(WhileShown(&TFnotes::ShowDiagramNotesIfAny, [](TFnotes&) {}));
    const QString notes = QStringLiteral("O'Hara's gate: 'keep shut'\n\"new\" post");
    EXPECT_TRUE(WhileShown(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        w.Memo1->insertPlainText(notes);
        prompts_.Answer('Y');
        w.close();
    }));
    QString read;
    ASSERT_TRUE(Core().LoadDiagramNotes(1, read));
    EXPECT_EQ(read, notes);
    QString shown;
    EXPECT_TRUE(WhileShown(&TFnotes::ShowDiagramNotesIfAny,
                           [&](TFnotes& w) { shown = w.Memo1->toPlainText(); }));
    EXPECT_EQ(shown, notes);
}

TEST_F(FirebirdWindows, TheHealthCheckWindowStaysEmptyAndTouchesNothing)
{
    StoreSeg(0, 0, 10, 0);
    // A point nothing uses: the first program would report it.
    Exec(QStringLiteral("insert into point (dgnum, pointnum, lenx, leny) values (1, 9, 4, 4)"));
    TFhchk window(Core().MakeHealthCheck(), [] { return 4; });
    const long long before = Changes();
    window.ShowHealthCheck();
    window.Recheck1->trigger();
    window.Repair1->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(prompts_.Log().empty());
    EXPECT_FALSE(QFileInfo::exists(dir_.path() + QStringLiteral("/Pre-repair backups")));
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(Count(QStringLiteral("point")), 3);
}

} // namespace
