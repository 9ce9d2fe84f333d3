#include "export/export.h"

#include "firebird/fbschema.h"
#include "firebirdenv.h"
#include "library/busy.h"
#include "library/textnum.h"
#include "platform/ibase.h"
#include "platform/ini.h"
#include "store/storefixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QVariant>
#include <vector>

namespace
{

using Row = std::vector<ibase::Value>;
using Rows = std::vector<Row>;
using ibase::Value;

// Day numbers as the store keeps date-times: days since 30 December 1899.
double Day(int y, int m, int d, int hh = 0, int mm = 0, double ss = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))) +
           (hh * 3600 + mm * 60 + ss) / 86400.0;
}

QString Padded(const QString& text, int width)
{
    return text.leftJustified(width);
}

class ExportTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Scalora2 data")));
        CreateFirebirdStore(FdbPath());
        ASSERT_EQ(Core().FirebirdFolder + QStringLiteral("scalora2data.fdb"), FdbPath());
    }

    QString FdbPath() const
    {
        return dir_.path() + QStringLiteral("/Scalora2 data/scalora2data.fdb");
    }

    // A row into the table store, its values bound rather than written in.
    void Put(const QString& table, const QString& columns, const std::vector<QVariant>& values)
    {
        QStringList marks;
        for (size_t i = 0; i < values.size(); ++i)
            marks << QStringLiteral("?");
        tables::Statement st(
            Core().Database1,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks.join(',')));
        st.BindAll(values);
        st.Run();
    }

    void PutPoint(int dg, int n, double x, double y, QVariant rprts, QVariant createts,
                  int layer = 0)
    {
        Put(QStringLiteral("point"),
            QStringLiteral("Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS"),
            {dg, n, x, y, n * 10, n * 20, rprts, layer, createts});
    }

    void PutSeg(int dg, int n, int from, int to, int type, double mlenx, int layer, int dotted,
                bool xorflag, bool measured, bool faint, QVariant createts,
                QVariant fromOverride = QVariant())
    {
        Put(QStringLiteral("seg"),
            QStringLiteral("Dgnum, Segnum, FromPt, ToPt, SegType, Mlenx, Mleny, Mlenz, Layernum, "
                           "Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, "
                           "Dotted, Xorflag, Measured, faint"),
            {dg,
             n,
             fromOverride.isValid() ? fromOverride : QVariant(from),
             to,
             type,
             mlenx,
             0.0,
             0.125,
             layer,
             0.1,
             0.2,
             1.0001,
             1.0004,
             1,
             2,
             3,
             4,
             createts,
             dotted,
             xorflag ? 1 : 0,
             measured ? 1 : 0,
             faint ? 1 : 0});
    }

    static QString LongNotes()
    {
        // Past the engine's limit for a text literal, with apostrophes and
        // letters of two bytes.
        QString notes;
        while (notes.size() < 20000)
            notes += QStringLiteral("O'Hara's Ærø plan;\n");
        return notes;
    }

    // Two diagrams with layers, profiles, points, lines, an arc and labels.
    void FillStore()
    {
        Exec(QStringLiteral("UPDATE drawing SET notes = '%1' WHERE Dgnum = 1")
                 .arg(EscapeApostrophes(LongNotes())));
        Put(QStringLiteral("drawing"), QStringLiteral("Dgnum, Dgname, Units, RndgDP, notes"),
            {2, QStringLiteral("O'Hara's barn"), QStringLiteral("m"), 3,
             QStringLiteral("line 1\nit's Ærø")});
        AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
        Put(QStringLiteral("layer"), QStringLiteral("Dgnum, Layernum, Name, Visib"),
            {1, 1, QStringLiteral("Kitchen's wall"), 1});
        Put(QStringLiteral("layer"), QStringLiteral("Dgnum, Layernum, Name, Visib"),
            {1, 2, QStringLiteral("Ærøskøbing ½"), 0});
        Put(QStringLiteral("pfl"), QStringLiteral("Dgnum, Pflnum, Name"),
            {1, 1, QStringLiteral("Plan")});
        Put(QStringLiteral("pfl"), QStringLiteral("Dgnum, Pflnum, Name"),
            {1, 2, QStringLiteral("Walls & 'doors'")});
        for (const auto& v :
             std::vector<std::vector<QVariant>>{{1, 1, 0, 2}, {1, 1, 1, 0}, {1, 2, 2, 1}})
            Put(QStringLiteral("pflays"), QStringLiteral("Dgnum, Pflnum, Layernum, Visib"), v);

        // Points 2 and 3 differ in the fourth decimal only.
        PutPoint(1, 1, 0.1 + 0.2, 1.2345678, Day(2002, 9, 1, 12), 0.0);
        PutPoint(1, 2, 1.0001, 0.0004, Day(2002, 9, 1, 12), Day(2023, 3, 4, 12, 30, 5.6), 1);
        PutPoint(1, 3, 1.0004, 0.0004, QVariant(), Day(2023, 3, 4, 23, 59, 59.7), 2);
        PutPoint(1, 4, -12.5, 1e-9, QVariant(), QVariant());
        PutPoint(2, 1, 100.0, 200.0, QVariant(), Day(1999, 12, 31));

        PutSeg(1, 1, 1, 2, SegLine, 1.0001, 0, 0, true, false, false, Day(2023, 3, 4, 12, 30, 5.6));
        PutSeg(1, 2, 1, 3, SegArc, 90, 1, 2, false, false, true, QVariant());
        PutSeg(2, 1, 1, 1, SegLine, 0.3, 0, 1, false, true, false, 0.0);

        Put(QStringLiteral("text"), QStringLiteral("Dgnum, Pointnum, Layernum, Text"),
            {1, 1, 0, QStringLiteral("it's here")});
        Put(QStringLiteral("text"), QStringLiteral("Dgnum, Pointnum, Layernum, Text"),
            {1, 2, 1, QStringLiteral("Ærøskøbing – ½ mm")});
        Put(QStringLiteral("text"), QStringLiteral("Dgnum, Pointnum, Layernum, Text"),
            {1, 3, 2, QStringLiteral("'")});
        // Eighty letters of two bytes fill the column exactly.
        Put(QStringLiteral("text"), QStringLiteral("Dgnum, Pointnum, Layernum, Text"),
            {1, 4, 0, QString(80, QChar(0x00C6))});
    }

    // Every row of a Firebird table, the named columns in key order.
    Rows Read(const QString& table, const QString& columns, const QString& order)
    {
        ibase::Connection c = ibase::Connection::Attach(FdbPath());
        ibase::Transaction t(c);
        ibase::Statement q(
            t, QStringLiteral("select %1 from %2 order by %3").arg(columns, table, order));
        q.Execute();
        Rows rows;
        while (q.Fetch()) {
            Row row;
            for (int i = 0; i < q.ColumnCount(); ++i)
                row.push_back(q.Column(i));
            rows.push_back(row);
        }
        return rows;
    }

    // Everything in the Firebird database, for before-and-after comparisons.
    std::vector<Rows> Everything()
    {
        std::vector<Rows> all;
        for (const char* table : {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"})
            all.push_back(
                Read(QString::fromLatin1(table), QStringLiteral("*"), QStringLiteral("1, 2")));
        return all;
    }

    // The indexes of the database with their tables and columns, "counted"
    // after those whose statistics hold a count of their rows.
    QStringList Indexes(const QString& fdb = QString())
    {
        ibase::Connection c = ibase::Connection::Attach(fdb.isEmpty() ? FdbPath() : fdb);
        ibase::Transaction t(c);
        ibase::Statement q(
            t, QStringLiteral("select trim(i.rdb$index_name), trim(i.rdb$relation_name), "
                              "list(trim(s.rdb$field_name)), max(i.rdb$statistics), "
                              "max(i.rdb$index_inactive) from rdb$indices i join "
                              "rdb$index_segments s on s.rdb$index_name = i.rdb$index_name "
                              "where coalesce(i.rdb$system_flag, 0) = 0 group by 1, 2 order by 1"));
        q.Execute();
        QStringList all;
        while (q.Fetch())
            all << QStringLiteral("%1 %2 %3%4%5")
                       .arg(q.Column(0).AsText(), q.Column(1).AsText(), q.Column(2).AsText(),
                            q.Column(3).AsDouble() > 0 ? QStringLiteral(" counted") : QString(),
                            q.Column(4).AsInt() == 1 ? QStringLiteral(" inactive") : QString());
        return all;
    }

    void RunOnFirebird(const QString& sql)
    {
        ibase::Connection c = ibase::Connection::Attach(FdbPath());
        ibase::Transaction t(c);
        t.ExecuteImmediate(sql);
        t.Commit();
    }

    long long FbCount(const QString& table)
    {
        return Read(table, QStringLiteral("count(*)"), QStringLiteral("1")).at(0).at(0).AsInt64();
    }

    // Attachments to the database by users, this check's own included.
    long long Attachments()
    {
        return Read(QStringLiteral("mon$attachments where mon$system_flag = 0"),
                    QStringLiteral("count(*)"), QStringLiteral("1"))
            .at(0)
            .at(0)
            .AsInt64();
    }

    bool Export()
    {
        FirebirdExport exporter(Core());
        return exporter.ExportToFirebird();
    }

    // What an export answered Yes stops with; empty when it goes through.
    QString RefusedExport()
    {
        prompts_.Answer('Y');
        try {
            Export();
        } catch (const ExportError& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    }

    int IniUpgrading() const
    {
        return IniFile(dir_.path() + QStringLiteral("/scalora.ini"))
            .ReadInteger(QStringLiteral("main"), QStringLiteral("Upgrading"), -1);
    }

    QString SuccessText() const
    {
        return QStringLiteral("Data copied OK to\r\"") + FdbPath() + QStringLiteral("\"");
    }
};

TEST_F(ExportTest, Export_CopiesEveryTableColumnByColumn)
{
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());

    // Empty Firebird tables: only the opening question, then the two notes.
    EXPECT_EQ(prompts_.Texts(), QStringList({QStringLiteral("Export database to Firebird - OK ?"),
                                             SuccessText(), QStringLiteral("Now run Scalora2")}));
    EXPECT_EQ(Core().UpgradeState, 1);
    EXPECT_EQ(IniUpgrading(), 1);
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(Attachments(), 1);

    EXPECT_EQ(Read(QStringLiteral("DRAWING"), QStringLiteral("dgnum, dgname, units, rndgdp, notes"),
                   QStringLiteral("dgnum")),
              (Rows{{1, Padded(QStringLiteral("Shed"), 40), Padded(QStringLiteral("mm"), 20), 2,
                     LongNotes()},
                    {2, Padded(QStringLiteral("O'Hara's barn"), 40),
                     Padded(QStringLiteral("m"), 20), 3, QStringLiteral("line 1\nit's Ærø")}}));
    EXPECT_EQ(Read(QStringLiteral("LAYER"), QStringLiteral("dgnum, layernum, layername, visib"),
                   QStringLiteral("dgnum, layernum")),
              (Rows{{1, 0, Padded(QStringLiteral("Default layer"), 40), 2},
                    {1, 1, Padded(QStringLiteral("Kitchen's wall"), 40), 1},
                    {1, 2, Padded(QStringLiteral("Ærøskøbing ½"), 40), 0},
                    {2, 0, Padded(QStringLiteral("Default layer"), 40), 2}}));
    EXPECT_EQ(Read(QStringLiteral("PFL"), QStringLiteral("dgnum, pflnum, pflname"),
                   QStringLiteral("dgnum, pflnum")),
              (Rows{{1, 1, Padded(QStringLiteral("Plan"), 40)},
                    {1, 2, Padded(QStringLiteral("Walls & 'doors'"), 40)}}));
    EXPECT_EQ(Read(QStringLiteral("PFLAYS"), QStringLiteral("dgnum, pflnum, layernum, visib"),
                   QStringLiteral("dgnum, pflnum, layernum")),
              (Rows{{1, 1, 0, 2}, {1, 1, 1, 0}, {1, 2, 2, 1}}));

    // Reals arrive bit for bit; date-times rounded to the second, carrying
    // into the next minute; an empty or zero date-time is NULL.
    const ibase::Timestamp noon{2002, 9, 1, 12, 0, 0, 0};
    EXPECT_EQ(
        Read(QStringLiteral("POINT"),
             QStringLiteral("dgnum, pointnum, lenx, leny, pxlx, pxly, rprts, layernum, createts"),
             QStringLiteral("dgnum, pointnum")),
        (Rows{
            {1, 1, 0.1 + 0.2, 1.2345678, 10, 20, noon, 0, Value()},
            {1, 2, 1.0001, 0.0004, 20, 40, noon, 1, ibase::Timestamp{2023, 3, 4, 12, 30, 6, 0}},
            {1, 3, 1.0004, 0.0004, 30, 60, Value(), 2, ibase::Timestamp{2023, 3, 5, 0, 0, 0, 0}},
            {1, 4, -12.5, 1e-9, 40, 80, Value(), 0, Value()},
            {2, 1, 100.0, 200.0, 10, 20, Value(), 0, ibase::Timestamp{1999, 12, 31, 0, 0, 0, 0}}}));

    EXPECT_EQ(
        Read(QStringLiteral("SEG"),
             QStringLiteral("dgnum, segnum, frompt, topt, segtype, seglen, mlenx, mleny, mlenz, "
                            "layernum, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, pxly2, "
                            "createts, dotted, xorflag, measured, faint"),
             QStringLiteral("dgnum, segnum")),
        (Rows{{1,
               1,
               1,
               2,
               SegLine,
               0.0,
               1.0001,
               0.0,
               0.125,
               0,
               0.1,
               0.2,
               1.0001,
               1.0004,
               1,
               2,
               3,
               4,
               ibase::Timestamp{2023, 3, 4, 12, 30, 6, 0},
               0,
               1,
               0,
               0},
              {1,      2,      1, 3, SegArc, 0.0, 90.0,    0.0, 0.125, 1, 0.1, 0.2,
               1.0001, 1.0004, 1, 2, 3,      4,   Value(), 2,   0,     0, 1},
              {2,      1,      1, 1, SegLine, 0.0, 0.3,     0.0, 0.125, 0, 0.1, 0.2,
               1.0001, 1.0004, 1, 2, 3,       4,   Value(), 1,   0,     1, 0}}));

    EXPECT_EQ(Read(QStringLiteral("TEXT"), QStringLiteral("dgnum, pointnum, layernum, text"),
                   QStringLiteral("dgnum, pointnum")),
              (Rows{{1, 1, 0, QStringLiteral("it's here")},
                    {1, 2, 1, QStringLiteral("Ærøskøbing – ½ mm")},
                    {1, 3, 2, QStringLiteral("'")},
                    {1, 4, 0, QString(80, QChar(0x00C6))}}));
}

// What the settings file says while each note of the export is shown: a
// run killed at that moment leaves it so.
class IniAtEachNote : public ScriptedPrompts
{
  public:
    explicit IniAtEachNote(QString iniPath) : iniPath_(std::move(iniPath)) {}
    void Info(const QString& caption, const QString& text) override
    {
        upgrading.push_back(
            IniFile(iniPath_).ReadInteger(QStringLiteral("main"), QStringLiteral("Upgrading"), -1));
        ScriptedPrompts::Info(caption, text);
    }
    std::vector<int> upgrading;

  private:
    QString iniPath_;
};

TEST_F(ExportTest, Export_IsDoneInTheSettingsFileBeforeTheUserIsTold)
{
    FillStore();
    IniAtEachNote notes(dir_.path() + QStringLiteral("/scalora.ini"));
    ScopedPromptSeam seam(notes);
    notes.Answer('Y');
    ASSERT_TRUE(Export());
    EXPECT_EQ(notes.Texts(), QStringList({QStringLiteral("Export database to Firebird - OK ?"),
                                          SuccessText(), QStringLiteral("Now run Scalora2")}));
    EXPECT_EQ(notes.upgrading, (std::vector<int>{1, 1}));
}

TEST_F(ExportTest, Export_EndsWithTheIndexesOfANewDatabaseAndTheirRowsCounted)
{
    const QString fresh = dir_.path() + QStringLiteral("/fresh.fdb");
    CreateFirebirdStore(fresh);
    const QStringList made = Indexes(fresh);
    ASSERT_EQ(made.size(), 17) << made.join('\n').toStdString();
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());

    // The same indexes on the same columns, each with the statistics of the
    // rows it holds, so that the second program's first lookups go by them.
    QStringList expected;
    for (const QString& index : made)
        expected << index + QStringLiteral(" counted");
    EXPECT_EQ(Indexes(), expected);

    // Exported again over the rows: the same again.
    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYYYYYYY"));
    ASSERT_TRUE(Export());
    EXPECT_EQ(Indexes(), expected);
}

