// The table store's faults during a command, in the user's words: another
// program holding the store in a write, a full disk, a damaged file.

#include "failingdisk.h"
#include "library/busy.h"
#include "otherwriter.h"
#include "store/storefixture.h"
#include "tablestore/tablefaults.h"

#include <QFileInfo>
#include <stdexcept>

namespace
{

// What another program writes and holds in the tests of waiting for it.
const char* const Change =
    "INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (1, 7, 'held', 2)";

class TableFaultsTest : public StoreTest
{
  protected:
    QString File() const { return core_->Database1.FilePath(); }

    // The text of the fault a call ends with; empty when it ended well.
    template <typename F> QString FaultOf(F call)
    {
        try {
            call();
        } catch (const TableFault& fault) {
            return QString::fromUtf8(fault.what());
        } catch (const std::exception& other) {
            ADD_FAILURE() << "not put in words: " << other.what();
        }
        return QString();
    }

    long long Rows() { return Count("point") + Count("seg") + Count("layer"); }
};

TEST_F(TableFaultsTest, AStoreHeldByAnotherProgram_StoresNothingSaysWhoAndShowsTheWait)
{
    StoreSeg(0, 0, 10, 0);
    const long long rows = Rows();
    OtherWriter other(File(), Change);
    ASSERT_TRUE(other.Holds());
    // What the program shows while the statement waits for the lock.
    std::vector<std::pair<Qt::CursorShape, int>> shown;
    const auto showWait = core_->Database1.LockWait;
    core_->Database1.LockWait = [&](bool waiting) {
        showWait(waiting);
        shown.emplace_back(ScreenCursor(), BusyCount());
    };

    TSegRec seg = Seg(10, 0, 10, 5);
    const QString fault = FaultOf([&] { core_->AddSegment(seg); });
    EXPECT_EQ(fault, "Nothing of this change was stored in the table store \"" + File() +
                         "\": another program is writing to it and holds it locked (another "
                         "scalora started from this folder, or a tool such as the sqlite3 "
                         "client in the middle of a change). Close that program, or let it "
                         "finish its change, then try again.\ndatabase is locked");
    EXPECT_EQ(shown, (std::vector<std::pair<Qt::CursorShape, int>>{{Qt::WaitCursor, 1},
                                                                   {Qt::ArrowCursor, 0}}));
    EXPECT_EQ(core_->LastPointNum, 1);
    EXPECT_EQ(core_->LastSegNum, 0);

    // Once the other program has let go, nothing of the failed entry is
    // there and the same entry is stored whole.
    other.LetGo();
    EXPECT_EQ(Rows(), rows);
    seg = Seg(10, 0, 10, 5);
    core_->AddSegment(seg);
    EXPECT_EQ(seg.Segnum, 1);
    EXPECT_EQ(seg.ToPoint.Pointnum, 2);
    EXPECT_EQ(Rows(), rows + 2);
}

TEST_F(TableFaultsTest, AFullDisk_StoresNothingOfTheChangeAndTheStoreGoesOnAfterwards)
{
    StoreSeg(0, 0, 10, 0);
    const long long rows = Rows();
    FailingDisk disk(File() + "-wal");
    disk.Fail();
    TSegRec seg = Seg(10, 0, 10, 5);
    const QString fault = FaultOf([&] { core_->AddSegment(seg); });
    EXPECT_GT(disk.Refused(), 0);
    EXPECT_EQ(fault, "Nothing of this change was stored in the table store \"" + File() +
                         "\": the disk that holds it is full. Make room on that disk, then try "
                         "again.\ndatabase or disk is full");
    // A redraw's writes say what they were for.
    const QString redraw = FaultOf([&] {
        const Store::RefreshScope refreshing(*core_);
        core_->WriteGroup([&] { Exec("UPDATE point SET Rprts = 1"); });
    });
    EXPECT_TRUE(redraw.startsWith("The sheet could not be redrawn from the table store \"" +
                                  File() + "\": the disk that holds it is full."))
        << redraw.toStdString();
    disk.Heal();

    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(CountElsewhere("SELECT count(*) FROM seg"), 1);
    seg = Seg(10, 0, 10, 5);
    core_->AddSegment(seg);
    EXPECT_EQ(seg.Segnum, 1);
    EXPECT_EQ(CountElsewhere("SELECT count(*) FROM seg"), 2);
    EXPECT_EQ(CountElsewhere("SELECT count(*) FROM point"), 3);
}

TEST_F(TableFaultsTest, FaultsThatReachTheErrorBoxRawAreWordedThere)
{
    // A damaged page met by a read, outside any group of writes.
    const tables::EngineError damaged("database disk image is malformed", SQLITE_CORRUPT);
    const QString program = QFileInfo(dir_.path()).absoluteFilePath();
    EXPECT_EQ(core_->FaultText(damaged),
              "Cannot use the table store \"" + File() +
                  "\": the file is damaged. Put back a sound copy of it while the program is "
                  "closed: your own backup, or the newest \"tables.sqlite\" under \"" +
                  program +
                  "/Pre-repair backups/\", copied there before each repair.\n"
                  "database disk image is malformed");
    // Words already chosen, other errors and faults nobody can act on keep
    // their own text.
    const TableFault worded("Nothing of this change was stored", SQLITE_FULL);
    EXPECT_EQ(core_->FaultText(worded), "Nothing of this change was stored");
    EXPECT_EQ(core_->FaultText(std::runtime_error("No diagram")), "No diagram");
    EXPECT_EQ(core_->FaultText(tables::EngineError("UNIQUE constraint failed", SQLITE_CONSTRAINT)),
              "UNIQUE constraint failed");
}

} // namespace
