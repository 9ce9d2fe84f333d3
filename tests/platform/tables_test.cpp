#include "otherwriter.h"
#include "platform/tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <sqlite3.h>

using tables::Database;
using tables::EngineError;
using tables::Query;
using tables::Table;

namespace
{

// A store file with one point-like table and its pixel index, made with
// SQLite directly so the engine is tested against a file it did not write.
class TableEngineTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const QString file = QDir(dir_.path()).filePath(tables::DataFileName);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        const char* script =
            "CREATE TABLE point (Dgnum INTEGER NOT NULL, Pointnum INTEGER NOT NULL, Lenx REAL, "
            "Leny REAL, Pxlx INTEGER, Pxly INTEGER, PRIMARY KEY (Dgnum, Pointnum));"
            "CREATE INDEX pxlxy ON point (Dgnum, Pxlx, Pxly);"
            "INSERT INTO point VALUES (2, 5, 1.5, 2.5, 10, 20);"
            "INSERT INTO point VALUES (1, 3, 0.1, 0.2, 30, 5);"
            "INSERT INTO point VALUES (1, 1, 7.0, 8.0, 30, 5);"
            "INSERT INTO point VALUES (1, 2, 3.0, 4.0, 10, 90);";
        ASSERT_EQ(sqlite3_exec(db, script, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        db_.DatabaseName = "mydb";
        db_.DriverName = "STANDARD";
        db_.Params = QStringList{"PATH=" + dir_.path() + "/"};
        db_.Open();
    }

    Table PointTable(const QString& index = QString())
    {
        Table t;
        t.database = &db_;
        t.TableName = "\"point.db\"";
        t.IndexName = index;
        t.Open();
        return t;
    }

    std::vector<int> WalkForward(Table& t)
    {
        std::vector<int> nums;
        for (t.First(); !t.Eof(); t.Next()) {
            nums.push_back(t.FieldByName("pointnum").AsInteger());
        }
        return nums;
    }

    QTemporaryDir dir_;
    Database db_;
};

TEST(TableNames, FileStyleNamesMapToTablesOutsideLiterals)
{
    EXPECT_EQ(tables::MapTableNames("select * from seg.db where (dgnum = :dgnum)"),
              "select * from seg where (dgnum = :dgnum)");
    EXPECT_EQ(tables::MapTableNames("SELECT * FROM \"seg.db\" sg, \"POINT.DB\" p"),
              "SELECT * FROM seg sg, point p");
    EXPECT_EQ(tables::MapTableNames("delete from pflays.DB where x='a.db seg.db'"),
              "delete from pflays where x='a.db seg.db'");
    EXPECT_EQ(tables::MapTableNames("update text.db set text='it''s text.db'"),
              "update text set text='it''s text.db'");
    EXPECT_EQ(tables::PlainTableName("drawing.DB"), "drawing");
    EXPECT_EQ(tables::PlainTableName("\"pfl.db\""), "pfl");
}

TEST(TableNames, ParameterNamesSkipLiteralsAndRepeats)
{
    EXPECT_EQ(tables::ParameterNames("where a = :x and b = :Y or c = :x and d = ':z'"),
              (QStringList{"x", "Y"}));
}

TEST_F(TableEngineTest, TablesWalkInKeyOrderBothWays)
{
    Table t = PointTable();
    EXPECT_EQ(WalkForward(t), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("Pointnum").AsInteger(), 5); // stays on the last row
    std::vector<int> back;
    for (t.Last(); !t.Bof(); t.Prior()) {
        back.push_back(t.FieldByName("Pointnum").AsInteger());
    }
    EXPECT_EQ(back, (std::vector<int>{5, 3, 2, 1}));
    EXPECT_EQ(t.RecordCount(), 4);
}

TEST_F(TableEngineTest, IndexOrderBreaksTiesByPrimaryKey)
{
    Table t = PointTable("pxlxy");
    // (1,10,90) then (1,30,5) twice, tied and ordered by point number.
    EXPECT_EQ(WalkForward(t), (std::vector<int>{2, 1, 3, 5}));
    ASSERT_TRUE(t.FindKey({1, 30, 5}));
    EXPECT_EQ(t.FieldByName("Pointnum").AsInteger(), 1);
    t.Next();
    EXPECT_EQ(t.FieldByName("Pointnum").AsInteger(), 3);
    EXPECT_FALSE(t.FindKey({1, 30, 6}));
}

TEST_F(TableEngineTest, KeyLookupEditPostAndExactReals)
{
    Table t = PointTable();
    ASSERT_TRUE(t.FindKey({1, 3}));
    EXPECT_EQ(t.FieldByName("Lenx").AsFloat(), 0.1);
    t.Edit();
    t.FieldByName("Lenx").SetFloat(0.1 + 0.2);
    t.FieldByName("Pxlx").SetInteger(99);
    t.Post();
    Table again = PointTable();
    ASSERT_TRUE(again.FindKey({1, 3}));
    EXPECT_EQ(again.FieldByName("Lenx").AsFloat(), 0.1 + 0.2);
    EXPECT_EQ(again.FieldByName("Pxlx").AsInteger(), 99);
    EXPECT_FALSE(again.FindKey({1, 4}));
}

TEST_F(TableEngineTest, InsertTakesItsPlaceByKeyAndDeleteMovesOn)
{
    Table t = PointTable();
    t.Insert();
    t.FieldByName("Dgnum").SetInteger(1);
    t.FieldByName("Pointnum").SetInteger(0);
    t.FieldByName("Lenx").SetFloat(-4.25);
    t.Post();
    EXPECT_EQ(WalkForward(t), (std::vector<int>{0, 1, 2, 3, 5}));
    ASSERT_TRUE(t.FindKey({1, 2}));
    t.Delete();
    EXPECT_EQ(t.FieldByName("Pointnum").AsInteger(), 3);
    EXPECT_EQ(WalkForward(t), (std::vector<int>{0, 1, 3, 5}));
    t.Last();
    t.Delete();
    EXPECT_EQ(t.FieldByName("Pointnum").AsInteger(), 3);
}

TEST_F(TableEngineTest, DuplicateKeyIsAnEngineError)
{
    Table t = PointTable();
    t.Insert();
    t.FieldByName("Dgnum").SetInteger(1);
    t.FieldByName("Pointnum").SetInteger(1);
    try {
        t.Post();
        FAIL() << "duplicate key accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
}

TEST_F(TableEngineTest, TablesSeeChangesMadeThroughQueries)
{
    Table t = PointTable();
    Query q;
    q.database = &db_;
    q.SetSQL("delete from point.db where pointnum = :n");
    q.ParamByName("n").SetInteger(2);
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    EXPECT_EQ(WalkForward(t), (std::vector<int>{1, 3, 5}));
}

TEST_F(TableEngineTest, QueriesBindRepeatedNamesAndWalkTheirRows)
{
    Query q;
    q.database = &db_;
    q.SetSQL("SELECT * from \"point.db\" where (dgnum = :d) and (pxlx = :p or pxly = :p)\n"
             "order by pointnum");
    q.ParamByName("d").SetInteger(1);
    q.ParamByName("P").SetInteger(5);
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("pointnum").AsInteger(), 1);
    q.Next();
    EXPECT_EQ(q.FieldByName("pointnum").AsInteger(), 3);
    q.Next();
    EXPECT_TRUE(q.Eof());
    q.Last();
    EXPECT_EQ(q.FieldByName("pointnum").AsInteger(), 3);
    EXPECT_THROW(q.ParamByName("nosuch"), EngineError);
    EXPECT_THROW(q.FieldByName("nosuch"), EngineError);
}

TEST_F(TableEngineTest, TransactionsRollBackUnlessCommitted)
{
    Query q;
    q.database = &db_;
    {
        tables::Transaction t(db_);
        q.SetSQL("delete from point.db");
        q.ExecSQL();
        {
            tables::Transaction inner(db_);
            q.SetSQL("insert into point.db (dgnum, pointnum) values (9, 9)");
            q.ExecSQL();
            inner.Commit();
        }
    }
    Table t = PointTable();
    EXPECT_EQ(t.RecordCount(), 4);
    {
        tables::Transaction t2(db_);
        q.SetSQL("delete from point.db where dgnum = 2");
        q.ExecSQL();
        t2.Commit();
    }
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(db_.TransactionDepth(), 0);
}

TEST_F(TableEngineTest, MissingTableFileOrFolderFailsToOpen)
{
    Table t;
    t.database = &db_;
    t.TableName = "seg.db";
    EXPECT_THROW(t.Open(), EngineError);

    Table idx;
    idx.database = &db_;
    idx.TableName = "point.db";
    idx.IndexName = "nosuch";
    EXPECT_THROW(idx.Open(), EngineError);

    QTemporaryDir empty;
    Database other;
    other.Params = QStringList{"PATH=" + empty.path()};
    EXPECT_THROW(other.Open(), EngineError);
    EXPECT_FALSE(QDir(empty.path()).exists(tables::DataFileName)); // never created
    other.Params = QStringList{"PATH=" + empty.path() + "/nosuch"};
    EXPECT_THROW(other.Open(), EngineError);
}

// What another program writes and holds in the tests of waiting for it.
const char* const Change = "INSERT INTO point VALUES (7, 7, 0, 0, 0, 0)";

TEST_F(TableEngineTest, AWaitForAnotherProgramsLockIsAnnouncedAndItsEndToo)
{
    std::vector<bool> calls;
    OtherWriter other(db_.FilePath(), Change);
    ASSERT_TRUE(other.Holds());
    // The other program finishes while this one waits: the write goes on.
    db_.LockWait = [&](bool waiting) {
        calls.push_back(waiting);
        if (waiting)
            other.LetGo();
    };
    db_.Execute("insert into point.db (dgnum, pointnum) values (9, 9)");
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    Table t = PointTable();
    EXPECT_TRUE(t.FindKey({9, 9}));
    EXPECT_FALSE(t.FindKey({7, 7}));

    // A statement that needs no lock waits for nothing.
    calls.clear();
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_TRUE(calls.empty());
}

TEST_F(TableEngineTest, ALockHeldThroughTheWaitFailsAsBusyAndEndsTheWait)
{
    std::vector<bool> calls;
    db_.LockWait = [&](bool waiting) { calls.push_back(waiting); };
    OtherWriter other(db_.FilePath(), Change);
    ASSERT_TRUE(other.Holds());
    try {
        tables::Transaction t(db_);
        ADD_FAILURE() << "began a write while another program held the lock";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.Code(), SQLITE_BUSY) << e.what();
    }
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(db_.TransactionDepth(), 0);
    other.LetGo();
    tables::Transaction t(db_);
    t.Commit();
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(TableEngineTest, AFileWithoutARequiredTableIsRefusedWithACodeOfItsOwn)
{
    Database other;
    other.Params = db_.Params;
    other.RequiredTables = QStringList{"point", "seg"};
    try {
        other.Open();
        ADD_FAILURE() << "opened a file without the table seg";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.Code(), tables::MissingTableCode);
        EXPECT_EQ(std::string(e.what()), "no such table: seg in " + db_.FilePath().toStdString());
    }
    EXPECT_FALSE(other.Connected());
}

