#include "platform/ibase.h"

#include <ibase.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "failingdisk.h"
#include "firebirdenv.h"

#include <memory>

namespace
{

class IbaseTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString DbPath() const { return dir_.filePath(QStringLiteral("test.fdb")); }

    ibase::Connection CreateWithTable()
    {
        ibase::Connection c = ibase::Connection::Create(DbPath());
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral(
            "create table item ( id integer not null primary key, big bigint, small smallint,"
            " price numeric(9,2), len double precision, name varchar(40), units char(20),"
            " ts timestamp, notes blob sub_type text )"));
        t.Commit();
        return c;
    }

    static int CountRows(ibase::Connection& c)
    {
        ibase::Transaction t(c);
        ibase::Statement q(t, QStringLiteral("select count(*) as ct from item"));
        q.Execute();
        EXPECT_TRUE(q.Fetch());
        return q.Column(QStringLiteral("ct")).AsInt();
    }

    QTemporaryDir dir_;
};

QString LongText()
{
    // Longer than one blob segment, with letters of two and three bytes.
    QString text;
    for (int i = 0; text.size() < 50000; ++i)
        text += QStringLiteral("line %1: Ærøskøbing – ½ mm;\n").arg(i);
    return text;
}

TEST_F(IbaseTest, InsertWithParameters_ReadsBackEveryType)
{
    ibase::Connection c = CreateWithTable();
    const ibase::Timestamp ts{2002, 9, 1, 14, 30, 5, 1234};
    const QString name = QStringLiteral("O'Hara – Ærø ünï");
    const QString notes = LongText();
    {
        ibase::Transaction t(c);
        ibase::Statement ins(
            t,
            QStringLiteral("insert into item (id, big, small, price, len, name, units, ts, notes)"
                           " values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        ASSERT_EQ(ins.ParamCount(), 9);
        ins.SetParam(0, 1);
        ins.SetParam(1, qint64(9000000000LL));
        ins.SetParam(2, -7);
        ins.SetParam(3, 12.34);
        ins.SetParam(4, -0.125);
        ins.SetParam(5, name);
        ins.SetParam(6, QStringLiteral("µm"));
        ins.SetParam(7, ts);
        ins.SetParam(8, notes);
        ins.Execute();
        for (int i = 1; i < 9; ++i)
            ins.SetParam(i, ibase::Value::Null());
        ins.SetParam(0, 2);
        ins.Execute();
        t.Commit();
    }
    ibase::Transaction t(c);
    ibase::Statement q(t, QStringLiteral("select * from item order by id"));
    ASSERT_TRUE(q.ReturnsRows());
    ASSERT_EQ(q.ColumnCount(), 9);
    EXPECT_EQ(q.ColumnName(5), QStringLiteral("NAME"));
    q.Execute();

    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(QStringLiteral("id")).AsInt(), 1);
    EXPECT_EQ(q.Column(QStringLiteral("big")).AsInt64(), 9000000000LL);
    EXPECT_EQ(q.Column(QStringLiteral("small")).AsInt(), -7);
    EXPECT_DOUBLE_EQ(q.Column(QStringLiteral("price")).AsDouble(), 12.34);
    EXPECT_EQ(q.Column(QStringLiteral("len")).AsDouble(), -0.125);
    EXPECT_EQ(q.Column(QStringLiteral("name")).AsText(), name);
    // Fixed-width text comes back padded to its width in characters.
    EXPECT_EQ(q.Column(QStringLiteral("units")).AsText(),
              QStringLiteral("µm") + QString(18, QLatin1Char(' ')));
    EXPECT_EQ(q.Column(QStringLiteral("ts")).AsTimestamp(), ts);
    EXPECT_EQ(q.Column(QStringLiteral("notes")).AsText(), notes);

    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsInt(), 2);
    for (int i = 1; i < 9; ++i)
        EXPECT_TRUE(q.Column(i).IsNull()) << i;
    EXPECT_EQ(q.Column(QStringLiteral("len")).AsDouble(), 0.0);
    EXPECT_EQ(q.Column(QStringLiteral("name")).AsText(), QString());
    EXPECT_FALSE(q.Fetch());
    EXPECT_THROW(q.Column(0), ibase::Error);
}

