#include "library/busy.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace
{

Qt::CursorShape ProgramCursor()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

class BusyTest : public ::testing::Test
{
  protected:
    void SetUp() override { EndAllBusy(); }
    void TearDown() override { EndAllBusy(); }
};

TEST_F(BusyTest, NestedSections_KeepTheHourglassUntilTheOutermostEnds)
{
    BeginBusy();
    BeginBusy();
    EndBusy();
    EXPECT_EQ(BusyCount(), 1);
    EXPECT_EQ(ProgramCursor(), Qt::WaitCursor);
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EndBusy(); // one too many changes nothing
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BusyTest, EndAllBusy_EndsEveryLevel)
{
    BeginBusy();
    BeginBusy();
    BeginBusy();
    EndAllBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BusyTest, SectionsInACall_ShowTheHourglassWithoutRunningEvents)
{
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    BeginBusyInCall();
    EXPECT_EQ(ProgramCursor(), Qt::WaitCursor);
    EndBusyInCall();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EndBusyInCall(); // one too many changes nothing
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_FALSE(ran);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

TEST_F(BusyTest, SectionInACallInsideAnOrdinaryOne_KeepsItsHourglass)
{
    BusyGuard outer;
    BeginBusyInCall();
    EXPECT_EQ(BusyCount(), 2);
    EndBusyInCall();
    EXPECT_EQ(BusyCount(), 1);
    EXPECT_EQ(ProgramCursor(), Qt::WaitCursor);
}

TEST_F(BusyTest, Guard_EndsItsSectionWhenAnExceptionLeavesIt)
{
    BusyGuard outer;
    try {
        BusyGuard inner;
        EXPECT_EQ(BusyCount(), 2);
        throw std::runtime_error("disk full");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(BusyCount(), 1);
    EXPECT_EQ(ProgramCursor(), Qt::WaitCursor);
}

TEST_F(BusyTest, ScreenCursor_IsOneSettingNotAStack)
{
    SetScreenCursor(Qt::DragMoveCursor);
    SetScreenCursor(Qt::WaitCursor);
    EXPECT_EQ(ScreenCursor(), Qt::WaitCursor);
    SetScreenCursor(Qt::ArrowCursor);
    EXPECT_EQ(ScreenCursor(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
