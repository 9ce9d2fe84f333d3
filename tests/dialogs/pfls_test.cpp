// The profiles window driven through ChooseProfile, with scripted answers,
// on a real table store.

#include "dialogs/edition.h"
#include "dialogs/pfls.h"
#include "store/profilesdata.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace
{

class ProfilesWindowTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        pfls_ = std::make_unique<TFpfls>(Core(), Core().MakeProfilesData(), DefaultEdition());
    }

    TFpfls& W() { return *pfls_; }

    void AddProfile(int32_t n, const QString& name, int32_t dgnum = 1)
    {
        Exec(QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (%1, %2, '%3')")
                 .arg(dgnum)
                 .arg(n)
                 .arg(name));
    }

    void AddVisibility(int32_t pflnum, int32_t layernum, int visib, int32_t dgnum = 1)
    {
        Exec(QStringLiteral("INSERT INTO pflays (Dgnum, Pflnum, Layernum, Visib) VALUES (%1, %2, "
                            "%3, %4)")
                 .arg(dgnum)
                 .arg(pflnum)
                 .arg(layernum)
                 .arg(visib));
    }

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
        return {W().DBGrid1->horizontalHeaderItem(0)->text(),
                W().DBGrid1->horizontalHeaderItem(1)->text()};
    }

    void Select(int32_t pflnum)
    {
        const int row = static_cast<int>(Column(0).indexOf(QString::number(pflnum)));
        ASSERT_GE(row, 0);
        W().DBGrid1->setCurrentCell(row, 1);
    }

    std::unique_ptr<TFpfls> pfls_;
};

TEST_F(ProfilesWindowTest, OrdersByIdThenByNameWithTheBulletOnTheOrderingColumn)
{
    AddProfile(2, QStringLiteral("Alpha"));
    AddProfile(1, QStringLiteral("Zulu"));
    AddProfile(3, QStringLiteral("Mike"));
    AddProfile(4, QStringLiteral("Other diagram"), 2);
    QStringList byId, byIdTitles, byName, byNameTitles;
    WhenModal([&](QWidget*) {
        byId = Column(0);
        byIdTitles = Titles();
        W().DBGrid1->horizontalHeader()->sectionClicked(1);
        byName = Column(1);
        byNameTitles = Titles();
        W().byId1->trigger();
        W().CancelBtn->click();
    });
    EXPECT_EQ(W().ChooseProfile(), 0);
    EXPECT_EQ(byId, QStringList({"1", "2", "3"}));
    EXPECT_EQ(byIdTitles, QStringList({"\u2022 Id", "Name"}));
    EXPECT_EQ(byName, QStringList({"Alpha", "Mike", "Zulu"}));
    EXPECT_EQ(byNameTitles, QStringList({"Id", "\u2022 Name"}));
}

TEST_F(ProfilesWindowTest, OkHandsBackTheSelectedProfileAndEveryOtherWayOutZero)
{
    AddProfile(1, QStringLiteral("Plan"));
    AddProfile(2, QStringLiteral("Section"));
    WhenModal([&](QWidget*) {
        Select(2);
        W().OKBtn->click();
    });
    EXPECT_EQ(W().ChooseProfile(), 2);
    EXPECT_EQ(W().SelectedProfile, 2);

    WhenModal([&](QWidget*) { W().DBGrid1->cellDoubleClicked(0, 0); });
    EXPECT_EQ(W().ChooseProfile(), 1);

    WhenModal([&](QWidget*) { W().Close1->trigger(); });
    EXPECT_EQ(W().ChooseProfile(), 0);
    WhenModal([&](QWidget*) { W().reject(); });
    EXPECT_EQ(W().ChooseProfile(), 0);
    WhenModal([&](QWidget*) { W().CancelBtn->click(); });
    EXPECT_EQ(W().ChooseProfile(), 0);
    EXPECT_EQ(W().SelectedProfile, 0);
}

TEST_F(ProfilesWindowTest, OkOnAnEmptyListHandsBackZero)
{
    WhenModal([&](QWidget*) { W().OKBtn->click(); });
    EXPECT_EQ(W().ChooseProfile(), 0);
}

TEST_F(ProfilesWindowTest, NewProfilesAreNumberedAfterTheHighestListed)
{
    AddProfile(5, QStringLiteral("Other diagram"), 2);
    prompts_.Type(QStringLiteral("Plan")).Type(QStringLiteral("Section")).CancelInput();
    int32_t selected = -1;
    WhenModal([&](QWidget*) {
        W().New1->trigger();
        W().New1->trigger();
        W().New1->trigger(); // cancelled
        selected = W().DBGrid1->currentRow();
        W().CancelBtn->click();
    });
    W().ChooseProfile();
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Profile #1 name", "Profile #2 name", "Profile #3 name"}));
    EXPECT_EQ(Count("pfl", "dgnum = 1 AND pflnum = 1 AND name = 'Plan'"), 1);
    EXPECT_EQ(Count("pfl", "dgnum = 1 AND pflnum = 2 AND name = 'Section'"), 1);
    EXPECT_EQ(Count("pfl", "dgnum = 1"), 2);
    EXPECT_EQ(selected, 0);
}

