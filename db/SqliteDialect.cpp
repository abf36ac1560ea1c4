#include "SqliteDialect.h"

#include "ConnectionSettings.h"
#include "DatabaseBackup.h"
#include "DirectStatement.h"
#include "EmbeddedFolder.h"
#include "Error.h"
#include "OdbcConnectionString.h"
#include "OdbcParameters.h"
#include "SqliteText.h"
#include "Tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

namespace zym {

namespace {

Error missingDatabase(const QString &database)
{
    return Error(
            QStringLiteral(
                    "Database '%1' does not exist. Make sure that the name is entered correctly.")
                    .arg(database));
}

} // namespace

SqliteDialect::SqliteDialect(QSqlDatabase &db, const ConnectionSettings &settings,
                             const QString &odbcDriver)
    : m_db(db),
      m_server(settings.server)
      // Kept absolute: a folder given from the working directory stays the same folder.
      ,
      m_folder(QFileInfo(settings.server).absoluteFilePath()),
      m_odbcDriver(odbcDriver)
{
    use(settings.masterDatabase());
}

void SqliteDialect::use(const QString &database)
{
    if (!QFileInfo::exists(file(database)))
        throw missingDatabase(database);
    openFile(database);
    m_database = database;
}

void SqliteDialect::openFile(const QString &database)
{
    m_db.close();
    m_attached.clear();
    if (!m_odbcDriver.isEmpty()) {
        // SQLite's ODBC driver takes the lock time-out as a key of its own.
        m_db.setDatabaseName(QStringLiteral("Driver={%1};Database=%2;Timeout=%3;NoCreat=1;")
                                     .arg(m_odbcDriver, OdbcConnectionString::quote(file(database)))
                                     .arg(lockTimeoutMs));
    } else {
        m_db.setDatabaseName(file(database));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockTimeoutMs));
    }
    if (!m_db.open())
        throw Error::fromSql(m_db.lastError());
    // In WAL mode a NORMAL sync keeps every commit through a killed process
    // and skips the flush to disk at each commit; only a power loss can take
    // back the last commits, never leave a unit half done.
    DirectStatement::run(m_db, QStringLiteral("PRAGMA journal_mode=WAL"));
    DirectStatement::run(m_db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    DirectStatement::run(m_db, QStringLiteral("PRAGMA temp_store=MEMORY"));
    for (const QString &pragma : SqliteText::bulkWritePragmas())
        DirectStatement::run(m_db, pragma);
}

QString SqliteDialect::file(const QString &database) const
{
    return EmbeddedFolder::databaseFile(m_folder, database);
}

ServerText SqliteDialect::serverText(const QString &sql)
{
    const SqliteText::Adapted adapted = SqliteText::adapt(sql, m_database);
    attach(adapted.databases);
    if (m_odbcDriver.isEmpty())
        return { adapted.text, nullptr };
    return OdbcParameters::serverText(adapted.text, CodePage());
}

void SqliteDialect::attach(const QStringList &databases)
{
    for (const QString &database : databases) {
        if (m_attached.contains(database))
            continue;
        const QString path = file(database);
        if (!QFileInfo::exists(path))
            throw missingDatabase(database);
        DirectStatement::run(m_db,
                             QStringLiteral("ATTACH DATABASE '%1' AS %2")
                                     .arg(QString(path).replace(u'\'', QStringLiteral("''")),
                                          SqliteText::quotedName(database)));
        m_attached.insert(database);
    }
}

QVariant SqliteDialect::bindable(const QVariant &value) const
{
    return SqliteText::bindable(value);
}

// Qt's SQLite driver takes a date-time column for text; the declared type
// says what it holds.
QMetaType SqliteDialect::columnType(const QSqlQuery &query, const QSqlRecord &record,
                                    int column) const
{
    const QVariant statement = query.result()->handle();
    if (qstrcmp(statement.typeName(), "sqlite3_stmt*") == 0) {
        auto *prepared = *static_cast<sqlite3_stmt *const *>(statement.constData());
        const char *declared = prepared ? sqlite3_column_decltype(prepared, column) : nullptr;
        if (declared && SqliteText::isDateTimeType(QString::fromUtf8(declared)))
            return QMetaType::fromType<QDateTime>();
    }
    return Dialect::columnType(query, record, column);
}

const PreviewStatements &SqliteDialect::previewStatements() const
{
    static const PreviewStatements statements{
        QStringLiteral("BEGIN TRANSACTION"),
        QStringLiteral("ROLLBACK TRANSACTION"),
        QStringLiteral("SAVEPOINT zym_unit"),
        { QStringLiteral("RELEASE SAVEPOINT zym_unit") },
        { QStringLiteral("ROLLBACK TRANSACTION TO SAVEPOINT zym_unit"),
          QStringLiteral("RELEASE SAVEPOINT zym_unit") },
    };
    return statements;
}

QString SqliteDialect::createTemporaryTable(const TableSpec &table) const
{
    QStringList columns;
    for (const ColumnSpec &column : table.columns)
        columns << QStringLiteral("%1 %2 NOT NULL").arg(column.name, column.type);
    return QStringLiteral("CREATE TABLE IF NOT EXISTS temp.%1(%2)")
            .arg(table.name, columns.join(QStringLiteral(", ")));
}

QString SqliteDialect::backUp(const QDateTime &at)
{
    const QString folder = EmbeddedFolder::backupFolder(m_folder);
    if (!QDir().mkpath(folder))
        throw Error(
                QStringLiteral("Klasör oluşturulamadı: %1").arg(QDir::toNativeSeparators(folder)));
    const QString name = DatabaseBackup::fileName(m_database, at, QStringLiteral(".sqlite"));
    const QString path = QDir(folder).filePath(name);
    // Like SQL Server's INIT, a backup of the same name is replaced.
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw Error(
                QStringLiteral("Eski yedek silinemedi: %1").arg(QDir::toNativeSeparators(path)));
    DirectStatement::runBound(m_db, serverText(DatabaseBackup::sqliteBackup),
                              { { QStringLiteral("pFile"), path } });
    // Named from the server text as typed, as the databases are.
    return QDir::toNativeSeparators(QDir(EmbeddedFolder::backupFolder(m_server)).filePath(name));
}

// Another connection's write lock: SQLITE_BUSY or SQLITE_LOCKED, with any
// extended code.
Error::Cause SqliteDialect::causeOf(const QSqlError &error) const
{
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED ? Error::Cause::Locked
                                                        : Error::Cause::Other;
}

// A COMMIT SQLite refuses has already rolled the transaction back. Only Qt's
// SQLite driver hands out the sqlite3 handle; behind ODBC the rollback that
// follows a refused commit ends the transaction.
bool SqliteDialect::refusedCommitEndedTheTransaction() const
{
    const QVariant handle = m_db.driver() ? m_db.driver()->handle() : QVariant();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    auto *db = *static_cast<sqlite3 *const *>(handle.constData());
    return db && sqlite3_get_autocommit(db) != 0;
}

} // namespace zym
