#pragma once
// Records every statement a store runs on its SQLite connection and asks
// SQLite how it would run each: a plan that walks a whole diagram (a scan
// of a table, a search that narrows the points, segments or labels to the
// diagram and no further, or a sort of the rest of a table) is reported.
// Without statistics SQLite plans the same whatever the tables hold, so a
// small store shows the plans a large one gets.

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <map>
#include <set>
#include <sqlite3.h>

class PlanRecorder
{
  public:
    explicit PlanRecorder(sqlite3* db) : db_(db)
    {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &PlanRecorder::Traced, this);
    }
    ~PlanRecorder() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    PlanRecorder(const PlanRecorder&) = delete;
    PlanRecorder& operator=(const PlanRecorder&) = delete;

    const std::set<QString>& Statements() const { return statements_; }
    // How often each statement was run.
    const std::map<QString, int>& Runs() const { return runs_; }
    int TotalRuns() const
    {
        int n = 0;
        for (const auto& [sql, count] : runs_)
            n += count;
        return n;
    }
    void Clear()
    {
        statements_.clear();
        runs_.clear();
    }

    // Each recorded statement whose plan walks a diagram, with the plan.
    QStringList DiagramWalks() const
    {
        QStringList walks;
        for (const QString& sql : WalkingStatements())
            walks << sql + QStringLiteral("\n    ") + Plan(sql).join(QStringLiteral("\n    "));
        return walks;
    }

    QStringList WalkingStatements() const
    {
        const Analysing analysing(*this);
        QStringList walks;
        for (const QString& sql : statements_) {
            const QStringList plan = Plan(sql);
            for (const QString& step : plan) {
                if (WalksDiagram(step, plan)) {
                    walks << sql;
                    break;
                }
            }
        }
        return walks;
    }

    // Each recorded statement that builds a temporary sorter or set.
    QStringList TempBTrees() const
    {
        QStringList sorting;
        for (const QString& sql : statements_) {
            for (const QString& step : Plan(sql)) {
                if (step.contains(QLatin1String("USE TEMP B-TREE"))) {
                    sorting << sql + QStringLiteral("\n    ") + step;
                    break;
                }
            }
        }
        return sorting;
    }

    // Each recorded statement that opens a temporary table of its own (an IN
    // list's index, a materialised subquery, an automatic index): each run
    // builds a b-tree with a page cache of its own, though its plan may show
    // none of it.
    QStringList TemporaryTables() const
    {
        const Analysing analysing(*this);
        QStringList temporary;
        for (const QString& sql : statements_) {
            const QStringList ops = OpCodes(sql);
            if (ops.contains(QLatin1String("OpenEphemeral")) ||
                ops.contains(QLatin1String("OpenAutoindex")))
                temporary << sql;
        }
        return temporary;
    }

    QStringList Plan(const QString& sql) const
    {
        const Analysing analysing(*this);
        QStringList steps;
        sqlite3_stmt* st = nullptr;
        const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), -1, &st, nullptr) != SQLITE_OK) {
            steps << QStringLiteral("cannot explain: ") + QString::fromUtf8(sqlite3_errmsg(db_));
            return steps;
        }
        while (sqlite3_step(st) == SQLITE_ROW)
            steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
        sqlite3_finalize(st);
        return steps;
    }

  private:
    // The statement's bytecode, one opcode a step.
    QStringList OpCodes(const QString& sql) const
    {
        QStringList ops;
        sqlite3_stmt* st = nullptr;
        const QByteArray text = (QStringLiteral("EXPLAIN ") + sql).toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), -1, &st, nullptr) != SQLITE_OK)
            return {QStringLiteral("cannot explain: ") + QString::fromUtf8(sqlite3_errmsg(db_))};
        while (sqlite3_step(st) == SQLITE_ROW)
            ops << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        sqlite3_finalize(st);
        return ops;
    }

    // The recorder's own statements are not recorded.
    struct Analysing {
        explicit Analysing(const PlanRecorder& r) : recorder(r), was(r.analysing_)
        {
            recorder.analysing_ = true;
        }
        ~Analysing() { recorder.analysing_ = was; }
        const PlanRecorder& recorder;
        bool was;
    };

    static int Traced(unsigned, void* self, void* stmt, void*)
    {
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
        // Transactions and savepoints have no plan; triggers report as comments.
        PlanRecorder* recorder = static_cast<PlanRecorder*>(self);
        if (recorder->analysing_)
            return 0;
        const QString text = QString::fromUtf8(sql ? sql : "").trimmed();
        static const QRegularExpression noPlan(
            QStringLiteral("^(--|BEGIN|COMMIT|ROLLBACK|SAVEPOINT|RELEASE|PRAGMA)"),
            QRegularExpression::CaseInsensitiveOption);
        if (!text.isEmpty() && !noPlan.match(text).hasMatch()) {
            recorder->statements_.insert(text);
            ++recorder->runs_[text];
        }
        return 0;
    }

    // The index names belong to these tables; a layer, profile or diagram
    // row is one of a handful and may be found by the diagram alone.
    bool OnDiagramContent(const QString& index) const
    {
        if (index.startsWith(QLatin1String("sqlite_autoindex_point")) ||
            index.startsWith(QLatin1String("sqlite_autoindex_seg")) ||
            index.startsWith(QLatin1String("sqlite_autoindex_text")))
            return true;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_,
                           "SELECT tbl_name FROM sqlite_master WHERE type = 'index' AND name = ?",
                           -1, &st, nullptr);
        const QByteArray name = index.toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
        QString table;
        if (sqlite3_step(st) == SQLITE_ROW)
            table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return table == QLatin1String("point") || table == QLatin1String("seg") ||
               table == QLatin1String("text");
    }

    // A scan of a subquery run as a co-routine reads only the rows its own
    // steps, checked on their own, find.
    bool WalksDiagram(const QString& step, const QStringList& plan) const
    {
        if (step.startsWith(QLatin1String("SCAN ")) &&
            !step.contains(QLatin1String("CONSTANT ROW")) &&
            !plan.contains(QStringLiteral("CO-ROUTINE ") + step.mid(5)))
            return true;
        if (step.contains(QLatin1String("RIGHT PART OF ORDER BY")))
            return true;
        // "SEARCH s USING INDEX segends (Dgnum=?)": the whole diagram.
        static const QRegularExpression diagramOnly(
            QStringLiteral("USING (?:COVERING )?INDEX (\\S+) \\(Dgnum[=<>]\\?\\)$"));
        const auto m = diagramOnly.match(step);
        return m.hasMatch() && OnDiagramContent(m.captured(1));
    }

    sqlite3* db_;
    std::set<QString> statements_;
    std::map<QString, int> runs_;
    mutable bool analysing_ = false;
};
