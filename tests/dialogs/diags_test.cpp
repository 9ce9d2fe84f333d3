// The diagrams window and its routines on a real table store.

#include "dialogs/diags.h"
#include "dialogs/edition.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace
{

using Kind = ScriptedPrompts::Kind;

class DiagramsWindow : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        window_ = std::make_unique<TFDiags>(Core(), Core().MakeDiagramRows(), DefaultEdition());
    }

    QStringList Column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < window_->DBGrid1->rowCount(); ++r) {
            texts << window_->DBGrid1->item(r, c)->text();
        }
        return texts;
    }

    QStringList Titles() const
    {
        QStringList titles;
        for (int c = 0; c < window_->DBGrid1->columnCount(); ++c) {
            titles << window_->DBGrid1->horizontalHeaderItem(c)->text();
        }
        return titles;
    }

    QString Text(const QString& sql)
    {
        tables::Statement st(Core().Database1, tables::MapTableNames(sql));
        EXPECT_TRUE(st.Step()) << sql.toStdString();
        return st.Column(0).toString();
    }

    std::unique_ptr<TFDiags> window_;
};

TEST_F(DiagramsWindow, ListsByNumberOrByNameWithoutCase)
{
    NewDiagram(3, QStringLiteral("barn"));
    NewDiagram(2, QStringLiteral("Apple"));
    window_->ReloadDiagramList();
    EXPECT_EQ(Column(0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("\u2022 Id"), "Name", "Units"}));
    EXPECT_EQ(window_->SelectedDiagram(), 1);

    window_->Name1->trigger();
    EXPECT_EQ(Column(1), QStringList({"Apple", "barn", "Shed"}));
    EXPECT_EQ(Titles(), QStringList({"Id", QStringLiteral("\u2022 Name"), "Units"}));
    EXPECT_FALSE(window_->Num1->isChecked());

    // Chosen again, the item unchecks itself: number order, no mark.
    window_->Name1->trigger();
    EXPECT_EQ(Column(0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Titles(), QStringList({"Id", "Name", "Units"}));

    // Column titles act as the menu items.
    window_->DBGrid1->horizontalHeader()->sectionClicked(1);
    EXPECT_TRUE(window_->Name1->isChecked());
    EXPECT_EQ(Column(1), QStringList({"Apple", "barn", "Shed"}));
    window_->DBGrid1->horizontalHeader()->sectionClicked(0);
    EXPECT_TRUE(window_->Num1->isChecked());
    EXPECT_FALSE(window_->Name1->isChecked());
    EXPECT_EQ(Column(0), QStringList({"1", "2", "3"}));
}

TEST_F(DiagramsWindow, OpenButtonAndDoubleClickOpenTheRowCancelDoesNot)
{
    NewDiagram(2, QStringLiteral("Garden"), 1);
    WhenModal([this](QWidget*) {
        window_->DBGrid1->setCurrentCell(1, 1);
        window_->Button1->click();
    });
    EXPECT_TRUE(window_->ChooseDiagram());
    EXPECT_EQ(Core().CurrentDiagram, 2);
    EXPECT_EQ(Core().DiagramName, QStringLiteral("Garden"));
    EXPECT_EQ(Core().RoundingDP, 1);

    WhenModal([this](QWidget*) {
        window_->DBGrid1->setCurrentCell(1, 0);
        window_->Button2->click();
    });
    Core().OpenDiagram(1);
    EXPECT_FALSE(window_->ChooseDiagram());
    EXPECT_EQ(Core().CurrentDiagram, 1);

    WhenModal([this](QWidget*) {
        window_->DBGrid1->setCurrentCell(1, 0);
        window_->DBGrid1->cellDoubleClicked(1, 0);
    });
    EXPECT_TRUE(window_->ChooseDiagram());
    EXPECT_EQ(Core().CurrentDiagram, 2);
}

TEST_F(DiagramsWindow, OpenOnAnEmptyListKeepsTheOpenDiagram)
{
    Exec(QStringLiteral("DELETE FROM drawing"));
    WhenModal([this](QWidget*) { window_->Button1->click(); });
    EXPECT_TRUE(window_->ChooseDiagram());
    EXPECT_EQ(window_->DBGrid1->rowCount(), 0);
    EXPECT_EQ(Core().CurrentDiagram, 1);
}

