#pragma once

#include "CodePage.h"
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
    // Reads the current database's code page, which text parameters must fit.
    void readCodePage();

    QSqlDatabase &m_db;
    QString m_database;
    CodePage m_codePage;
};

} // namespace zym
