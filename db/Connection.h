#pragma once

#include "CodePage.h"
#include "ConnectionSettings.h"
#include "Error.h"
#include "ResultSet.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <unordered_map>

namespace zym {

class OdbcParameters;

enum class Backend { None, SqlServer, Sqlite };

// The server refused the login because the driver could not verify the
// server's certificate; connecting again with trustServerCertificate set
// would pass that check.
class UntrustedCertificate : public Error
{
public:
    using Error::Error;
};

// One database connection of the tool.
//
// Either SQL Server through ODBC, or, when the typed server is the absolute
// path of a folder, the embedded backend: each database is the file
// NAME.sqlite in that folder. Statement texts are T-SQL; the few things SQLite
// reads differently are adapted in one place before a text is prepared. The
// dialect follows the database, not the Qt driver: behind an ODBC connection
// the driver is asked which database it talks to.
//
// Thread contract: use it only on the thread that opened it. Transaction
// contract: statements run in autocommit unless a unit of work is open (see
// UnitOfWork); a unit is one transaction on this connection, and units do not
// nest. Inside a preview, a unit is a savepoint of the preview's one
// transaction instead, and the preview always ends rolled back. Every failure
// raises zym::Error with the server's or driver's text.
class Connection : public QObject
{
    Q_OBJECT

public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    // A server text written as a folder path that is no existing folder
    // raises "Klasör bulunamadı: <path>"; a server the driver cannot reach,
    // the driver's text under "Sunucuya bağlanılamadı:".
    void open(const ConnectionSettings &settings);
    void close();
    bool isOpen() const;
    // The server text the connection was opened with, as typed.
    QString server() const { return m_server; }
    // The dialect of the database behind the connection.
    Backend backend() const { return m_backend; }

    // Reaches embedded folders through Qt's ODBC driver and the named ODBC
    // driver (SQLite's is "SQLite3") instead of Qt's SQLite driver, from the
    // next open on; empty for Qt's SQLite driver. For tests, which run the
    // production driver's code path on embedded files.
    void setEmbeddedOdbcDriver(const QString &driver) { m_embeddedOdbcDriver = driver; }
    QString currentDatabase() const { return m_currentDatabase; }

    // The company databases the master database lists, in the server's order.
    QStringList companies();

    // Makes `database` the current database of every later statement. A name
    // the server does not know leaves the current database as it was.
    void use(const QString &database);

    // Runs `sql` with `values` bound by parameter name (names without the
    // colon); returns the number of rows affected.
    int execute(const QString &sql, const QVariantMap &values);
    // Runs a query and returns its whole result.
    ResultSet fetch(const QString &sql, const QVariantMap &values);

    // Backs the current database up into a new file and returns where the
    // file went, as the server names it: on SQL Server a copy-only backup
    // into the instance's default backup folder, else the folder of the
    // database's data file; on the embedded backend a copy in the folder
    // "Yedek" beside the database's file, named from the server text as
    // typed. `at` names the file. Runs outside
    // any transaction; raises with the server's text when it fails.
    QString backUp(const QDateTime &at);

    void beginUnit();
    // A commit the server refuses leaves the unit rolled back and raises.
    void commitUnit();
    // A rollback that fails leaves the unit's state unknown: the connection
    // is closed and the driver's text raised.
    void rollbackUnit();
    bool inUnit() const { return m_inUnit; }

    // A preview: everything from here to endPreview runs in one transaction,
    // which endPreview rolls back, so nothing of it is kept, and the locks it
    // takes are held until it ends. Each unit inside it is a savepoint: its
    // commit releases it, its rollback goes back to it, so a unit stays all
    // or nothing within the preview. What a server checks only at a real
    // commit (SQLite's deferred foreign keys) is not checked by a release.
    // A rollback that fails closes the connection, which keeps nothing of an
    // open transaction, and raises.
    void beginPreview();
    void endPreview();
    bool inPreview() const { return m_inPreview; }

    // What the connection has sent the server since it was made: statements
    // run (each a round trip) and transactions committed.
    struct Activity
    {
        qint64 statements = 0;
        qint64 commits = 0;
    };
    Activity activity() const { return m_activity; }

