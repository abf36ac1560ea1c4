#pragma once

#include "Tables.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

namespace zym {

class Connection;

// Rows of one database written and read beside the operations: it lays out
// the tables and writes rows in bulk for the demo data, and lets tests seed
// and read back the rows the operations leave.
//
// Either direct access to an embedded file through Qt's SQLite driver, or a
// database reached through a connection of the tool, with the tool's own
// statements and binding, so that the same rows reach any backend.
class DatabaseSeeder
{
public:
    // Opens the file NAME.sqlite in `folder` directly, creating it when absent.
    DatabaseSeeder(const QString &folder, const QString &name);
    // The database `name` of the server `connection` is open on; each call
    // makes it the connection's current database first.
    DatabaseSeeder(Connection &connection, const QString &name);
    ~DatabaseSeeder();
    DatabaseSeeder(const DatabaseSeeder &) = delete;
    DatabaseSeeder &operator=(const DatabaseSeeder &) = delete;

    // Lays out `tables`; a `textCollation` such as NOCASE applies to every
    // text column, as a server's collation would. As on SQL Server, a text
    // column refuses a value longer than its width.
    void createTables(const QList<TableSpec> &tables, const QString &textCollation = QString());
    void exec(const QString &sql);
    // Inserts `rows` into `table`, all in one transaction; a null text or an
    // empty QVariant is written as NULL.
    void insert(const QString &table, const QStringList &columns, const QList<QVariantList> &rows);
    QList<QVariantList> select(const QString &sql);
    // The single value of a one-row, one-column query.
    QVariant scalar(const QString &sql);

private:
    Connection &selected();
    void inOneTransaction(const std::function<void()> &work);
    static QVariantMap namedValues(const QStringList &names, const QVariantList &row);

    QString m_connectionName;
    QSqlDatabase m_db;
    Connection *m_connection = nullptr;
    QString m_name;
};

} // namespace zym
