#include "firebird/fbschema.h"

#include "firebird/fbtimestamp.h"
#include "platform/ibase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "firebirdenv.h"

#include <cstring>
#include <memory>

namespace
{

class FbSchemaTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString DbPath() const { return dir_.filePath(QStringLiteral("scalora2data.fdb")); }

    static int CountRows(ibase::Transaction& t, const QString& table)
    {
        ibase::Statement q(t, QStringLiteral("select count(*) as ct from ") + table);
        q.Execute();
        EXPECT_TRUE(q.Fetch());
        return q.Column(QStringLiteral("ct")).AsInt();
    }

    QTemporaryDir dir_;
};

// One row per table, in the statement forms and literal forms of the export.
// clang-format off
const char* const ExportRows[] = {
    "insert into DRAWING ( dgnum , dgname , units , rndgdp , notes ) values ("
    "3 , 'O''Hara' , 'm' , 2 , '' ) ",
    "insert into LAYER ( dgnum, layernum, layername, visib ) values ("
    "3 , 0 , 'Default layer' , 2 ) ",
    "insert into PFL ( dgnum, pflnum, pflname ) values ( "
    "3 , 1 , 'Plan' ) ",
    "insert into PFLAYS ( dgnum, pflnum, layernum, visib ) values ("
    "3 , 1 , 0 , 1 ) ",
    "insert into POINT ( dgnum, pointnum, lenx, leny, pxlx, pxly, rprts, layernum, createts ) values ("
    "3 , 1 , 12.500 , -0.250 , 10 , 20 , '2002-09-01 14:30:05' , 0 , NULL ) ",
    "insert into SEG ( dgnum, segnum, frompt, topt, segtype, seglen, mlenx, mleny, mlenz,"
    "layernum, lenx1, leny1, lenx2, leny2, pxlx1,pxly1, pxlx2,pxly2, createts, dotted, xorflag, measured, faint ) values ("
    "3 , 1 , 1 , 2 , 2 , 0.000 , 12.500 , 0.000 , 0.000 , 0 ,"
    "0.000 , -0.250 , 12.500 , 0.000 , 10 , 20 , 30 , 40 , '2002-09-01 14:30:06' , 0 , 1 , 0 , 0 ) ",
    "insert into TEXT ( dgnum, pointnum, layernum, text ) values ("
    "3 , 1 , 0 , 'it''s Ærø' ) ",
};
// clang-format on

