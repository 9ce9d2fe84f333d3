#include "library/combovalues.h"
#include "library/controls.h"
#include "library/qorvlib.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <gtest/gtest.h>

namespace
{

TEST(ComboValues, ItemsCarryTheirNumbers)
{
    QComboBox combo;
    EXPECT_EQ(ComboSelectedValue(combo), -1);
    AddComboValue(combo, "Default layer", 0);
    AddComboValue(combo, "Walls", 7);
    AddComboValue(combo, "Doors", 7);
    AddComboValue(combo, "Roof", -3);
    EXPECT_EQ(ComboValueAt(combo, 1), 7);
    EXPECT_EQ(ComboValueAt(combo, 3), -3);
    EXPECT_EQ(ComboValueAt(combo, -1), -1);
    EXPECT_EQ(ComboValueAt(combo, 4), -1);

    combo.setCurrentIndex(-1);
    EXPECT_EQ(ComboSelectedValue(combo), -1);
    EXPECT_TRUE(SelectComboValue(combo, 7));
    EXPECT_EQ(combo.currentIndex(), 1); // the first of two items with 7
    EXPECT_EQ(ComboSelectedValue(combo), 7);
    EXPECT_FALSE(SelectComboValue(combo, 99));
    EXPECT_EQ(combo.currentIndex(), 1);
}

TEST(ComboValues, ClearLeavesAnEmptyList)
{
    QComboBox combo;
    ClearComboValues(combo);
    EXPECT_EQ(combo.count(), 0);
    AddComboValue(combo, "a", 1);
    AddComboValue(combo, "b", 2);
    ClearComboValues(combo);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(ComboSelectedValue(combo), -1);
}

class EnableTest : public ::testing::Test
{
  protected:
    void SetUp() override { SetSavedColour(Qt::white); }
    void TearDown() override { SetSavedColour(Qt::white); }
};

TEST_F(EnableTest, EnableEdit_DisablingTwiceKeepsTheFirstColour)
{
    QLineEdit edit;
    SetControlColour(edit, QColor(255, 255, 0));
    const QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);

    EnableEdit(edit, false);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_EQ(SavedColour(), QColor(255, 255, 0));
    EXPECT_EQ(ControlColour(edit), buttonFace);
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Base), buttonFace);

    EnableEdit(edit, false);
    EXPECT_EQ(SavedColour(), QColor(255, 255, 0));

    EnableEdit(edit, true);
    EXPECT_TRUE(edit.isEnabled());
    EXPECT_EQ(ControlColour(edit), QColor(255, 255, 0));
}

TEST_F(EnableTest, EnableGrey_PaintsSilverAndLeavesTheSavedColour)
{
    QComboBox combo;
    SetSavedColour(QColor(10, 20, 30));
    EnableGrey(combo, false);
    EXPECT_FALSE(combo.isEnabled());
    EXPECT_EQ(ControlColour(combo), QColor(192, 192, 192));
    EXPECT_EQ(SavedColour(), QColor(10, 20, 30));
    EnableGrey(combo, true);
    EXPECT_TRUE(combo.isEnabled());
    EXPECT_EQ(ControlColour(combo), QColor(10, 20, 30));
}

TEST(Placement, NearMouse_OnePixelOffAndPulledInside)
{
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(NearMousePlace(QPoint(10, 20), QSize(100, 50), screen), QPoint(11, 21));
    // The form's bottom-right corner meets the screen's.
    EXPECT_EQ(NearMousePlace(QPoint(799, 599), QSize(100, 50), screen), QPoint(700, 550));
    EXPECT_EQ(NearMousePlace(QPoint(400, 599), QSize(100, 50), screen), QPoint(401, 550));
    // A form larger than the screen goes to its top-left corner.
    EXPECT_EQ(NearMousePlace(QPoint(300, 300), QSize(900, 700), screen), QPoint(0, 0));
    EXPECT_EQ(NearMousePlace(QPoint(1900, 500), QSize(100, 50), QRect(800, 0, 1200, 900)),
              QPoint(1900, 501));
}

TEST(Placement, ShowNearMouse_PlacesARealWindow)
{
    QWidget form;
    form.resize(100, 50);
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    QCursor::setPos(screen.right(), screen.bottom());
    ShowNearMouse(form);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.frameGeometry().bottomRight(), screen.bottomRight());
}

TEST(LibraryStart, SetsTheDefaults)
{
    SetPadChar(' ');
    SetSavedColour(Qt::red);
    SetMsgCaption("Notepad");
    BeginBusy();
    InitLibrary();
    EXPECT_EQ(PadChar(), QChar('0'));
    EXPECT_EQ(SavedColour(), QColor(Qt::white));
    EXPECT_EQ(MsgCaption(), "");
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(LibraryStart, GeneralDateTextsAreYearFirstWithDashes)
{
    InitLibrary();
    EXPECT_EQ(DateToStr(QDate(2002, 9, 1)), "2002-09-01");
    EXPECT_EQ(DateToStr(QDate(987, 12, 31)), "0987-12-31");
    EXPECT_EQ(DateTimeToStr(QDateTime(QDate(2002, 9, 1), QTime(0, 0))), "2002-09-01");
    EXPECT_EQ(DateTimeToStr(QDateTime(QDate(2002, 9, 1), QTime(14, 30, 5))), "2002-09-01 14:30:05");
}

} // namespace
