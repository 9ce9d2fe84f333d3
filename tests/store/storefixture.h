#pragma once
// Each program's store on a real database file in a temporary folder,
// opened the way its program opens it, with diagram 1 "Shed" (mm, two
// decimals) open on its bold default layer; the prompts are scripted and
// recorded.
//
// The suites that hold for both stores are typed over the two fixtures
// below (StoreKinds); each fixture seeds and inspects its own database in
// its own SQL. Where the stores differ on purpose the test names the store.
//
// The shared tests number a fresh diagram's points and segments from 0 in
// both stores: the Firebird fixture starts its diagram's numbering where
// the table store starts it. Each store's own first numbers are checked by
// tests of their own.

#include "firebird/corefb.h"
#include "firebird/fbschema.h"
#include "firebird/fbtimestamp.h"
#include "firebirdenv.h"
#include "firebirdfile.h"
#include "platform/tables.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sqlite3.h>

// The table store of scalora: tables.sqlite under "Scalora data/", served
// by TFcore or a class derived from it.
template <typename StoreClass> class TableStoreFixtureOf
{
  public:
    using Core = StoreClass;
    // LastPointNum and LastSegNum of a diagram without points or segments.
    static constexpr int32_t EmptyLastNumber = -1;
    static constexpr bool IsFirebird = false;

    void Open(const QString& folder)
    {
        const QString data = folder + QStringLiteral("/Scalora data");
        ASSERT_TRUE(QDir().mkpath(data));
        CreateTableStore(data, CurrentTableStoreVersion);
        core_ = std::make_unique<StoreClass>(folder);
        core_->ReadIniFile();
        core_->DBVersion = CurrentTableStoreVersion;
        core_->OpenStore();
    }

    StoreClass& Store() { return *core_; }
    void Exec(const QString& sql) { core_->Database1.Execute(sql); }

    // One whole number from an SQL text on the store file.
    long long Scalar(const QString& sql)
    {
        tables::Statement st(core_->Database1, tables::MapTableNames(sql));
        EXPECT_TRUE(st.Step()) << sql.toStdString();
        return st.Column(0).toLongLong();
    }

    void AddLayer(int32_t dgnum, int32_t n, const QString& name, int visib)
    {
        tables::Statement st(core_->Database1,
                             QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) "
                                            "VALUES (?, ?, ?, ?)"));
        st.BindAll({dgnum, n, name, visib});
        st.Run();
    }

    void AddProfile(int32_t dgnum, int32_t pflnum, const QString& name)
    {
        tables::Statement st(
            core_->Database1,
            QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (?, ?, ?)"));
        st.BindAll({dgnum, pflnum, name});
        st.Run();
    }

    // Every value of the first column of an SQL text's rows.
    std::vector<long long> Column(const QString& sql)
    {
        tables::Statement st(core_->Database1, tables::MapTableNames(sql));
        std::vector<long long> values;
        while (st.Step())
            values.push_back(st.Column(0).toLongLong());
        return values;
    }

    // A condition on the point table: its stamp is the date-time.
    static QString StampIs(TDateTime stamp)
    {
        return QStringLiteral("Rprts = %1").arg(stamp, 0, 'g', 17);
    }

    // Makes the engine refuse every insert (or update) of the table whose
    // new row meets the condition (written on NEW).
    void Refuse(const QString& event, const QString& table, const QString& condition)
    {
        Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 WHEN %3 BEGIN "
                            "SELECT RAISE(ABORT, 'refused'); END")
                 .arg(event, table, condition));
    }

    // Rows written to the store file since it was opened.
    long long Changes() { return sqlite3_total_changes(core_->Database1.Handle()); }

    // What another program connected to the store file finds there now: the
    // first value of an SQL text's first row.
    long long ScalarElsewhere(const QString& sql)
    {
        sqlite3* db = nullptr;
        long long v = -1;
        if (sqlite3_open_v2(core_->Database1.FilePath().toUtf8().constData(), &db,
                            SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            const QByteArray text = tables::MapTableNames(sql).toUtf8();
            if (sqlite3_prepare_v2(db, text.constData(), -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                v = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
        }
        EXPECT_NE(v, -1) << sqlite3_errmsg(db) << ": " << sql.toStdString();
        sqlite3_close(db);
        return v;
    }

  private:
    std::unique_ptr<StoreClass> core_;
};
using TableStoreFixture = TableStoreFixtureOf<TFcore>;

// The Firebird store of scalora2: scalora2data.fdb under "Scalora2 data/",
// served by the embedded engine through TFcoreFb or a class derived from
// it. The fixture works on the store's own connection and transaction, so
// its rows are what the store sees.
template <typename StoreClass> class FirebirdStoreFixtureOf
{
  public:
    using Core = StoreClass;
    static constexpr int32_t EmptyLastNumber = 0;
    static constexpr bool IsFirebird = true;

    void Open(const QString& folder)
    {
        const QString data = folder + QStringLiteral("/Scalora2 data");
        ASSERT_TRUE(QDir().mkpath(data));
        CreateFirebirdStore(data + QStringLiteral("/scalora2data.fdb"));
        core_ = std::make_unique<StoreClass>(folder);
        core_->ReadIniFile();
        core_->OpenStore();
        core_->BindQuery(query_);
    }

    StoreClass& Store() { return *core_; }
    void Exec(const QString& sql) { core_->RunStoreSQL(sql); }

    long long Scalar(const QString& sql)
    {
        core_->RunSQL(query_, sql);
        EXPECT_FALSE(query_.IsEmpty()) << sql.toStdString();
        const long long v = query_.IsEmpty() ? -1 : query_.FieldAt(0).AsInt64();
        query_.Close();
        return v;
    }

    std::vector<long long> Column(const QString& sql)
    {
        core_->RunSQL(query_, sql);
        std::vector<long long> values;
        for (query_.First(); !query_.Eof(); query_.Next())
            values.push_back(query_.FieldAt(0).AsInt64());
        query_.Close();
        return values;
    }

    void AddLayer(int32_t dgnum, int32_t n, const QString& name, int visib)
    {
        core_->RunStoreSQL(QStringLiteral("insert into layer (dgnum, layernum, layername, visib) "
                                          "values (:dg, :n, :name, :v)"),
                           {{"dg", dgnum}, {"n", n}, {"name", name}, {"v", visib}});
    }

    void AddProfile(int32_t dgnum, int32_t pflnum, const QString& name)
    {
        core_->RunStoreSQL(
            QStringLiteral("insert into pfl (dgnum, pflnum, pflname) values (:dg, :p, :name)"),
            {{"dg", dgnum}, {"p", pflnum}, {"name", name}});
    }

    static QString StampIs(TDateTime stamp)
    {
        return QStringLiteral("rprts = '%1'").arg(TimestampParam(stamp).AsText());
    }

    void Refuse(const QString& event, const QString& table, const QString& condition)
    {
        Exec(QStringLiteral("create exception refused 'refused'"));
        Exec(QStringLiteral("create trigger refuse for %1 before %2 as begin if (%3) then "
                            "exception refused; end")
                 .arg(table, event, condition));
    }

    // Rows this connection inserted, updated or deleted since it opened, as
    // the engine's monitoring counts them.
    long long Changes()
    {
        // The monitoring tables show the state when the transaction began.
        core_->RestartTransaction();
        const long long n = Scalar(QStringLiteral(
            "select r.mon$record_inserts + r.mon$record_updates + r.mon$record_deletes "
            "from mon$attachments a join mon$record_stats r on r.mon$stat_id = a.mon$stat_id "
            "where a.mon$attachment_id = current_connection"));
        core_->RestartTransaction();
        return n;
    }

  private:
    std::unique_ptr<StoreClass> core_;
    FbQuery query_;
};
using FirebirdStoreFixture = FirebirdStoreFixtureOf<TFcoreFb>;

using StoreKinds = ::testing::Types<TableStoreFixture, FirebirdStoreFixture>;

// Names the typed tests after the store they run on.
class StoreKindNames
{
  public:
    template <typename Kind> static std::string GetName(int)
    {
        return Kind::IsFirebird ? "FirebirdStore" : "TableStore";
    }
};

inline TPointRec Pt(Extended x, Extended y, int32_t layer = 0)
{
    TPointRec p;
    p.Lenx = x;
    p.Leny = y;
    p.Layernum = layer;
    return p;
}

inline TSegRec Seg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer = 0,
                   int32_t type = SegLine)
{
    TSegRec s;
    s.SegType = type;
    s.FromPoint = Pt(x1, y1, layer);
    s.ToPoint = Pt(x2, y2, layer);
    s.Layernum = layer;
    return s;
}

template <typename Kind> class StoreOn : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        kind_.Open(dir_.path());
        NewDiagram(1, QStringLiteral("Shed"));
        AddLayer(0, QStringLiteral("Default layer"), VisibBold);
        ASSERT_TRUE(Core().OpenDiagram(1));
        Core().LastPointNum = TableStoreFixture::EmptyLastNumber;
        Core().LastSegNum = TableStoreFixture::EmptyLastNumber;
    }

    typename Kind::Core& Core() { return kind_.Store(); }
    static constexpr bool Firebird = Kind::IsFirebird;

    void Exec(const QString& sql) { kind_.Exec(sql); }
    long long Scalar(const QString& sql) { return kind_.Scalar(sql); }

    long long Count(const QString& table, const QString& where = QStringLiteral("1 = 1"))
    {
        return Scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
    }

    void NewDiagram(int32_t n, const QString& name, int dp = 2)
    {
        Exec(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (%1, '%2', "
                            "'mm', %3)")
                 .arg(n)
                 .arg(name)
                 .arg(dp));
    }

    void AddLayer(int32_t n, const QString& name, int visib, int32_t dgnum = 1)
    {
        kind_.AddLayer(dgnum, n, name, visib);
    }

    void AddProfile(int32_t pflnum, const QString& name, int32_t dgnum = 1)
    {
        kind_.AddProfile(dgnum, pflnum, name);
    }

    void AddProfileLayer(int32_t pflnum, int32_t layernum, int visib, int32_t dgnum = 1)
    {
        Exec(QStringLiteral("INSERT INTO pflays (Dgnum, Pflnum, Layernum, Visib) VALUES (%1, %2, "
                            "%3, %4)")
                 .arg(dgnum)
                 .arg(pflnum)
                 .arg(layernum)
                 .arg(visib));
    }

    long long Changes() { return kind_.Changes(); }
    // What another program connected to the database file finds there now.
    long long CountElsewhere(const QString& sql)
    {
        if constexpr (Firebird)
            return ValueInDatabaseFile(
                       dir_.path() + QStringLiteral("/Scalora2 data/scalora2data.fdb"), sql)
                .toLongLong();
        else
            return kind_.ScalarElsewhere(sql);
    }
    void Refuse(const QString& event, const QString& table, const QString& condition)
    {
        kind_.Refuse(event, table, condition);
    }
    static QString StampIs(TDateTime stamp) { return Kind::StampIs(stamp); }

    std::vector<long long> Column(const QString& sql) { return kind_.Column(sql); }

    // The points of a diagram that carry the stamp.
    std::set<int> Stamped(int32_t dgnum, TDateTime stamp)
    {
        std::set<int> points;
        for (const long long n :
             Column(QStringLiteral("SELECT Pointnum FROM point WHERE Dgnum = %1 AND %2")
                        .arg(dgnum)
                        .arg(StampIs(stamp))))
            points.insert(int(n));
        return points;
    }

    // Stores a segment and gives it back as stored.
    TSegRec StoreSeg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer = 0,
                     int32_t type = SegLine)
    {
        TSegRec s = Seg(x1, y1, x2, y2, layer, type);
        Core().InsertSegment(s);
        return s;
    }

    // The sheet's refresh: visible segments and labels, fit on a 1000 x 800
    // sheet.
    bool Fit(int32_t width = 1000, int32_t height = 800, int32_t panel = 0)
    {
        Core().SheetWidth = width;
        Core().SheetHeight = height;
        Core().OpenVisibleSegments();
        Core().OpenVisibleText();
        return Core().FitDiagramToSheet(panel);
    }

    QTemporaryDir dir_;
    Kind kind_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};

// The table store alone, for its own suites and those of the windows.
class StoreTest : public StoreOn<TableStoreFixture>
{
  protected:
    void SetUp() override
    {
        StoreOn<TableStoreFixture>::SetUp();
        core_ = &Core();
    }

    TFcore* core_ = nullptr;
};