TEST_F(IbaseTest, TypedColumnReadsGiveWhatTheValuesGive)
{
    ibase::Connection c = CreateWithTable();
    {
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral(
            "insert into item (id, big, small, price, len, name, ts) values (1, -9000000000, "
            "-7, 12.35, -0.125, '42', '1858-11-16 23:59:59.9999')"));
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (2)"));
        t.Commit();
    }
    ibase::Transaction t(c);
    ibase::Statement q(t, QStringLiteral("select id, big, small, price, len, name, ts, notes from "
                                         "item order by id"));
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.ColumnInt(0), 1);
    EXPECT_THROW(q.ColumnInt(1), ibase::Error); // beyond 32 bits, as AsInt says
    EXPECT_EQ(q.ColumnDouble(1), -9000000000.0);
    EXPECT_EQ(q.ColumnInt(2), -7);
    EXPECT_EQ(q.ColumnInt(3), q.Column(3).AsInt()); // a scaled number rounds
    EXPECT_EQ(q.ColumnDouble(3), q.Column(3).AsDouble());
    EXPECT_EQ(q.ColumnDouble(4), -0.125);
    EXPECT_EQ(q.ColumnInt(5), 42); // a text holding a number
    int32_t day = 0;
    uint32_t time = 0;
    ASSERT_TRUE(q.ColumnDayAndTime(6, day, time));
    EXPECT_EQ(day, -1);
    EXPECT_EQ(time, 863999999u);
    EXPECT_THROW(q.ColumnDayAndTime(0, day, time), ibase::Error);
    EXPECT_THROW(q.ColumnInt(8), ibase::Error);

    // NULL reads as 0, and a Value asked for after a typed read is the same.
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.ColumnInt(2), 0);
    EXPECT_EQ(q.ColumnDouble(4), 0.0);
    EXPECT_FALSE(q.ColumnDayAndTime(6, day, time));
    EXPECT_TRUE(q.Column(6).IsNull());
    EXPECT_EQ(q.Column(0).AsInt(), 2);
    EXPECT_FALSE(q.Fetch());
    EXPECT_THROW(q.ColumnInt(0), ibase::Error);
}

TEST_F(IbaseTest, ExecuteImmediate_TextLiteralsWithApostropheAndFraction)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral("insert into item (id, name, units, ts)"
                                      " values (5, 'it''s Ærø', 'm', '1752-09-14 23:59:59.9999')"));
    ibase::Statement q(t, QStringLiteral("select name, units, ts from item where id = 5"));
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsText(), QStringLiteral("it's Ærø"));
    EXPECT_EQ(q.Column(1).AsText().size(), 20);
    EXPECT_EQ(q.Column(2).AsTimestamp(), (ibase::Timestamp{1752, 9, 14, 23, 59, 59, 9999}));
    EXPECT_EQ(q.Column(2).AsText(), QStringLiteral("1752-09-14 23:59:59.9999"));
}

// A database whose texts have no character set, as the programs of old
// made theirs: made by the engine's own call, since the wrapper makes UTF-8
// databases only.
void CreateDatabaseWithoutCharacterSet(const QString& path)
{
    const QByteArray sql =
        QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' DEFAULT CHARACTER SET NONE")
            .arg(path)
            .toUtf8();
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr);
    ASSERT_FALSE(status[0] == 1 && status[1] != 0) << "cannot create " << path.toStdString();
    isc_detach_database(status, &db);
}

TEST_F(IbaseTest, TextsWithoutCharacterSet_ReadAsWindows1252UnlessTheyAreUtf8AndWrittenAsUtf8)
{
    CreateDatabaseWithoutCharacterSet(DbPath());
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    {
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral("create table item ( id integer not null primary key,"
                                          " name varchar(40), units char(20),"
                                          " notes blob sub_type text )"));
        t.Commit();
    }
    ibase::Transaction t(c);
    // Bytes of the Windows code page: "Ørsted", "µm", "Café – 5 €".
    t.ExecuteImmediate(QStringLiteral("insert into item values (1, x'D87273746564', x'B56D',"
                                      " x'436166E9209620352080')"));
    ibase::Statement ins(t, QStringLiteral("insert into item values (?, ?, ?, ?)"));
    ins.SetParam(0, 2);
    ins.SetParam(1, QStringLiteral("Ørsted"));
    ins.SetParam(2, QStringLiteral("µm"));
    ins.SetParam(3, QStringLiteral("Café – 5 €"));
    ins.Execute();

    ibase::Statement q(t, QStringLiteral("select name, units, notes, octet_length(name) from item "
                                         "order by id"));
    q.Execute();
    for (int id = 1; id <= 2; ++id) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(q.Fetch());
        EXPECT_EQ(q.Column(0).AsText(), QStringLiteral("Ørsted"));
        // Fixed width counts bytes here: "µm" in UTF-8 leaves room for one
        // blank less.
        EXPECT_EQ(q.Column(1).AsText(), QStringLiteral("µm").leftJustified(20 - (id - 1)));
        EXPECT_EQ(q.Column(2).AsText(), QStringLiteral("Café – 5 €"));
        // What this program writes is UTF-8: "Ø" takes two bytes.
        EXPECT_EQ(q.Column(3).AsInt(), 6 + id - 1);
    }
    EXPECT_FALSE(q.Fetch());
}

