#pragma once

#include "Dialect.h"

#include <QSet>
#include <QSqlDatabase>

namespace zym {

struct ConnectionSettings;

// The embedded backend: each database is the file NAME.sqlite in a folder,
// reached through Qt's SQLite driver or, for tests, through Qt's ODBC driver
// and SQLite's ODBC driver. Another database is reached by attaching its
// file; making one current opens its file.
class SqliteDialect : public Dialect
{
public:
    // Opens the master database's file of the folder the settings' server
    // names. `odbcDriver`: the ODBC driver to reach the files through, empty
    // for Qt's SQLite driver (`db` is of the matching Qt driver).
    SqliteDialect(QSqlDatabase &db, const ConnectionSettings &settings, const QString &odbcDriver);

    Kind kind() const override { return Kind::Sqlite; }
    Error::Cause causeOf(const QSqlError &error) const override;
    void use(const QString &database) override;
    ServerText serverText(const QString &sql) override;
    QVariant bindable(const QVariant &value) const override;
    QMetaType columnType(const QSqlQuery &query, const QSqlRecord &record,
                         int column) const override;
    const PreviewStatements &previewStatements() const override;
    QString createTemporaryTable(const TableSpec &table) const override;
    QString backUp(const QDateTime &at) override;
    bool refusedCommitEndedTheTransaction() const override;

private:
    void openFile(const QString &database);
    QString file(const QString &database) const;
    void attach(const QStringList &databases);

    QSqlDatabase &m_db;
    QString m_server;
    QString m_folder;
    QString m_odbcDriver;
    QString m_database;
    QSet<QString> m_attached;
};

} // namespace zym
