#pragma once

#include "ConnectionSettings.h"
#include "ResultSet.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantMap>

namespace zym {

enum class Backend { None, SqlServer, Sqlite };

// The tool's one database connection.
//
// Either SQL Server through ODBC, or, when the typed server names an existing
// folder, the embedded backend: each database is the file NAME.sqlite in that
// folder. Statement texts are T-SQL; the few things SQLite reads differently
// are adapted in one place before a text is prepared.
//
// Thread contract: use it only on the thread that opened it. Transaction
// contract: statements run in autocommit unless a unit of work is open (see
// UnitOfWork); a unit is one transaction on this connection, and units do not
// nest. Every failure raises zym::Error with the server's or driver's text.
class Connection : public QObject
{
    Q_OBJECT

public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    void open(const ConnectionSettings &settings);
    void close();
    bool isOpen() const;
    Backend backend() const { return m_backend; }
    QString currentDatabase() const { return m_currentDatabase; }

    // Makes `database` the current database of every later statement. A name
    // the server does not know leaves the current database as it was.
    void use(const QString &database);

    // Runs `sql` with `values` bound by parameter name (names without the
    // colon). A "USE" text switches the database instead. Returns the number
    // of rows affected.
    int execute(const QString &sql, const QVariantMap &values);

    // Runs a query and returns its whole result.
    ResultSet fetch(const QString &sql, const QVariantMap &values);

    void beginUnit();
    void commitUnit();
    void rollbackUnit() noexcept;
    bool inUnit() const { return m_inUnit; }

signals:
    void connected();
    void disconnected();

private:
    void openSqlServer(const ConnectionSettings &settings);
    void openSqlite(const ConnectionSettings &settings);
    void useDriver(const QString &driver);
    void openSqliteFile(const QString &database);
    QString sqliteFile(const QString &database) const;
    void requireOpen() const;
    QSqlQuery &prepared(const QString &sql, const QVariantMap &values);
    void attachDatabases(const QStringList &databases);
    void execDirect(const QString &sql);
    void forgetStatements();

    QSqlDatabase m_db;
    Backend m_backend = Backend::None;
    QString m_folder;
    QString m_currentDatabase;
    QSet<QString> m_attached;
    QHash<QString, QSqlQuery> m_statements;
    bool m_inUnit = false;
};

} // namespace zym
