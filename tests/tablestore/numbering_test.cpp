// New points and segments of a diagram whose next numbers another program
// took in the store file while this one had it open.

#include "queryplans.h"
#include "store/storefixture.h"

#include <sqlite3.h>

namespace
{

class Numbering : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        // Diagram 1 as the program has it open: points 0 to 3, segments 0
        // to 3.
        TSegRec rectangle = Seg(0, 0, 4, 3, 0, SegRectangle);
        Core().AddSegment(rectangle);
        ASSERT_EQ(Core().LastPointNum, 3);
        ASSERT_EQ(Core().LastSegNum, 3);
        prompts_.Clear();
    }

    // Another program (as the sqlite3 client) writes to the store file on a
    // connection of its own.
    void WriteElsewhere(const QString& sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(Core().Database1.FilePath().toUtf8().constData(), &db,
                                  SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    // Its point at (x, 0) and a segment to it from point 2.
    void AddElsewhere(int32_t dgnum, int32_t pointnum, int32_t segnum, double x)
    {
        WriteElsewhere(QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Layernum) "
                                      "VALUES (%1, %2, %4, 0, 0);"
                                      "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, "
                                      "Layernum) VALUES (%1, %3, 2, %2, 2, 0);")
                           .arg(dgnum)
                           .arg(pointnum)
                           .arg(segnum)
                           .arg(x));
    }

    QString PointAt(int32_t pointnum)
    {
        return QStringLiteral("%1,%2")
            .arg(Scalar(QStringLiteral("SELECT Lenx FROM point WHERE Pointnum = %1").arg(pointnum)))
            .arg(
                Scalar(QStringLiteral("SELECT Leny FROM point WHERE Pointnum = %1").arg(pointnum)));
    }
};

TEST_F(Numbering, NumbersAnotherProgramTookAreSkipped)
{
    AddElsewhere(1, 4, 4, 10);
    AddElsewhere(1, 9, 7, 20);   // its numbers need not follow on
    AddElsewhere(2, 50, 50, 30); // nor does another diagram count

    // The measured segment from point 1 is stored, under the numbers after
    // the diagram's highest.
    TSegRec s = StoreSeg(4, 3, 6, 3);
    EXPECT_EQ(s.FromPoint.Pointnum, 1);
    EXPECT_EQ(s.ToPoint.Pointnum, 10);
    EXPECT_EQ(s.Segnum, 8);
    EXPECT_EQ(PointAt(10), QStringLiteral("6,3"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ToPt FROM seg WHERE Segnum = 8")), 10);
    EXPECT_EQ(prompts_.Flashes(), QStringList{QStringLiteral("Seg 8 inserted OK")});
    // The other program's rows are as it wrote them.
    EXPECT_EQ(PointAt(4), QStringLiteral("10,0"));
    EXPECT_EQ(PointAt(9), QStringLiteral("20,0"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ToPt FROM seg WHERE Segnum = 4")), 4);
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("Dgnum = 1")), 7);
    EXPECT_EQ(Count(QStringLiteral("seg"), QStringLiteral("Dgnum = 1")), 7);

    // And on from there.
    EXPECT_EQ(Core().LastPointNum, 10);
    EXPECT_EQ(Core().LastSegNum, 8);
    TSegRec next = StoreSeg(6, 3, 6, 5);
    EXPECT_EQ(next.ToPoint.Pointnum, 11);
    EXPECT_EQ(next.Segnum, 9);
}

TEST_F(Numbering, APointStoredAloneTakesTheNextFreeNumberAndAChosenNumberStaysRefused)
{
    AddElsewhere(1, 4, 4, 10);
    TPointRec p = Pt(7, 7);
    Core().InsertPoint(p);
    EXPECT_EQ(p.Pointnum, 5);
    EXPECT_EQ(PointAt(5), QStringLiteral("7,7"));

    // A point that comes with its number is stored under it or not at all.
    TPointRec numbered = Pt(8, 8);
    numbered.Pointnum = 4;
    EXPECT_THROW(Core().InsertPoint(numbered), std::runtime_error);
    EXPECT_EQ(numbered.Pointnum, 4);
    EXPECT_EQ(PointAt(4), QStringLiteral("10,0"));
    EXPECT_EQ(Core().LastPointNum, 5);
}

TEST_F(Numbering, ASegmentThatFailsAfterRenumberingLeavesTheNumbersRight)
{
    AddElsewhere(1, 4, 4, 10);
    // The engine refuses the renumbered segment for a reason of its own.
    Refuse(QStringLiteral("INSERT"), QStringLiteral("seg"), QStringLiteral("NEW.Segnum = 5"));
    TSegRec s = Seg(4, 3, 6, 3);
    EXPECT_THROW(Core().InsertSegment(s), std::runtime_error);
    // Nothing of it is kept, and the numbers are those of the diagram's
    // opening again: the next command looks for free ones again.
    EXPECT_EQ(Count(QStringLiteral("point")), 5);
    EXPECT_EQ(Count(QStringLiteral("seg")), 5);
    EXPECT_EQ(Core().LastPointNum, 3);
    EXPECT_EQ(Core().LastSegNum, 3);
    EXPECT_TRUE(prompts_.Flashes().isEmpty());

    Exec(QStringLiteral("DROP TRIGGER refuse"));
    TSegRec again = StoreSeg(4, 3, 6, 3);
    EXPECT_EQ(again.ToPoint.Pointnum, 5);
    EXPECT_EQ(again.Segnum, 5);
}

TEST_F(Numbering, TheStoredHighestIsLookedUpOnlyWhenTheNumberIsTakenAndByTheKey)
{
    PlanRecorder recorder(Core().Database1.Handle());
    StoreSeg(4, 3, 6, 3);
    const auto lookups = [&] {
        QStringList found;
        for (const QString& sql : recorder.Statements())
            if (sql.contains(QLatin1String("max(")))
                found << sql;
        return found;
    };
    EXPECT_EQ(lookups(), QStringList());

    AddElsewhere(1, 5, 5, 10);
    recorder.Clear();
    StoreSeg(6, 3, 6, 5);
    const QStringList taken = lookups();
    EXPECT_EQ(taken.size(), 2); // points, then segments
    for (const QString& sql : taken)
        EXPECT_FALSE(recorder.WalkingStatements().contains(sql))
            << sql.toStdString() << "\n"
            << recorder.Plan(sql).join('\n').toStdString();
    EXPECT_EQ(recorder.Runs().at(taken.front()), 1);
}

} // namespace
