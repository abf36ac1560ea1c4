#pragma once

#include "ConnectionSettings.h"
#include "Dialect.h"
#include "Error.h"
#include "Observers.h"
#include "ResultSet.h"
#include "Tables.h"
#include "Transactions.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantMap>

#include <memory>
#include <unordered_map>

namespace zym {

// One database connection of the tool.
//
// Either SQL Server through ODBC, or, when the typed server is the absolute
// path of a folder, the embedded backend: each database is the file
// NAME.sqlite in that folder. Statement texts are T-SQL with named
// parameters; the connection's dialect makes them what its server runs.
//
// Thread contract: use it only on the thread that opened it. Transaction
// contract: statements run in autocommit unless a unit of work is open (see
// UnitOfWork and Transactions). Every failure raises zym::Error with the
// server's or driver's text.
class Connection : public QObject
{
    Q_OBJECT

public:
    using Observer = zym::Observer;
    using Observation = zym::Observation;

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
    QString masterSuffix() const { return m_masterSuffix; }
    // What the database behind the open connection reads differently.
    const Dialect &dialect() const;

    // Reaches embedded folders through Qt's ODBC driver and the named ODBC
    // driver (SQLite's is "SQLite3") instead of Qt's SQLite driver, from the
    // next open on; empty for Qt's SQLite driver. For tests, which run the
    // production driver's code path on embedded files.
    void setEmbeddedOdbcDriver(const QString &driver) { m_embeddedOdbcDriver = driver; }
    QString currentDatabase() const { return m_currentDatabase; }

    // Makes `database` the current database of every later statement. A name
    // the server does not know leaves the current database as it was.
    void use(const QString &database);

    // Runs `sql` with `values` bound by parameter name (names without the
    // colon); returns the number of rows affected.
    int execute(const QString &sql, const QVariantMap &values);
    // Runs a query and returns its whole result.
    ResultSet fetch(const QString &sql, const QVariantMap &values);
    // Runs `sql` as written, with no parameters, as a batch of its own.
    void executeDirect(const QString &sql);

    // Makes the temporary table `table` (#NAME in statement texts) unless
    // the connection has it already; its text columns compare as the
    // database's own do. Call it outside any unit.
    void createTemporaryTable(const TableSpec &table);

    // Backs the current database up into a new file and returns where the
    // file went, as the server names it: on SQL Server a copy-only backup
    // into the instance's default backup folder, else the folder of the
    // database's data file; on the embedded backend a copy in the folder
    // "Yedek" beside the database's file, named from the server text as
    // typed. `at` names the file. Runs outside any transaction; raises with
    // the server's text when it fails.
    QString backUp(const QDateTime &at);

    // A plain transaction of the driver: what a unit of work is made of.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();

    // Units of work and previews (see Transactions).
    void beginUnit()
    {
        requireOpen();
        m_transactions.beginUnit();
    }
    void commitUnit() { m_transactions.commitUnit(); }
    void rollbackUnit() { m_transactions.rollbackUnit(); }
    bool inUnit() const { return m_transactions.inUnit(); }
    void beginPreview()
    {
        requireOpen();
        m_transactions.beginPreview();
    }
    void endPreview() { m_transactions.endPreview(); }
    bool inPreview() const { return m_transactions.inPreview(); }

    // What the connection has sent the server since it was made: statements
    // run (each a round trip) and transactions committed.
    struct Activity
    {
        qint64 statements = 0;
        qint64 commits = 0;
    };
    Activity activity() const { return m_activity; }

    [[nodiscard]] Observation observe(Observer observer)
    {
        return m_observers.add(std::move(observer));
    }
    const Observers &observers() const { return m_observers; }

    // Whether a statement found the connection to the server gone; the
    // server then keeps nothing of the transaction that was open.
    bool lost() const { return m_lost; }

    // The driver's own handle (a sqlite3* or an SQLHDBC), for what Qt does not reach.
    QVariant nativeHandle() const;

signals:
    void connected();
    void disconnected();
    // Another database became the current one.
    void databaseChanged();

private:
    void useDriver(const QString &driver);
    void requireOpen() const;
    void requireNoTransaction(const QString &refusal) const;
    struct Prepared;
    Prepared &prepared(const QString &sql, const QVariantMap &values);
    // The error of a failed statement, with its cause as the dialect reads it.
    Error failure(const QSqlError &error);

    const QString m_name;
    QSqlDatabase m_db;
    std::unique_ptr<Dialect> m_dialect;
    QString m_server;
    QString m_embeddedOdbcDriver;
    QString m_masterSuffix;
    QString m_currentDatabase;
    struct Prepared
    {
        QSqlQuery query;
        // Set where the tool binds the parameters itself, once, and reads
        // the rows itself: behind ODBC.
        std::shared_ptr<OdbcParameters> parameters;
    };
    std::unordered_map<QString, Prepared> m_statements;
    Transactions m_transactions{ *this };
    Observers m_observers;
    Activity m_activity;
    bool m_lost = false;
};

} // namespace zym
