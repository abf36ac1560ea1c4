#pragma once

#include "TdsReply.h"

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QVariantMap>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace zym::test::tds {

class FaultPlan;
struct Request;

// The code page of each database's collation: Turkish unless a test sets
// another. Shared by the stand-in's sessions.
class Collations
{
public:
    void set(const QString &database, int codePage);
    int codePage(const QString &database) const;

private:
    mutable QMutex m_mutex;
    QHash<QString, int> m_codePages;
};

// Rows a statement returned, kept for a server cursor.
struct RowSet
{
    QList<Column> columns;
    QList<QVariantList> rows;
};

// Runs what a client sends on the SQLite files of a folder, one file a
// database, the way SQL Server would run it for the tool: the current
// database, @@TRANCOUNT with savepoints, and SQL Server's error numbers.
// One engine serves one client connection.
class Engine
{
public:
    enum class Outcome { Done, Failed, Dropped };

    Engine(const QString &folder, FaultPlan &faults, const Collations &collations);
    ~Engine();
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    // Opens the login's database; a missing one fails with error 4060.
    bool login(const QString &database, Reply &reply);
    QString database() const { return m_database; }

    // Runs the statements of `text`, ";" between them, with `values` bound by
    // their names ("@P1"), each ended with a `token`; stops at the first that
    // fails. Rows go into the reply, or into `cursor` when one is given.
    Outcome run(const QString &text, const QVariantMap &values, Reply &reply,
                Reply::DoneToken token, RowSet *cursor = nullptr);
    void transactionRequest(const Request &request, Reply &reply);
    // Makes `database` the current one; fails with error 911 when it is missing.
    bool use(const QString &database, Reply &reply);

    // Whether statements leave their row counts out of their replies, as
    // under SET NOCOUNT ON; a SET NOCOUNT the client sends changes it.
    void setNoCount(bool noCount) { m_noCount = noCount; }

    // Told of each statement as it runs, with the database it runs in.
    std::function<void(const QString &statement, const QString &database)> onStatement;

private:
    Outcome runStatement(const QString &statement, const QVariantMap &values, Reply &reply,
                         quint16 more, Reply::DoneToken token, RowSet *cursor);
    bool runControl(const QString &statement, Reply &reply, quint16 more, Reply::DoneToken token,
                    bool &handled);
    // SQL Server's own statements that SQLite has another way of doing.
    QString asSqlite(const QString &statement) const;
    bool runSql(const QString &statement, const QVariantMap &values, Reply &reply, quint16 more,
                Reply::DoneToken token, RowSet *cursor);
    bool begin(Reply &reply);
    bool commit(Reply &reply);
    bool rollback(Reply &reply);
    bool save(const QString &name, Reply &reply);
    bool rollbackTo(const QString &name, Reply &reply);
    bool open(const QString &database);
    bool attach(const QStringList &databases, Reply &reply);
    bool exec(const char *sql);
    // Reports SQLite's failure as SQL Server would, and notices a transaction
    // SQLite ended on its own.
    void failed(Reply &reply, const QString &statement = QString());
    void transactionEnded(Reply &reply);
    // The DONE status bit that says a row count is given.
    quint16 counted() const { return m_noCount ? 0 : Reply::Counted; }

    int codePage() const { return m_collations.codePage(m_database); }

    QString m_folder;
    FaultPlan &m_faults;
    const Collations &m_collations;
    sqlite3 *m_db = nullptr;
    QString m_database;
    QSet<QString> m_attached;
    int m_tranCount = 0;
    bool m_noCount = false;
    quint64 m_descriptor = 0;
};

} // namespace zym::test::tds
