#pragma once

#include "Tables.h"

#include <QSqlDatabase>
#include <QVariantList>

namespace zym {

// Direct access to one embedded database file, beside the tool's connection:
// it lays out the tables and writes rows in bulk for the demo data, and lets
// tests seed and read back the rows the operations leave.
class EmbeddedDatabase
{
public:
    // Opens the file NAME.sqlite in `folder`, creating it when absent.
    EmbeddedDatabase(const QString &folder, const QString &name);
    ~EmbeddedDatabase();
    EmbeddedDatabase(const EmbeddedDatabase &) = delete;
    EmbeddedDatabase &operator=(const EmbeddedDatabase &) = delete;

    // Lays out `tables`; a `textCollation` such as NOCASE applies to every
    // text column, as a server's collation would.
    void createTables(const QList<TableSpec> &tables, const QString &textCollation = QString());
    void exec(const QString &sql);
    // Inserts `rows` into `table`, all in one transaction.
    void insert(const QString &table, const QStringList &columns, const QList<QVariantList> &rows);
    QList<QVariantList> select(const QString &sql);
    // The single value of a one-row, one-column query.
    QVariant scalar(const QString &sql);

private:
    QString m_connectionName;
    QSqlDatabase m_db;
};

} // namespace zym