TEST_F(TableEngineTest, SqlErrorsCarryTheEngineText)
{
    Query q;
    q.database = &db_;
    q.SetSQL("select nosuchcolumn from point.db");
    try {
        q.Open();
        FAIL() << "bad SQL accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("nosuchcolumn"), std::string::npos) << e.what();
    }
}

TEST_F(TableEngineTest, EmptyTableIsAtBothEnds)
{
    Query q;
    q.database = &db_;
    q.SetSQL("delete from point.db");
    q.ExecSQL();
    Table t = PointTable();
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_FALSE(t.FindKey({1}));
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_THROW(t.Edit(), EngineError);
}

TEST_F(TableEngineTest, TypedColumnReadsAgreeWithTheFieldsConversions)
{
    tables::Statement st(db_, "SELECT 7, -2.75, 2.75, '12', 'true', ' 1 ', 'x', NULL, 0.25, "
                              "3000000000");
    ASSERT_TRUE(st.Step());
    for (int i = 0; i < st.ColumnCount(); ++i) {
        SCOPED_TRACE(i);
        const tables::Field f(QString(), st.Column(i));
        EXPECT_EQ(st.ColumnIsNull(i), f.IsNull());
        EXPECT_EQ(st.ColumnInt(i), f.AsInteger());
        EXPECT_EQ(st.ColumnDouble(i), f.AsFloat());
        EXPECT_EQ(st.ColumnBool(i), f.AsBoolean());
        EXPECT_EQ(st.ColumnText(i), f.AsString());
        EXPECT_EQ(st.ColumnInt64(i), f.Value.toLongLong());
    }
    EXPECT_EQ(st.ColumnInt64(9), 3000000000LL);
    EXPECT_EQ(st.ColumnInt(1), -2);
    EXPECT_TRUE(st.ColumnBool(4));
}