TEST_F(IbaseTest, NamedParameters_OneNameAtSeveralPlaces)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral("insert into item (id, big, small) values (1, 10, 20)"));
    t.ExecuteImmediate(QStringLiteral("insert into item (id, big, small) values (2, 20, 10)"));
    t.ExecuteImmediate(QStringLiteral("insert into item (id, big, small) values (3, 30, 30)"));
    // A colon inside a string or a comment is not a placeholder.
    ibase::Statement q(t, QStringLiteral("select id, ':x' as tag from item /* :y */"
                                         " where (big = :x) or (small = :X) -- :z\n"
                                         " order by id"));
    ASSERT_EQ(q.ParamCount(), 2);
    q.SetParam(QStringLiteral("x"), 10);
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsInt(), 1);
    EXPECT_EQ(q.Column(QStringLiteral("TAG")).AsText(), QStringLiteral(":x"));
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsInt(), 2);
    EXPECT_FALSE(q.Fetch());
    EXPECT_THROW(q.SetParam(QStringLiteral("y"), 1), ibase::Error);

    // Executing again with a new value reopens the result set.
    q.SetParam(QStringLiteral(":x"), 30);
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsInt(), 3);
}

TEST_F(IbaseTest, MissingParameterValue_IsAnErrorNotNull)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    ibase::Statement ins(t, QStringLiteral("insert into item (id, name) values (?, ?)"));
    ins.SetParam(0, 1);
    EXPECT_THROW(ins.Execute(), ibase::Error);
    EXPECT_THROW(ins.SetParam(2, 1), ibase::Error);
    t.Commit();
    EXPECT_EQ(CountRows(c), 0);
}

TEST_F(IbaseTest, MaxAndCount_OnEmptyTableReadAsZero)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    ibase::Statement mx(t, QStringLiteral("select max(id) as mx from item"));
    mx.Execute();
    ASSERT_TRUE(mx.Fetch());
    EXPECT_TRUE(mx.Column(QStringLiteral("mx")).IsNull());
    EXPECT_EQ(mx.Column(QStringLiteral("mx")).AsInt(), 0);
    EXPECT_FALSE(mx.Fetch());
    EXPECT_THROW(mx.Column(QStringLiteral("nosuch")), ibase::Error);

    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (41)"));
    mx.Execute();
    ASSERT_TRUE(mx.Fetch());
    EXPECT_EQ(mx.Column(QStringLiteral("MX")).AsInt(), 41);
}

TEST_F(IbaseTest, InsertReturning_DeliversItsOneRow)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    ibase::Statement ins(
        t,
        QStringLiteral("insert into item (id, big) values (?, ?) returning id, big * 2 as twice"));
    ASSERT_TRUE(ins.ReturnsRows());
    ins.SetParam(0, 8);
    ins.SetParam(1, 21);
    ins.Execute();
    ASSERT_TRUE(ins.Fetch());
    EXPECT_EQ(ins.Column(QStringLiteral("twice")).AsInt(), 42);
    EXPECT_FALSE(ins.Fetch());
}

TEST_F(IbaseTest, CommitKeepsAndRollbackDropsAfterReattaching)
{
    {
        ibase::Connection c = CreateWithTable();
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
        t.Rollback();
        EXPECT_FALSE(t.IsActive());
        t.Start();
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (2)"));
        t.Commit();
        t.Start();
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (3)"));
        // Left open: the transaction object rolls it back when it goes.
    }
    {
        ibase::Connection c = ibase::Connection::Attach(DbPath());
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (4)"));
        // Connection goes first here: it must roll back and still detach.
        c.Detach();
        EXPECT_FALSE(c.IsAttached());
        EXPECT_FALSE(t.IsActive());
        EXPECT_THROW(t.Start(), ibase::Error);
    }
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    ibase::Statement q(t, QStringLiteral("select id from item order by id"));
    q.Execute();
    std::vector<int> ids;
    while (q.Fetch())
        ids.push_back(q.Column(0).AsInt());
    EXPECT_EQ(ids, std::vector<int>{2});
}