TEST_F(ExportTest, LookupIndexesLostByAnExportThatNeverEnded_AreMadeAgain)
{
    const QStringList made = Indexes();
    // An export cut off between dropping the lookup indexes and copying.
    RunOnFirebird(QStringLiteral("drop index pxlxy"));
    RunOnFirebird(QStringLiteral("drop index segends"));
    ASSERT_EQ(Indexes().size(), made.size() - 2);
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());
    EXPECT_EQ(Indexes().size(), made.size());
    EXPECT_TRUE(Indexes().contains(QStringLiteral("PXLXY POINT DGNUM,PXLX,PXLY counted")))
        << Indexes().join('\n').toStdString();
}

TEST_F(ExportTest, AnotherProgramReadingTheTables_DoesNotStopTheExport)
{
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());
    const QStringList before = Indexes();
    // The second program's lookup by pixel, prepared and open in a
    // transaction of its own while the export runs.
    ibase::Connection other = ibase::Connection::Attach(FdbPath());
    ibase::Transaction reading(other);
    ibase::Statement lookup(reading, QStringLiteral("select pointnum from point where dgnum = ? "
                                                    "and pxlx = ? and pxly = ?"));
    ASSERT_TRUE(lookup.Plan().contains(QLatin1String("PXLXY"))) << lookup.Plan().toStdString();
    lookup.SetParam(0, 1);
    lookup.SetParam(1, 10);
    lookup.SetParam(2, 20);
    lookup.Execute();
    ASSERT_TRUE(lookup.Fetch());

    Exec(QStringLiteral("UPDATE point SET Lenx = 7.25 WHERE Dgnum = 1 AND Pointnum = 1"));
    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYYYYYYY"));
    ASSERT_TRUE(Export());
    reading.Commit();
    other.Detach();
    EXPECT_EQ(Indexes(), before);
    EXPECT_EQ(
        Read(QStringLiteral("POINT"), QStringLiteral("lenx"), QStringLiteral("dgnum, pointnum"))
            .at(0),
        (Row{7.25}));
}

