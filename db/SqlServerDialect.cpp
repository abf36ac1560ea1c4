#include "SqlServerDialect.h"

#include "ConnectionSettings.h"
#include "DatabaseBackup.h"
#include "DirectStatement.h"
#include "Error.h"
#include "OdbcConnectionString.h"
#include "OdbcDrivers.h"
#include "OdbcParameters.h"
#include "SqlText.h"
#include "Tables.h"

#include <QSqlError>

namespace zym {

namespace {

// A server whose user options include NOCOUNT would report no row counts,
// and a statement meant for one record could not tell whether it found it.
const QString reportRowCounts = QStringLiteral("SET NOCOUNT OFF");
// Without it a statement waits for a lock as long as another user holds it.
const QString lockTimeout = QStringLiteral("SET LOCK_TIMEOUT %1").arg(Dialect::lockTimeoutMs);

constexpr int deadlockVictim = 1205;
constexpr int lockRequestTimedOut = 1222;
constexpr int noTransactionToRollBack = 3903;

// The native codes of a connection gone: FreeTDS's own (read, write,
// unexpected end of data) and the network's, as Microsoft's drivers report
// them on Windows and on Linux.
bool connectionGone(int code)
{
    static const QList<int> codes{ 20004, 20006, 20017, 10053, 10054, 104, 32, 232, 233 };
    return codes.contains(code);
}

} // namespace

SqlServerDialect::SqlServerDialect(QSqlDatabase &db, const ConnectionSettings &settings)
    : m_db(db), m_database(settings.masterDatabase())
{
    const QString driver = OdbcConnectionString::chooseDriver(installedOdbcDrivers());
    if (driver.isEmpty())
        throw Error(
                QStringLiteral("SQL Server için ODBC sürücüsü bulunamadı (%1).")
                        .arg(OdbcConnectionString::preferredDrivers().join(QStringLiteral(", "))));
    if (const QString refused = OdbcConnectionString::refusal(settings, driver); !refused.isEmpty())
        throw Error(refused);
    m_db.setDatabaseName(OdbcConnectionString::build(settings, driver));
    m_db.setConnectOptions(OdbcConnectionString::connectOptions());
    if (!m_db.open()) {
        const QSqlError refused = m_db.lastError();
        const Error error = Error::fromSql(refused);
        if (!settings.trustServerCertificate
            && rejectsServerCertificate(driver, refused.nativeErrorCode(), error.text()))
            throw UntrustedCertificate(error.text());
        throw Error(QStringLiteral("Sunucuya bağlanılamadı:\n") + error.text());
    }
    DirectStatement::run(m_db, reportRowCounts);
    DirectStatement::run(m_db, lockTimeout);
    readCodePage();
}

void SqlServerDialect::readCodePage()
{
    m_codePage = CodePage(DirectStatement::fetch(m_db, CodePage::query).value(0).value(0).toInt());
}

// The driver joins the codes of several diagnostic records with ";".
Error::Cause SqlServerDialect::causeOf(const QSqlError &error) const
{
    const QStringList codes = error.nativeErrorCode().split(u';', Qt::SkipEmptyParts);
    for (const QString &each : codes) {
        if (connectionGone(each.trimmed().toInt()))
            return Error::Cause::ConnectionLost;
    }
    switch (codes.value(0).trimmed().toInt()) {
    case deadlockVictim:
        return Error::Cause::DeadlockVictim;
    case lockRequestTimedOut:
        return Error::Cause::Locked;
    case noTransactionToRollBack:
        return Error::Cause::NoTransaction;
    default:
        return Error::Cause::Other;
    }
}

// The server's own answer tells: a rollback with no transaction to end.
// Asked by a statement instead, the driver would open one first. The driver
// still takes itself to be inside a transaction, and ending its own would
// meet the same answer: it is given one to roll back.
bool SqlServerDialect::rollbackFoundNoTransaction(const Error &refusal) const
{
    if (refusal.cause() != Error::Cause::NoTransaction)
        return false;
    DirectStatement::run(m_db, QStringLiteral("BEGIN TRANSACTION"));
    return m_db.rollback();
}

void SqlServerDialect::use(const QString &database)
{
    // A prepared USE would run inside sp_executesql and end with it.
    DirectStatement::run(m_db, QStringLiteral("USE ") + SqlText::bracketed(database));
    m_database = database;
    readCodePage();
}

ServerText SqlServerDialect::serverText(const QString &sql)
{
    return OdbcParameters::serverText(sql, m_codePage);
}

// SQL Server has no release: a savepoint left in place costs nothing, and a
// rollback to a name goes back to the latest savepoint of that name.
const PreviewStatements &SqlServerDialect::previewStatements() const
{
    static const PreviewStatements statements{
        QStringLiteral("BEGIN TRANSACTION"),
        QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"),
        QStringLiteral("SAVE TRANSACTION zym_unit"),
        {},
        { QStringLiteral("ROLLBACK TRANSACTION zym_unit") },
    };
    return statements;
}

QString SqlServerDialect::createTemporaryTable(const TableSpec &table) const
{
    QStringList columns;
    for (const ColumnSpec &column : table.columns) {
        // A temporary table lives in tempdb: without it its text columns
        // would compare under tempdb's collation.
        const bool text = column.type.contains(QStringLiteral("CHAR"), Qt::CaseInsensitive);
        columns << QStringLiteral("%1 %2%3 NOT NULL")
                           .arg(column.name, column.type,
                                text ? QStringLiteral(" COLLATE DATABASE_DEFAULT") : QString());
    }
    return QStringLiteral("IF OBJECT_ID('tempdb..#%1') IS NULL CREATE TABLE #%1(%2)")
            .arg(table.name, columns.join(QStringLiteral(", ")));
}

QString SqlServerDialect::backUp(const QDateTime &at)
{
    const QList<QVariantList> folders =
            DirectStatement::fetch(m_db, DatabaseBackup::sqlServerFolders);
    const QVariantList row = folders.value(0);
    const QString folder =
            DatabaseBackup::sqlServerFolder(row.value(0).toString(), row.value(1).toString());
    if (folder.isEmpty())
        throw Error(QStringLiteral("Sunucunun yedek klasörü bulunamadı."));
    const QString file = DatabaseBackup::serverPath(
            folder, DatabaseBackup::fileName(m_database, at, QStringLiteral(".bak")));
    DirectStatement::runBound(
            m_db, serverText(DatabaseBackup::sqlServerBackup),
            { { QStringLiteral("pDb"), m_database }, { QStringLiteral("pFile"), file } });
    return file;
}

} // namespace zym