TEST_F(IbaseTest, WorkWhoseUndoFailed_IsNeverCommittedAndUndoneAtTheNextUse)
{
    ibase::Connection c = CreateWithTable();
    FailingDisk disk(DbPath());
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
    t.Commit();
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (2)"));
    // The disk fails: neither the commit nor the undo reach it, and the
    // engine keeps the transaction open with row 2 in it.
    disk.Fail();
    EXPECT_THROW(t.Commit(), ibase::Error);
    EXPECT_THROW(t.Rollback(), ibase::Error);
    EXPECT_TRUE(t.UndoPending());
    // While the disk fails, nothing more runs in it.
    EXPECT_THROW(t.ExecuteImmediate(QStringLiteral("insert into item (id) values (3)")),
                 ibase::Error);
    EXPECT_THROW(ibase::Statement(t, QStringLiteral("select count(*) from item")), ibase::Error);
    EXPECT_TRUE(t.UndoPending());
    EXPECT_GT(disk.Refused(), 0);

    // Once it works again, the next statement undoes row 2 first and runs
    // in a transaction of its own.
    disk.Heal();
    ibase::Statement count(t, QStringLiteral("select count(*) from item"));
    EXPECT_FALSE(t.UndoPending());
    count.Execute();
    ASSERT_TRUE(count.Fetch());
    EXPECT_EQ(count.Column(0).AsInt(), 1);
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (2)"));
    t.Commit();
    EXPECT_EQ(CountRows(c), 2);

    // A commit of work whose undo failed undoes it.
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (5)"));
    disk.Fail();
    EXPECT_THROW(t.Commit(), ibase::Error);
    EXPECT_THROW(t.Rollback(), ibase::Error);
    disk.Heal();
    t.Commit();
    EXPECT_FALSE(t.IsActive());
    c.Detach();
    c = ibase::Connection::Attach(DbPath());
    EXPECT_EQ(CountRows(c), 2);
}

TEST_F(IbaseTest, ConnectionDestroyedWithOpenWork_ReleasesTheFile)
{
    auto c = std::make_unique<ibase::Connection>(CreateWithTable());
    auto t = std::make_unique<ibase::Transaction>(*c);
    auto q = std::make_unique<ibase::Statement>(*t, QStringLiteral("select id from item"));
    t->ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
    q->Execute();
    c.reset();
    // Objects that outlived their connection refuse work instead of crashing.
    EXPECT_THROW(q->Execute(), ibase::Error);
    EXPECT_THROW(t->Commit(), ibase::Error);
    q.reset();
    t.reset();
    ibase::Connection again = ibase::Connection::Attach(DbPath());
    EXPECT_EQ(CountRows(again), 0);
}

TEST_F(IbaseTest, ResultSetEndsWithItsTransaction)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (2)"));
    ibase::Statement q(t, QStringLiteral("select id from item order by id"));
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    t.Commit();
    t.Start();
    EXPECT_THROW(q.Fetch(), ibase::Error);
    // The prepared statement runs again in the restarted transaction.
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsInt(), 1);
    q.Close();
    EXPECT_FALSE(q.Fetch());
}

TEST_F(IbaseTest, ConflictBetweenTwoTransactionsIsAnError)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction first(c);
    ibase::Transaction second(c);
    first.ExecuteImmediate(QStringLiteral("insert into item (id, name) values (1, 'first')"));
    EXPECT_THROW(
        second.ExecuteImmediate(QStringLiteral("insert into item (id, name) values (1, 'second')")),
        ibase::Error);
    first.Commit();
    second.Rollback();
    EXPECT_EQ(CountRows(c), 1);
}

TEST_F(IbaseTest, SqlErrorsCarryTheEnginesText)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    try {
        ibase::Statement q(t, QStringLiteral("select * from nosuchtable"));
        FAIL() << "prepared a statement on a missing table";
    } catch (const ibase::Error& e) {
        EXPECT_TRUE(e.Text().contains(QStringLiteral("Table unknown"))) << e.what();
        EXPECT_TRUE(e.Text().contains(QStringLiteral("NOSUCHTABLE"))) << e.what();
        EXPECT_EQ(e.SqlCode(), -204);
    }
    t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
    try {
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
        FAIL() << "duplicate key accepted";
    } catch (const ibase::Error& e) {
        EXPECT_TRUE(e.Text().contains(QStringLiteral("PRIMARY or UNIQUE KEY"))) << e.what();
    }
    // The transaction survives a failed statement.
    t.Commit();
    EXPECT_EQ(CountRows(c), 1);
}