TEST_F(FbSchemaTest, CreatedStoreTakesOneExportRowPerTable)
{
    CreateFirebirdStore(DbPath());
    ASSERT_TRUE(QFile::exists(DbPath()));

    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    for (const char* table : {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"})
        EXPECT_EQ(CountRows(t, QString::fromLatin1(table)), 0) << table;
    for (const char* sql : ExportRows)
        t.ExecuteImmediate(QString::fromUtf8(sql));
    t.Commit();
    t.Start();
    for (const char* table : {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"})
        EXPECT_EQ(CountRows(t, QString::fromLatin1(table)), 1) << table;

    ibase::Statement drawing(t, QStringLiteral("select * from drawing"));
    drawing.Execute();
    ASSERT_TRUE(drawing.Fetch());
    // Name columns are fixed-width: they come back padded to their width.
    EXPECT_EQ(drawing.Column(QStringLiteral("DGNAME")).AsText(),
              QStringLiteral("O'Hara").leftJustified(40));
    EXPECT_EQ(drawing.Column(QStringLiteral("UNITS")).AsText(),
              QStringLiteral("m").leftJustified(20));
    EXPECT_EQ(drawing.Column(QStringLiteral("RNDGDP")).AsInt(), 2);
    EXPECT_EQ(drawing.Column(QStringLiteral("NOTES")).AsText(), QString());

    ibase::Statement point(
        t, QStringLiteral("select * from point where (dgnum = :x) and (pointnum = 1)"));
    point.SetParam(QStringLiteral("x"), 3);
    point.Execute();
    ASSERT_TRUE(point.Fetch());
    EXPECT_EQ(point.Column(QStringLiteral("LENY")).AsDouble(), -0.25);
    EXPECT_EQ(point.Column(QStringLiteral("RPRTS")).AsTimestamp(),
              (ibase::Timestamp{2002, 9, 1, 14, 30, 5, 0}));
    EXPECT_TRUE(point.Column(QStringLiteral("CREATETS")).IsNull());

    ibase::Statement seg(t, QStringLiteral("select xorflag, pxly2, leny1 from seg"));
    seg.Execute();
    ASSERT_TRUE(seg.Fetch());
    EXPECT_EQ(seg.Column(0).AsInt(), 1);
    EXPECT_EQ(seg.Column(1).AsInt(), 40);
    EXPECT_EQ(seg.Column(2).AsDouble(), -0.25);

    ibase::Statement text(t, QStringLiteral("select text from text"));
    text.Execute();
    ASSERT_TRUE(text.Fetch());
    EXPECT_EQ(text.Column(0).AsText(), QStringLiteral("it's Ærø"));
}

TEST_F(FbSchemaTest, KeysRejectDuplicatesAndNulls)
{
    CreateFirebirdStore(DbPath());
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    t.ExecuteImmediate(QStringLiteral(
        "insert into PFLAYS ( dgnum, pflnum, layernum, visib ) values (1 , 1 , 1 , 2 ) "));
    t.ExecuteImmediate(QStringLiteral(
        "insert into PFLAYS ( dgnum, pflnum, layernum, visib ) values (1 , 1 , 2 , 2 ) "));
    EXPECT_THROW(
        t.ExecuteImmediate(QStringLiteral(
            "insert into PFLAYS ( dgnum, pflnum, layernum, visib ) values (1 , 1 , 1 , 0 ) ")),
        ibase::Error);
    EXPECT_THROW(t.ExecuteImmediate(
                     QStringLiteral("insert into POINT ( dgnum, pointnum ) values (1 , NULL ) ")),
                 ibase::Error);
    // Every other column is optional.
    t.ExecuteImmediate(QStringLiteral("insert into SEG ( dgnum, segnum ) values (1 , 1 ) "));
    // The text column holds 80 characters, counted as characters.
    t.ExecuteImmediate(
        QStringLiteral(
            "insert into TEXT ( dgnum, pointnum, layernum, text ) values (1 , 1 , 0 , '%1' ) ")
            .arg(QString(80, QChar(0x00C6))));
    EXPECT_THROW(
        t.ExecuteImmediate(
            QStringLiteral(
                "insert into TEXT ( dgnum, pointnum, layernum, text ) values (1 , 2 , 0 , '%1' ) ")
                .arg(QString(81, QLatin1Char('a')))),
        ibase::Error);
    t.Commit();
}

TEST_F(FbSchemaTest, LongNotesAreKept)
{
    CreateFirebirdStore(DbPath());
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    // As a literal, as the export writes it (the engine caps a UTF-8
    // literal at 16383 characters) ...
    const QString literalNotes = QString(16000, QChar(0x00E9)) + QStringLiteral("it''s");
    t.ExecuteImmediate(QStringLiteral("insert into DRAWING ( dgnum , dgname , units , rndgdp , "
                                      "notes ) values (1 , 'a' , 'mm' , 0 , '%1' ) ")
                           .arg(literalNotes));
    // ... and past the old 32765-character limit through a parameter.
    const QString longNotes = QString(40000, QChar(0x00E9)) + QStringLiteral("end");
    ibase::Statement ins(t,
                         QStringLiteral("insert into DRAWING ( dgnum , notes ) values (2 , ? )"));
    ins.SetParam(0, longNotes);
    ins.Execute();

    ibase::Statement q(t, QStringLiteral("select notes from drawing order by dgnum"));
    q.Execute();
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsText(), QString(16000, QChar(0x00E9)) + QStringLiteral("it's"));
    ASSERT_TRUE(q.Fetch());
    EXPECT_EQ(q.Column(0).AsText(), longNotes);
}

TEST_F(FbSchemaTest, ExistingFileIsNeverReplaced)
{
    CreateFirebirdStore(DbPath());
    {
        ibase::Connection c = ibase::Connection::Attach(DbPath());
        ibase::Transaction t(c);
        t.ExecuteImmediate(QString::fromUtf8(ExportRows[0]));
        t.Commit();
    }
    EXPECT_THROW(CreateFirebirdStore(DbPath()), ibase::Error);
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    EXPECT_EQ(CountRows(t, QStringLiteral("DRAWING")), 1);
}

TEST_F(FbSchemaTest, DateTimesReadStraightFromARowAreThoseOfTheirValues)
{
    CreateFirebirdStore(DbPath());
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    // Before and after day 0, on day 0 itself, with fractions of a second.
    const char* const stamps[] = {
        "'1858-11-17 00:00:00'", "'1899-12-29 23:59:59.9999'", "'1899-12-30 00:00:00.0001'",
        "'1899-12-30 12:00:00'", "'1900-03-01 06:30:00.5'",    "'2023-03-04 12:30:05.6'",
        "'0001-01-01 00:00:01'", "'9999-12-31 23:59:59'",      "null"};
    int n = 0;
    for (const char* stamp : stamps)
        t.ExecuteImmediate(QStringLiteral("insert into point (dgnum, pointnum, createts) values "
                                          "(1, %1, %2)")
                               .arg(++n)
                               .arg(QLatin1String(stamp)));
    ibase::Statement q(t, QStringLiteral("select createts from point order by pointnum"));
    q.Execute();
    int rows = 0;
    while (q.Fetch()) {
        const TDateTime expected = FromTimestamp(q.Column(0));
        const TDateTime got = DateTimeColumn(q, 0);
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << stamps[rows] << ": " << got << " against " << expected;
        ++rows;
    }
    EXPECT_EQ(rows, n);
}

} // namespace