TEST_F(ProfilesWindowTest, RenameAndDeleteTouchOnlyTheOpenDiagramsProfile)
{
    AddProfile(1, QStringLiteral("Plan"));
    AddProfile(1, QStringLiteral("Plan"), 2);
    AddVisibility(1, 0, VisibFaint, 2);
    prompts_.Type(QStringLiteral("Ground floor")).Answer('N').Answer('Y');
    WhenModal([&](QWidget*) {
        W().Rename1->trigger();
        W().Delete1->trigger(); // declined
        W().Delete1->trigger();
        W().CancelBtn->click();
    });
    W().ChooseProfile();
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Rename profile", "Delete profile (the layers will remain) - OK?",
                           "Delete profile (the layers will remain) - OK?"}));
    EXPECT_EQ(prompts_.Log()[0].initial, "Plan");
    EXPECT_EQ(Count("pfl", "dgnum = 1"), 0);
    EXPECT_EQ(Count("pfl", "dgnum = 2 AND pflnum = 1 AND name = 'Plan'"), 1);
    EXPECT_EQ(Count("pflays", "dgnum = 2 AND pflnum = 1"), 1);
}

TEST_F(ProfilesWindowTest, RenameStoresTheNewName)
{
    AddProfile(1, QStringLiteral("Plan"));
    prompts_.Type(QStringLiteral("Ground floor"));
    QStringList names;
    WhenModal([&](QWidget*) {
        W().Rename1->trigger();
        names = Column(1);
        W().OKBtn->click();
    });
    EXPECT_EQ(W().ChooseProfile(), 1);
    EXPECT_EQ(names, QStringList({"Ground floor"}));
    EXPECT_EQ(Count("pfl", "dgnum = 1 AND name = 'Ground floor'"), 1);
}

TEST_F(ProfilesWindowTest, AProfileReusingADeletedNumberStartsWithoutItsVisibilities)
{
    AddLayer(1, QStringLiteral("walls"), VisibBold);
    AddProfile(1, QStringLiteral("Plan"));
    AddProfile(2, QStringLiteral("Section"));
    AddVisibility(2, 0, VisibFaint);
    AddVisibility(2, 1, VisibBold);
    prompts_.Answer('Y').Type(QStringLiteral("Roof"));
    WhenModal([&](QWidget*) {
        Select(2);
        W().Delete1->trigger();
        W().New1->trigger();
        Select(2);
        W().OKBtn->click();
    });
    ASSERT_EQ(W().ChooseProfile(), 2);
    EXPECT_EQ(prompts_.Texts()[1], "Profile #2 name");
    EXPECT_EQ(Count("pfl", "dgnum = 1 AND pflnum = 2 AND name = 'Roof'"), 1);
    EXPECT_EQ(Count("pflays", "dgnum = 1 AND pflnum = 2"), 0);

    // Applying the new profile hides every layer: it names none of them.
    Core().ApplyProfile(2);
    EXPECT_EQ(Count("layer", "dgnum = 1 AND visib <> 0"), 0);
}

TEST_F(ProfilesWindowTest, SwitchProfileAppliesTheChosenProfileAndMakesItCurrent)
{
    AddLayer(1, QStringLiteral("walls"), VisibBold);
    AddProfile(3, QStringLiteral("Plan"));
    AddVisibility(3, 0, VisibFaint);
    Core().CurrentProfile = 1;

    WhenModal([&](QWidget*) { W().CancelBtn->click(); });
    EXPECT_FALSE(W().SwitchProfile());
    EXPECT_EQ(Core().CurrentProfile, 1);
    EXPECT_EQ(Count("layer", "dgnum = 1 AND visib = 2"), 2);

    WhenModal([&](QWidget*) { W().OKBtn->click(); });
    EXPECT_TRUE(W().SwitchProfile());
    EXPECT_EQ(Core().CurrentProfile, 3);
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 0 AND visib = 1"), 1);
    EXPECT_EQ(Count("layer", "dgnum = 1 AND layernum = 1 AND visib = 0"), 1);
}

TEST_F(ProfilesWindowTest, NewAndSwitchNeedAnOpenDiagram)
{
    Core().CurrentDiagram = -1;
    EXPECT_FALSE(W().SwitchProfile());
    EXPECT_EQ(W().NewProfile(), 0);
    EXPECT_EQ(prompts_.Texts(), QStringList({"No diagram open", "No diagram open"}));
    EXPECT_EQ(Count("pfl"), 0);
}

} // namespace