TEST_F(TableEngineTest, ColumnNumberTakesNoTextForANumber)
{
    db_.Execute(QStringLiteral("CREATE TABLE lengths (len REAL)"));
    db_.Execute(QStringLiteral(
        "INSERT INTO lengths VALUES (2.5), (-3), (NULL), (' 1.5 '), ('1,5'), ('abc'), (x'00')"));
    tables::Statement st(db_, "SELECT len FROM lengths ORDER BY rowid");
    std::vector<double> read;
    while (st.Step())
        read.push_back(st.ColumnNumber(0));
    // A column of reals takes " 1.5 " as 1.5; "1,5", "abc" and a blob stay
    // what they are, and are no number.
    ASSERT_EQ(read.size(), 7u);
    EXPECT_EQ(read[0], 2.5);
    EXPECT_EQ(read[1], -3);
    EXPECT_EQ(read[2], 0);
    EXPECT_EQ(read[3], 1.5);
    for (size_t i = 4; i < 7; ++i)
        EXPECT_TRUE(std::isnan(read[i])) << i;
}

TEST_F(TableEngineTest, TheConnectionIsSetUpForPassesOverWholeDiagrams)
{
    tables::Statement cache(db_, "PRAGMA cache_size");
    ASSERT_TRUE(cache.Step());
    EXPECT_EQ(cache.ColumnInt64(0), -64 * 1024); // 64 MiB, taken as pages are read
    tables::Statement mapped(db_, "PRAGMA mmap_size");
    ASSERT_TRUE(mapped.Step());
    EXPECT_EQ(mapped.ColumnInt64(0), 256LL * 1024 * 1024);
    tables::Statement journal(db_, "PRAGMA journal_mode");
    ASSERT_TRUE(journal.Step());
    EXPECT_EQ(journal.ColumnText(0), QStringLiteral("wal"));
}