TEST_F(ExportTest, ExportAgain_AsksForEachFilledTableInOrderAndReplacesItsRows)
{
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());
    // Gone from the store before the second export: gone from Firebird too.
    Exec(QStringLiteral("DELETE FROM seg WHERE Dgnum = 2"));
    Exec(QStringLiteral("UPDATE point SET Lenx = 7.25 WHERE Dgnum = 1 AND Pointnum = 1"));
    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYYYYYYY"));
    ASSERT_TRUE(Export());

    QStringList expected{QStringLiteral("Export database to Firebird - OK ?")};
    for (const char* table : {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"})
        expected << QStringLiteral("Clear data from FB table %1 - OK ?").arg(QLatin1String(table));
    expected << SuccessText() << QStringLiteral("Now run Scalora2");
    EXPECT_EQ(prompts_.Texts(), expected);

    EXPECT_EQ(FbCount(QStringLiteral("DRAWING")), 2);
    EXPECT_EQ(FbCount(QStringLiteral("POINT")), 5);
    EXPECT_EQ(FbCount(QStringLiteral("SEG")), 2);
    EXPECT_EQ(FbCount(QStringLiteral("TEXT")), 4);
    EXPECT_EQ(
        Read(QStringLiteral("POINT"), QStringLiteral("lenx"), QStringLiteral("dgnum, pointnum"))
            .at(0),
        (Row{7.25}));
}

TEST_F(ExportTest, DeclinedQuestions_LeaveFirebirdAsItWas)
{
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());
    const std::vector<Rows> before = Everything();
    const QStringList indexes = Indexes();
    Core().UpgradeState = 0;
    Put(QStringLiteral("layer"), QStringLiteral("Dgnum, Layernum, Name, Visib"),
        {1, 3, QStringLiteral("New"), 2});

    // The opening question declined: nothing asked further.
    prompts_.Clear();
    prompts_.Answer('N');
    EXPECT_FALSE(Export());
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Export database to Firebird - OK ?")}));

    // DRAWING cleared, LAYER declined: the clearing of DRAWING is undone
    // and the later tables are not even counted.
    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYN"));
    EXPECT_FALSE(Export());
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Export database to Firebird - OK ?"),
                           QStringLiteral("Clear data from FB table DRAWING - OK ?"),
                           QStringLiteral("Clear data from FB table LAYER - OK ?")}));
    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(Everything(), before);
    EXPECT_EQ(Indexes(), indexes);
    EXPECT_EQ(Core().UpgradeState, 0);
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(Attachments(), 1);
}