TEST_F(DiagramsWindow, NewDiagramTakesHighestNumberPlusOneWithItsFirstLayer)
{
    NewDiagram(5, QStringLiteral("Later"));
    prompts_.Type(QStringLiteral("Garage")).Type(QStringLiteral("m")).Type(QStringLiteral("3"));
    ASSERT_TRUE(window_->NewDiagram());
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Diagram #6 name"), QStringLiteral("Enter units (eg mm)"),
                           QStringLiteral("Enter decimal places for rounding units")}));
    // The prompts start from the open diagram's units and decimals.
    EXPECT_EQ(prompts_.Log()[1].initial, QStringLiteral("mm"));
    EXPECT_EQ(prompts_.Log()[2].initial, QStringLiteral("2"));
    EXPECT_EQ(Core().CurrentDiagram, 6);
    EXPECT_EQ(Core().DiagramName, QStringLiteral("Garage"));
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("m"));
    EXPECT_EQ(Core().RoundingDP, 3);
    EXPECT_EQ(Core().LastSegNum, 0);
    EXPECT_EQ(Core().LastPointNum, -1);
    EXPECT_EQ(Text(QStringLiteral("SELECT Dgname FROM drawing WHERE Dgnum = 6")),
              QStringLiteral("Garage"));
    EXPECT_EQ(Text(QStringLiteral("SELECT Units FROM drawing WHERE Dgnum = 6")),
              QStringLiteral("m"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT RndgDP FROM drawing WHERE Dgnum = 6")), 3);
    EXPECT_EQ(Count(QStringLiteral("layer"),
                    QStringLiteral(
                        "Dgnum = 6 AND Layernum = 0 AND Name = 'Default layer' AND Visib = 2")),
              1);
    EXPECT_EQ(Column(0), QStringList({"1", "5", "6"}));

    // A later opening reads back what was written.
    ASSERT_TRUE(Core().OpenDiagram(1));
    ASSERT_TRUE(Core().OpenDiagram(6));
    EXPECT_EQ(Core().RoundingDP, 3);
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("m"));
}

TEST_F(DiagramsWindow, NewDiagramInAnEmptyStoreIsNumberOne)
{
    Exec(QStringLiteral("DELETE FROM drawing"));
    Exec(QStringLiteral("DELETE FROM layer"));
    prompts_.Type(QString()).Type(QStringLiteral("ft")).Type(QString());
    ASSERT_TRUE(window_->NewDiagram());
    EXPECT_EQ(prompts_.Texts().value(0), QStringLiteral("Diagram #1 name"));
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Core().RoundingDP, 0);
    EXPECT_EQ(Count(QStringLiteral("drawing")), 1);
    EXPECT_EQ(Count(QStringLiteral("layer")), 1);
}

TEST_F(DiagramsWindow, CancellingAnyPromptOfANewDiagramWritesNothing)
{
    prompts_.CancelInput();
    EXPECT_FALSE(window_->NewDiagram());
    prompts_.Type(QStringLiteral("Loft")).CancelInput();
    EXPECT_FALSE(window_->NewDiagram());
    prompts_.Type(QStringLiteral("Loft")).Type(QStringLiteral("cm")).CancelInput();
    EXPECT_FALSE(window_->NewDiagram());
    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(Count(QStringLiteral("drawing")), 1);
    EXPECT_EQ(Count(QStringLiteral("layer")), 1);
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("mm"));
    EXPECT_EQ(Core().RoundingDP, 2);
}