TEST_F(TableEngineTest, AScanReadsTheRowsATableWalksInTheSameOrder)
{
    for (const QString& index : {QString(), QStringLiteral("pxlxy")}) {
        Table t = PointTable(index);
        tables::TableScan scan(t);
        std::vector<int> scanned;
        for (scan.First(); !scan.Eof(); scan.Next()) {
            scanned.push_back(scan.FieldByName("Pointnum").AsInteger());
            EXPECT_EQ(scan.FieldByName("Lenx").Value.typeId(), QMetaType::Double);
        }
        EXPECT_EQ(scanned, WalkForward(t)) << index.toStdString();
        EXPECT_THROW(scan.Prior(), EngineError);
    }
}

} // namespace

namespace
{

// A sound file made with SQLite directly: a table of rows and an index.
QString MakeStoreFile(const QString& folder)
{
    const QString file = QDir(folder).filePath("copy.sqlite");
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; CREATE TABLE point (n INTEGER, t TEXT); "
                 "CREATE INDEX pn ON point (t); CREATE TABLE seg (n INTEGER);"
                 "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
                 "INSERT INTO point SELECT i, hex(randomblob(20)) FROM c;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
}

QByteArray Bytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CheckStoreFile, SoundFileIsOkAndNeitherItNorItsFolderIsTouched)
{
    QTemporaryDir dir;
    const QString file = MakeStoreFile(dir.path());
    const QByteArray before = Bytes(file);
    EXPECT_EQ(tables::CheckStoreFile(file, {"point", "SEG"}), "ok");
    EXPECT_EQ(Bytes(file), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"copy.sqlite"});
}

TEST(CheckStoreFile, MissingTableEmptyGarbledOrDamagedFilesAreNotOk)
{
    QTemporaryDir dir;
    const QString file = MakeStoreFile(dir.path());
    EXPECT_EQ(tables::CheckStoreFile(file, {"point", "text"}), "table text is missing");

    QFile empty(dir.filePath("empty.sqlite"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(tables::CheckStoreFile(empty.fileName(), {"point"}), "table point is missing");

    QFile garbled(dir.filePath("garbled.sqlite"));
    ASSERT_TRUE(garbled.open(QIODevice::WriteOnly));
    garbled.write(QByteArray(8192, 'x'));
    garbled.close();
    EXPECT_EQ(tables::CheckStoreFile(garbled.fileName(), {"point"}), "file is not a database");

    EXPECT_NE(tables::CheckStoreFile(dir.filePath("none.sqlite"), {}), "ok");

    // Pages of rows overwritten in the middle of the file.
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    ASSERT_GT(damaged.size(), 40000);
    damaged.seek(5 * 4096 + 100);
    damaged.write(QByteArray(3000, '\x7f'));
    damaged.close();
    EXPECT_NE(tables::CheckStoreFile(file, {"point"}), "ok");
}
