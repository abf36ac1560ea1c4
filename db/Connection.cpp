#include "Connection.h"

#include "Error.h"
#include "OdbcConnectionString.h"
#include "OdbcDrivers.h"
#include "SqlText.h"
#include "SqliteDialect.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace zym {

namespace {

const QString connectionName = QStringLiteral("zym");
// Prepared statements kept for reuse; the card operations cycle through a
// few dozen texts, anything beyond that is prepared again.
constexpr qsizetype preparedLimit = 64;

Error errorOf(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return Error(text);
}

Error missingDatabase(const QString &database)
{
    return Error(QStringLiteral("Database '%1' does not exist. Make sure that the name is entered correctly.")
                     .arg(database));
}

} // namespace

Connection::Connection(QObject *parent)
    : QObject(parent)
{
}

Connection::~Connection()
{
    forgetStatements();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }
}

void Connection::open(const ConnectionSettings &settings)
{
    if (isOpen())
        close();
    if (QFileInfo(settings.server).isDir())
        openSqlite(settings);
    else
        openSqlServer(settings);
    m_currentDatabase = settings.masterDatabase();
    emit connected();
}

void Connection::openSqlServer(const ConnectionSettings &settings)
{
    const QString driver = OdbcConnectionString::chooseDriver(installedOdbcDrivers());
    if (driver.isEmpty())
        throw Error(QStringLiteral("SQL Server için ODBC sürücüsü bulunamadı (%1).")
                        .arg(OdbcConnectionString::preferredDrivers().join(QStringLiteral(", "))));
    useDriver(QStringLiteral("QODBC"));
    m_db.setDatabaseName(OdbcConnectionString::build(settings, driver));
    m_db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5"));
    if (!m_db.open())
        throw errorOf(m_db.lastError());
    m_backend = Backend::SqlServer;
}

void Connection::openSqlite(const ConnectionSettings &settings)
{
    m_folder = settings.server;
    const QString master = settings.masterDatabase();
    if (!QFileInfo::exists(sqliteFile(master)))
        throw missingDatabase(master);
    useDriver(QStringLiteral("QSQLITE"));
    openSqliteFile(master);
    m_backend = Backend::Sqlite;
}

void Connection::useDriver(const QString &driver)
{
    if (m_db.isValid() && m_db.driverName() == driver)
        return;
    if (m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }
    m_db = QSqlDatabase::addDatabase(driver, connectionName);
}

void Connection::openSqliteFile(const QString &database)
{
    forgetStatements();
    m_db.close();
    m_attached.clear();
    m_db.setDatabaseName(sqliteFile(database));
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open())
        throw errorOf(m_db.lastError());
    execDirect(QStringLiteral("PRAGMA journal_mode=WAL"));
    execDirect(QStringLiteral("PRAGMA temp_store=MEMORY"));
}

QString Connection::sqliteFile(const QString &database) const
{
    return QDir(m_folder).filePath(database + QStringLiteral(".sqlite"));
}

void Connection::close()
{
    if (!isOpen())
        return;
    if (m_inUnit)
        rollbackUnit();
    forgetStatements();
    m_db.close();
    m_backend = Backend::None;
    m_attached.clear();
    m_currentDatabase.clear();
    emit disconnected();
}

bool Connection::isOpen() const
{
    return m_backend != Backend::None && m_db.isOpen();
}

void Connection::requireOpen() const
{
    if (!isOpen())
        throw Error(QStringLiteral("Veritabanı bağlantısı açık değil."));
}

void Connection::use(const QString &database)
{
    requireOpen();
    if (m_inUnit)
        throw Error(QStringLiteral("Açık bir işlem varken veritabanı değiştirilemez."));
    if (m_backend == Backend::Sqlite) {
        if (!QFileInfo::exists(sqliteFile(database)))
            throw missingDatabase(database);
        openSqliteFile(database);
    } else {
        // A prepared USE would run inside sp_executesql and end with it.
        execDirect(QStringLiteral("USE ") + SqlText::bracketed(database));
        forgetStatements();
    }
    m_currentDatabase = database;
}

int Connection::execute(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    if (const auto target = SqlText::useTarget(sql)) {
        use(*target);
        return 0;
    }
    QSqlQuery &query = prepared(sql, values);
    if (!query.exec())
        throw errorOf(query.lastError());
    const int affected = query.numRowsAffected();
    query.finish();
    return affected;
}

ResultSet Connection::fetch(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    QSqlQuery &query = prepared(sql, values);
    if (!query.exec())
        throw errorOf(query.lastError());
    ResultSet result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        result.columns << record.fieldName(i);
        result.types << record.field(i).metaType();
    }
    while (query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << query.value(i);
        result.rows << row;
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw errorOf(error);
    return result;
}

QSqlQuery &Connection::prepared(const QString &sql, const QVariantMap &values)
{
    QString text = sql;
    if (m_backend == Backend::Sqlite) {
        const auto adapted = SqliteDialect::adapt(sql, m_currentDatabase);
        attachDatabases(adapted.databases);
        text = adapted.text;
    }
    auto found = m_statements.find(text);
    if (found == m_statements.end()) {
        if (m_statements.size() >= preparedLimit)
            forgetStatements();
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(text))
            throw errorOf(query.lastError());
        found = m_statements.insert(text, query);
    }
    QSqlQuery &query = found.value();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant value = m_backend == Backend::Sqlite ? SqliteDialect::bindable(it.value()) : it.value();
        query.bindValue(u':' + it.key(), value);
    }
    return query;
}

void Connection::attachDatabases(const QStringList &databases)
{
    for (const QString &database : databases) {
        if (m_attached.contains(database))
            continue;
        const QString file = sqliteFile(database);
        if (!QFileInfo::exists(file))
            throw missingDatabase(database);
        execDirect(QStringLiteral("ATTACH DATABASE '%1' AS %2")
                       .arg(QString(file).replace(u'\'', QStringLiteral("''")),
                            SqliteDialect::quotedName(database)));
        m_attached.insert(database);
    }
}

void Connection::execDirect(const QString &sql)
{
    QSqlQuery query(m_db);
    if (!query.exec(sql))
        throw errorOf(query.lastError());
}

void Connection::forgetStatements()
{
    m_statements.clear();
}

void Connection::beginUnit()
{
    requireOpen();
    if (m_inUnit)
        throw Error(QStringLiteral("İç içe işlem açılamaz."));
    if (!m_db.transaction())
        throw errorOf(m_db.lastError());
    m_inUnit = true;
}

void Connection::commitUnit()
{
    if (!m_inUnit)
        throw Error(QStringLiteral("Onaylanacak açık bir işlem yok."));
    if (!m_db.commit())
        throw errorOf(m_db.lastError());
    m_inUnit = false;
}

void Connection::rollbackUnit() noexcept
{
    if (!m_inUnit)
        return;
    m_db.rollback();
    m_inUnit = false;
}

} // namespace zym
