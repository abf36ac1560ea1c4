#pragma once

#include "Dialect.h"

#include <QSqlDatabase>

namespace zym {

struct ConnectionSettings;

// SQL Server through ODBC: Microsoft's drivers, or FreeTDS on Linux.
class SqlServerDialect : public Dialect
{
public:
    // Opens `db` (of Qt's ODBC driver) on the server the settings name. A
    // server the driver cannot reach raises the driver's text under
    // "Sunucuya bağlanılamadı:"; an untrusted certificate raises
    // UntrustedCertificate.
    SqlServerDialect(QSqlDatabase &db, const ConnectionSettings &settings);

    Kind kind() const override { return Kind::SqlServer; }
    Error::Cause causeOf(const QSqlError &error) const override;
    void use(const QString &database) override;
    ServerText serverText(const QString &sql) override;
    const PreviewStatements &previewStatements() const override;
    QString createTemporaryTable(const TableSpec &table) const override;
    QString backUp(const QDateTime &at) override;
    bool rollbackFoundNoTransaction(const Error &refusal) const override;

private:
    QSqlDatabase &m_db;
    QString m_database;
    // Whether statements bind their parameters once (see OdbcParameters).
    bool m_bindsOnce = false;
};

} // namespace zym