    // Told of what runs on the connection. `executed`: every statement
    // executed outside an Unobserved scope, with its text as written, its
    // values and the rows it affected; throwing from it fails the statement.
    // `committing`: every unit about to be committed, inside its transaction;
    // throwing from it refuses the commit, which leaves the unit rolled back
    // and raises. `unitEnded`: every unit of work as it ends, kept
    // (committed) or not; it must not throw.
    struct Observer
    {
        std::function<void(const QString &sql, const QVariantMap &values, int affected)> executed;
        std::function<void()> committing;
        std::function<void(bool kept)> unitEnded;
    };

    // While it lives, statements run on the connection are not told to
    // observers: work done on behalf of units that were told of already.
    class Unobserved
    {
    public:
        explicit Unobserved(Connection &connection) : m_connection(connection), m_was(connection.m_unobserved)
        {
            m_connection.m_unobserved = true;
        }
        ~Unobserved() { m_connection.m_unobserved = m_was; }
        Unobserved(const Unobserved &) = delete;
        Unobserved &operator=(const Unobserved &) = delete;

    private:
        Connection &m_connection;
        bool m_was;
    };

    // An observer's registration: it is told until this is gone.
    class Observation
    {
    public:
        Observation(Observation &&other) noexcept;
        Observation &operator=(Observation &&other) noexcept;
        ~Observation();
        Observation(const Observation &) = delete;
        Observation &operator=(const Observation &) = delete;

    private:
        friend class Connection;
        Observation(Connection &connection, int id) : m_connection(&connection), m_id(id) {}
        void release();

        QPointer<Connection> m_connection;
        int m_id = 0;
    };

    // Observers are told in the order they were added.
    [[nodiscard]] Observation observe(Observer observer);

    // The driver's own handle (a sqlite3* or an SQLHDBC), for what Qt does not reach.
    QVariant nativeHandle() const;

signals:
    void connected();
    void disconnected();
    // Another database became the current one.
    void databaseChanged();

private:
    void openSqlServer(const ConnectionSettings &settings);
    void openSqlite(const ConnectionSettings &settings);
    void useDriver(const QString &driver);
    Backend odbcDialect() const;
    void openSqliteFile(const QString &database);
    QString sqliteFile(const QString &database) const;
    void requireOpen() const;
    QSqlQuery &prepared(const QString &sql, const QVariantMap &values);
    // Reads the current database's code page, which text parameters must fit.
    void readCodePage();
    void attachDatabases(const QStringList &databases);
    void execDirect(const QString &sql);
    // Runs `sql` with `values` bound as every statement binds them, to its
    // last result, telling no observer.
    void execBound(const QString &sql, const QVariantMap &values);
    QString backUpSqlServer(const QDateTime &at);
    QString backUpSqlite(const QDateTime &at);
    bool sqliteEndedTheTransaction() const;
    void commitPreviewUnit();
    // Tells the observers that the unit is about to commit; one that throws
    // has the unit rolled back and the error raised.
    void tellCommitting();
    // A unit's ending was refused with `refused`: rolls the unit back and raises.
    [[noreturn]] void rollbackRefused(const Error &refused);
    void endUnit(bool kept);
    // The rollback of a unit failed with `text`: closes the connection and raises.
    [[noreturn]] void failUnit(const QString &cause, const QString &text);

    const QString m_name;
    QSqlDatabase m_db;
    Backend m_backend = Backend::None;
    QString m_server;
    QString m_folder;
    QString m_embeddedOdbcDriver;
    QString m_masterSuffix;
    QString m_currentDatabase;
    QSet<QString> m_attached;
    struct Prepared
    {
        QSqlQuery query;
        // Set where the tool binds the parameters itself, once.
        std::shared_ptr<OdbcParameters> parameters;
    };
    std::unordered_map<QString, Prepared> m_statements;
    // Whether statements bind their parameters once (see OdbcParameters).
    bool m_bindsOnce = false;
    CodePage m_codePage;
    bool m_inUnit = false;
    bool m_inPreview = false;
    bool m_unobserved = false;
    QList<std::pair<int, Observer>> m_observers;
    int m_lastObserverId = 0;
    Activity m_activity;
};

} // namespace zym