TEST_F(IbaseTest, BadPathsAndExistingFilesAreRefused)
{
    EXPECT_THROW(ibase::Connection::Attach(dir_.filePath(QStringLiteral("missing.fdb"))),
                 ibase::Error);
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("missing.fdb"))));
    EXPECT_THROW(ibase::Connection::Create(dir_.filePath(QStringLiteral("a:b.fdb"))), ibase::Error);
    EXPECT_THROW(ibase::Connection::Create(QString()), ibase::Error);

    {
        ibase::Connection c = CreateWithTable();
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral("insert into item (id) values (1)"));
        t.Commit();
    }
    // Creating over an existing database must not wipe it.
    EXPECT_THROW(ibase::Connection::Create(DbPath()), ibase::Error);
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    EXPECT_EQ(CountRows(c), 1);
}

// What the reading connection has purged itself: the old versions of
// rows it found no transaction needs any more.
int PurgedByThisConnection(ibase::Connection& c)
{
    ibase::Transaction t(c);
    ibase::Statement q(t, QStringLiteral("select r.mon$record_purges + r.mon$record_expunges "
                                         "from mon$attachments a join mon$record_stats r on "
                                         "r.mon$stat_id = a.mon$stat_id where "
                                         "a.mon$attachment_id = current_connection"));
    q.Execute();
    EXPECT_TRUE(q.Fetch());
    return q.ColumnInt(0);
}

TEST_F(IbaseTest, AReaderClearsTheOldVersionsOfRowsItReadsItself)
{
    // Left to the engine's collector thread, every row read after a
    // rewrite of the table wakes that thread, which costs the read many
    // times its own work; the reader clears them itself instead.
    {
        ibase::Connection c = CreateWithTable();
        ibase::Transaction t(c);
        t.ExecuteImmediate(QStringLiteral("execute block as declare i integer = 0; begin "
                                          "while (i < 500) do begin insert into item (id, big) "
                                          "values (:i, 0); i = i + 1; end end"));
        t.Commit();
    }
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral("update item set big = big + 1"));
    t.Commit();
    const int before = PurgedByThisConnection(c);
    t.Start();
    ibase::Statement q(t, QStringLiteral("select count(*) from item where big = 1"));
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.ColumnInt(0), 500);
    t.Commit();
    EXPECT_GE(PurgedByThisConnection(c) - before, 500);
}

TEST_F(IbaseTest, InvalidTimestampIsRefusedBeforeWriting)
{
    ibase::Connection c = CreateWithTable();
    ibase::Transaction t(c);
    ibase::Statement ins(t, QStringLiteral("insert into item (id, ts) values (1, ?)"));
    for (const ibase::Timestamp& bad :
         {ibase::Timestamp{2002, 13, 1, 0, 0, 0, 0}, ibase::Timestamp{2001, 2, 29, 0, 0, 0, 0},
          ibase::Timestamp{2002, 1, 1, 24, 0, 0, 0},
          ibase::Timestamp{2002, 1, 1, 0, 0, 0, 10000}}) {
        ins.SetParam(0, bad);
        EXPECT_THROW(ins.Execute(), ibase::Error);
    }
    t.Commit();
    EXPECT_EQ(CountRows(c), 0);
}

TEST(IbaseValue, ConversionsBetweenKinds)
{
    EXPECT_EQ(ibase::Value(2.5).AsInt(), 3);
    EXPECT_EQ(ibase::Value(-2.5).AsInt(), -3);
    EXPECT_EQ(ibase::Value(QStringLiteral(" 42 ")).AsInt(), 42);
    EXPECT_THROW(ibase::Value(QStringLiteral("4x")).AsInt(), ibase::Error);
    EXPECT_THROW(ibase::Value(int64_t(1) << 40).AsInt(), ibase::Error);
    EXPECT_EQ(ibase::Value(QStringLiteral("1.5")).AsDouble(), 1.5);
    EXPECT_THROW(ibase::Value(QStringLiteral("nan")).AsDouble(), ibase::Error);
    EXPECT_EQ(ibase::Value(0.1).AsText(), QStringLiteral("0.1"));
    EXPECT_EQ(ibase::Value(ibase::Timestamp{845, 3, 7, 1, 2, 3, 0}).AsText(),
              QStringLiteral("0845-03-07 01:02:03"));
    EXPECT_THROW(ibase::Value(1).AsTimestamp(), ibase::Error);
    EXPECT_EQ(ibase::Value().AsTimestamp(), ibase::Timestamp{});
}

} // namespace