TEST_F(ExportTest, RowRefusedMidCopy_LeavesFirebirdAsItWasAndNamesTheRow)
{
    FillStore();
    prompts_.Answer('Y');
    ASSERT_TRUE(Export());
    const std::vector<Rows> before = Everything();
    const QStringList indexes = Indexes();
    Core().UpgradeState = 0;

    // Many rows go in before the refused one: a point number beyond the
    // column's 32 bits, half-way through the segments.
    for (int n = 3; n <= 40; ++n)
        PutSeg(1, n, 1, 2, SegLine, n, 0, 0, false, true, false, 0.0,
               n == 20 ? QVariant(5000000000LL) : QVariant());
    prompts_.Clear();
    prompts_.Answers(QStringLiteral("YYYYYYYY"));
    try {
        Export();
        FAIL() << "the refused row went unreported";
    } catch (const ExportError& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.startsWith(
            QStringLiteral("Cannot copy SEG row dgnum 1, segnum 20 to Firebird:\n")))
            << e.what();
        EXPECT_GT(text.size(), 55) << "the database's own message is missing";
    }
    EXPECT_FALSE(prompts_.Texts().contains(SuccessText()));
    EXPECT_EQ(Everything(), before);
    // The lookup indexes, dropped for the copy, are made again.
    EXPECT_EQ(Indexes(), indexes);
    EXPECT_EQ(Core().UpgradeState, 0);
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(Attachments(), 1);
}