TEST_F(DiagramsWindow, TooLongTextsAndDecimalsOutOfRangeAreAskedAgain)
{
    const QString name41(41, QChar(u'\u00e9'));
    const QString name40(40, QChar(u'\u00e9'));
    prompts_.Type(name41).Type(name40);
    prompts_.Type(QString(21, 'u')).Type(QString(20, 'u'));
    prompts_.Type(QStringLiteral("16")).Type(QStringLiteral("-1"));
    // Texts that are not whole numbers are said to be so and asked again,
    // never taken as a cancel that drops the new diagram.
    for (const char* bad : {"abc", "1,5", " 5 ", "2147483648"})
        prompts_.Type(QString::fromLatin1(bad));
    prompts_.Type(QStringLiteral("15"));
    ASSERT_TRUE(window_->NewDiagram());
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList({QStringLiteral("A diagram's name may be at most 40 characters long"),
                           QStringLiteral("Units may be at most 20 characters long"),
                           QStringLiteral("Decimal places must be 0 to 15"),
                           QStringLiteral("Decimal places must be 0 to 15"),
                           QStringLiteral("Invalid integer \"abc\""),
                           QStringLiteral("Invalid integer \"1,5\""),
                           QStringLiteral("Invalid integer \" 5 \""),
                           QStringLiteral("Invalid integer \"2147483648\"")}));
    // The box asks again with what was typed.
    EXPECT_EQ(prompts_.Log()[2].initial, name41);
    EXPECT_EQ(Text(QStringLiteral("SELECT Dgname FROM drawing WHERE Dgnum = 2")), name40);
    EXPECT_EQ(Text(QStringLiteral("SELECT Units FROM drawing WHERE Dgnum = 2")), QString(20, 'u'));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT RndgDP FROM drawing WHERE Dgnum = 2")), 15);
}

TEST_F(DiagramsWindow, RenamingTheOpenDiagramChangesItsNameOthersDoNot)
{
    NewDiagram(2, QStringLiteral("Garden"));
    window_->ReloadDiagramList();
    window_->DBGrid1->setCurrentCell(1, 0);
    prompts_.Type(QStringLiteral("Orchard"));
    window_->Rename1->trigger();
    EXPECT_EQ(prompts_.Log()[0].text, QStringLiteral("Rename diagram"));
    EXPECT_EQ(prompts_.Log()[0].initial, QStringLiteral("Garden"));
    EXPECT_EQ(Text(QStringLiteral("SELECT Dgname FROM drawing WHERE Dgnum = 2")),
              QStringLiteral("Orchard"));
    EXPECT_EQ(Core().DiagramName, QStringLiteral("Shed"));
    EXPECT_EQ(Column(1), QStringList({"Shed", "Orchard"}));
    EXPECT_EQ(window_->DBGrid1->currentRow(), 0);

    window_->DBGrid1->setCurrentCell(0, 0);
    prompts_.Type(QStringLiteral("Workshop"));
    window_->Rename1->trigger();
    EXPECT_EQ(Core().DiagramName, QStringLiteral("Workshop"));

    prompts_.CancelInput();
    QString name = QStringLiteral("kept");
    EXPECT_FALSE(window_->RenameDiagram(1, name));
    EXPECT_EQ(name, QStringLiteral("kept"));
    EXPECT_FALSE(window_->RenameDiagram(9, name));
    EXPECT_FALSE(window_->RenameDiagram(0, name));
    EXPECT_TRUE(prompts_.AllAnswered());
}

TEST_F(DiagramsWindow, UnitsKeepTheirDecimalPlacesInTheStore)
{
    prompts_.Type(QStringLiteral("in")).Type(QStringLiteral("4"));
    ASSERT_TRUE(window_->EditDiagramUnits());
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("in"));
    EXPECT_EQ(Core().RoundingDP, 4);
    EXPECT_EQ(Core().FormatLength(1.5), QStringLiteral("1.5000"));
    ASSERT_TRUE(Core().OpenDiagram(1));
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("in"));
    EXPECT_EQ(Core().RoundingDP, 4);

    prompts_.Type(QStringLiteral("ft")).CancelInput();
    EXPECT_FALSE(window_->EditDiagramUnits());
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("in"));

    // With no diagram open nothing is asked: the user is told why.
    Core().CurrentDiagram = -1;
    prompts_.Clear();
    EXPECT_FALSE(window_->EditDiagramUnits());
    EXPECT_EQ(prompts_.Texts(), QStringList{"No diagram open"});
}

TEST_F(DiagramsWindow, RenameAndUnitsOfADiagramWhoseRowIsGoneSaySo)
{
    Exec(QStringLiteral("DELETE FROM drawing WHERE Dgnum = 1"));
    QString name = QStringLiteral("kept");
    EXPECT_FALSE(window_->RenameDiagram(1, name));
    EXPECT_EQ(name, QStringLiteral("kept"));
    EXPECT_FALSE(window_->EditDiagramUnits());
    EXPECT_EQ(Core().DiagramUnits, QStringLiteral("mm"));
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"Error : Diagram #1 not found", "Error : Diagram #1 not found"}));
}

} // namespace