TEST_F(ExportTest, ValuesFirebirdCannotHold_AreReportedNotCut)
{
    FillStore();
    Put(QStringLiteral("layer"), QStringLiteral("Dgnum, Layernum, Name, Visib"),
        {2, 7, QString(41, QLatin1Char('w')), 2});
    EXPECT_EQ(RefusedExport(),
              QStringLiteral("Cannot copy LAYER row dgnum 2, layernum 7 to Firebird:\n"
                             "layername has 41 characters, the column holds 40"));
    Exec(QStringLiteral("DELETE FROM layer WHERE Dgnum = 2 AND Layernum = 7"));

    // A creation time past the year 9999.
    PutPoint(2, 9, 1, 1, QVariant(), 1.0e7);
    EXPECT_EQ(RefusedExport(),
              QStringLiteral("Cannot copy POINT row dgnum 2, pointnum 9 to Firebird:\n"
                             "createts holds 10000000, which is not a date between the years "
                             "1 and 9999"));
    Exec(QStringLiteral("DELETE FROM point WHERE Dgnum = 2 AND Pointnum = 9"));

    // Texts where lengths belong, as a script may write them into the
    // table store: refused, never copied as 0.
    Exec(QStringLiteral("UPDATE point SET Leny = '1,5' WHERE Dgnum = 1 AND Pointnum = 3"));
    EXPECT_EQ(RefusedExport(),
              QStringLiteral("Cannot copy POINT row dgnum 1, pointnum 3 to Firebird:\n"
                             "leny holds \"1,5\", which is not a number (Database "
                             "Healthcheck lists every such length)"));
    Exec(QStringLiteral("UPDATE point SET Leny = 0.0004 WHERE Dgnum = 1 AND Pointnum = 3"));
    Exec(QStringLiteral("UPDATE seg SET Mlenx = 'abc' WHERE Dgnum = 1 AND Segnum = 2"));
    EXPECT_TRUE(RefusedExport().startsWith(
        QStringLiteral("Cannot copy SEG row dgnum 1, segnum 2 to Firebird:\n"
                       "mlenx holds \"abc\", which is not a number")));
    for (const char* table : {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"})
        EXPECT_EQ(FbCount(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(Attachments(), 1);
}

TEST_F(ExportTest, MissingDatabase_ReportsTheEngineErrorAndChangesNothing)
{
    ASSERT_TRUE(QFile::remove(FdbPath()));
    prompts_.Answer('Y');
    EXPECT_THROW(Export(), ibase::Error);
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Export database to Firebird - OK ?")}));
    EXPECT_EQ(Core().UpgradeState, 0);
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_FALSE(QFile::exists(FdbPath()));
}

const ExportTable& TableNamed(const char* name)
{
    for (const ExportTable& t : ExportTables()) {
        if (QLatin1String(t.Name) == QLatin1String(name))
            return t;
    }
    throw std::logic_error(name);
}

TEST(ExportStatementText, RowsReadAsTheLiteralStatementsOfTheOldExport)
{
    EXPECT_EQ(InsertStatementText(TableNamed("DRAWING"),
                                  {3, QStringLiteral("O'Hara"), QStringLiteral("m"), 2, QString()}),
              QStringLiteral("insert into DRAWING ( dgnum , dgname , units , rndgdp , notes ) "
                             "values (3 , 'O''Hara' , 'm' , 2 , '' ) "));
    EXPECT_EQ(
        InsertStatementText(TableNamed("PFL"), {3, 1, QStringLiteral("'")}),
        QStringLiteral("insert into PFL ( dgnum, pflnum, pflname ) values ( 3 , 1 , '''' ) "));

    Row seg{3,
            1,
            1,
            2,
            2,
            0.0,
            12.5,
            0.0,
            0.0,
            4,
            0.0,
            -0.25,
            12.5,
            0.0,
            10,
            20,
            30,
            40,
            ibase::Timestamp{2002, 9, 1, 14, 30, 6, 0},
            0,
            1,
            0,
            0};
    const QString text = InsertStatementText(TableNamed("SEG"), seg);
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "insert into SEG ( dgnum, segnum, frompt, topt, segtype, seglen, mlenx, mleny, "
        "mlenz,layernum, lenx1, leny1, lenx2, leny2, pxlx1,pxly1, pxlx2,pxly2, "
        "createts, dotted, xorflag, measured, faint ) values (")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(
        "values (3 , 1 , 1 , 2 , 2 , 0 , 12.5 , 0 , 0 , 4 ,0 , -0.25 , 12.5 , 0 , 10 , 20 , 30 , "
        "40 , '2002-09-01 14:30:06' , 0 , 1 , 0 , 0 ) ")))
        << text.toStdString();

    EXPECT_EQ(InsertStatementWithParameters(TableNamed("TEXT")),
              QStringLiteral(
                  "insert into TEXT ( dgnum, pointnum, layernum, text ) values (? , ? , ? , ? ) "));
}

TEST(ExportStatementText, LiteralsKeepEveryDigitAndQuoteSafely)
{
    for (double x :
         {12.5, -0.25, 0.1 + 0.2, 1.2345678, 0.0004, 1e-9, 1e300, -123456789.123456789}) {
        const QString literal = RealLiteral(x);
        EXPECT_EQ(literal.toDouble(), x) << literal.toStdString();
        EXPECT_FALSE(literal.contains(QLatin1Char(','))) << literal.toStdString();
    }
    EXPECT_EQ(RealLiteral(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(RealLiteral(0.0004), QStringLiteral("0.0004"));
    EXPECT_EQ(StringLiteral(QStringLiteral("'")), QStringLiteral("''''"));
    EXPECT_EQ(StringLiteral(QString()), QStringLiteral("''"));
    EXPECT_EQ(StringLiteral(QStringLiteral("it's Ærø")), QStringLiteral("'it''s Ærø'"));
}

} // namespace
