#include "Connection.h"

#include "DatabaseBackup.h"
#include "EmbeddedFolder.h"
#include "OdbcConnectionString.h"
#include "OdbcDrivers.h"
#include "OdbcParameters.h"
#include "SqlText.h"
#include "SqliteDialect.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <atomic>
#include <limits>
#include <utility>

namespace zym {

namespace {

// Prepared statements kept for reuse; an operation cycles through a few dozen
// texts, anything beyond that is prepared again.
constexpr qsizetype preparedLimit = 256;

QString uniqueConnectionName()
{
    static std::atomic<int> count{0};
    return QStringLiteral("zym-%1").arg(++count);
}

// A server whose user options include NOCOUNT would report no row counts,
// and a statement meant for one record could not tell whether it found it.
const QString reportRowCounts = QStringLiteral("SET NOCOUNT OFF");

Error missingDatabase(const QString &database)
{
    return Error(QStringLiteral("Database '%1' does not exist. Make sure that the name is entered correctly.")
                     .arg(database));
}

// A null text binds as empty text: the product writes '' where a value is
// missing, never NULL.
QVariant bindable(const QVariant &value, Backend backend)
{
    if (value.metaType() == QMetaType::fromType<QString>() && value.toString().isNull())
        return QStringLiteral("");
    return backend == Backend::Sqlite ? SqliteDialect::bindable(value) : value;
}

// A value as Qt's ODBC driver reads it from SQL Server: of its column's
// type, NULL as a null of that type. Qt's SQLite driver reads every integer
// as a 64-bit one, a NULL as a null text, and a date-time as its stored text.
QVariant readable(const QVariant &value, QMetaType type)
{
    if (value.isNull())
        return QVariant(type);
    if (value.metaType() == type)
        return value;
    if (type == QMetaType::fromType<QDateTime>() && value.metaType() == QMetaType::fromType<QString>())
        return SqliteDialect::storedDateTime(value.toString());
    if (type == QMetaType::fromType<int>() && value.metaType() == QMetaType::fromType<qlonglong>()) {
        const qlonglong integer = value.toLongLong();
        if (integer >= std::numeric_limits<int>::min() && integer <= std::numeric_limits<int>::max())
            return int(integer);
    }
    return value;
}

// The type of a result column. Qt's SQLite driver takes a date-time column
// for text; the declared type says what it holds.
QMetaType columnType(const QSqlQuery &query, const QSqlRecord &record, int column)
{
    const QVariant statement = query.result()->handle();
    if (qstrcmp(statement.typeName(), "sqlite3_stmt*") == 0) {
        auto *prepared = *static_cast<sqlite3_stmt *const *>(statement.constData());
        const char *declared = prepared ? sqlite3_column_decltype(prepared, column) : nullptr;
        if (declared && SqliteDialect::isDateTimeType(QString::fromUtf8(declared)))
            return QMetaType::fromType<QDateTime>();
    }
    return record.field(column).metaType();
}

// The statements of a preview: one transaction opened and rolled back by
// text, and a savepoint per unit. SQL Server has no release: a savepoint
// left in place costs nothing, and a rollback to a name goes back to the
// latest savepoint of that name. No driver transaction is used, so the
// driver never ends the preview's transaction behind its back.
struct PreviewStatements
{
    QString begin;
    QString end;
    QString unitBegin;
    QStringList unitKept;
    QStringList unitTakenBack;
};

QString previewLost(const QString &failure)
{
    return QStringLiteral("Önizleme geri alınamadı, bağlantı kapatıldı; hiçbir değişiklik kaydedilmedi: %1").arg(failure);
}

const PreviewStatements &previewStatements(Backend backend)
{
    static const PreviewStatements sqlite{
        QStringLiteral("BEGIN TRANSACTION"),
        QStringLiteral("ROLLBACK TRANSACTION"),
        QStringLiteral("SAVEPOINT zym_unit"),
        {QStringLiteral("RELEASE SAVEPOINT zym_unit")},
        {QStringLiteral("ROLLBACK TRANSACTION TO SAVEPOINT zym_unit"), QStringLiteral("RELEASE SAVEPOINT zym_unit")},
    };
    static const PreviewStatements sqlServer{
        QStringLiteral("BEGIN TRANSACTION"),
        QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"),
        QStringLiteral("SAVE TRANSACTION zym_unit"),
        {},
        {QStringLiteral("ROLLBACK TRANSACTION zym_unit")},
    };
    return backend == Backend::Sqlite ? sqlite : sqlServer;
}

} // namespace

Connection::Observation::Observation(Observation &&other) noexcept
    : m_connection(std::exchange(other.m_connection, nullptr))
    , m_id(other.m_id)
{
}

Connection::Observation &Connection::Observation::operator=(Observation &&other) noexcept
{
    if (this != &other) {
        release();
        m_connection = std::exchange(other.m_connection, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

Connection::Observation::~Observation()
{
    release();
}

void Connection::Observation::release()
{
    if (!m_connection)
        return;
    m_connection->m_observers.removeIf([this](const auto &entry) { return entry.first == m_id; });
    m_connection = nullptr;
}

Connection::Connection(QObject *parent)
    : QObject(parent)
    , m_name(uniqueConnectionName())
{
}

Connection::~Connection()
{
    m_statements.clear();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

void Connection::open(const ConnectionSettings &settings)
{
    if (isOpen())
        close();
    if (EmbeddedFolder::isEmbedded(settings.server))
        openSqlite(settings);
    else if (EmbeddedFolder::isFolderPath(settings.server))
        throw Error(QStringLiteral("Klasör bulunamadı: %1").arg(QDir::toNativeSeparators(settings.server)));
    else
        openSqlServer(settings);
    m_server = settings.server;
    m_masterSuffix = settings.masterSuffix;
    m_currentDatabase = settings.masterDatabase();
    emit connected();
}

void Connection::openSqlServer(const ConnectionSettings &settings)
{
    const QString driver = OdbcConnectionString::chooseDriver(installedOdbcDrivers());
    if (driver.isEmpty())
        throw Error(QStringLiteral("SQL Server için ODBC sürücüsü bulunamadı (%1).")
                        .arg(OdbcConnectionString::preferredDrivers().join(QStringLiteral(", "))));
    if (const QString refused = OdbcConnectionString::refusal(settings, driver); !refused.isEmpty())
        throw Error(refused);
    useDriver(QStringLiteral("QODBC"));
    m_db.setDatabaseName(OdbcConnectionString::build(settings, driver));
    m_db.setConnectOptions(OdbcConnectionString::connectOptions());
    if (!m_db.open()) {
        const QSqlError refused = m_db.lastError();
        const Error error = Error::fromSql(refused);
        if (!settings.trustServerCertificate && rejectsServerCertificate(driver, refused.nativeErrorCode(), error.text()))
            throw UntrustedCertificate(error.text());
        throw Error(QStringLiteral("Sunucuya bağlanılamadı:\n") + error.text());
    }
    m_backend = odbcDialect();
    if (m_backend == Backend::SqlServer) {
        execDirect(reportRowCounts);
        readCodePage();
    }
}

void Connection::openSqlite(const ConnectionSettings &settings)
{
    // Kept absolute: a folder given from the working directory stays the same folder.
    m_folder = QFileInfo(settings.server).absoluteFilePath();
    const QString master = settings.masterDatabase();
    if (!QFileInfo::exists(sqliteFile(master)))
        throw missingDatabase(master);
    const bool throughOdbc = !m_embeddedOdbcDriver.isEmpty();
    useDriver(throughOdbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"));
    openSqliteFile(master);
    m_backend = throughOdbc ? odbcDialect() : Backend::Sqlite;
}

void Connection::useDriver(const QString &driver)
{
    if (m_db.isValid() && m_db.driverName() == driver)
        return;
    if (m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    m_db = QSqlDatabase::addDatabase(driver, m_name);
    // Qt binds at every execution, which FreeTDS answers by preparing anew,
    // and hands Unicode drivers text with its terminating NUL counted.
    m_bindsOnce = driver == QStringLiteral("QODBC");
}

Backend Connection::odbcDialect() const
{
    return odbcDbmsName(nativeHandle()) == QStringLiteral("SQLite") ? Backend::Sqlite : Backend::SqlServer;
}

void Connection::openSqliteFile(const QString &database)
{
    m_statements.clear();
    m_db.close();
    m_attached.clear();
    if (m_db.driverName() == QStringLiteral("QODBC")) {
        // SQLite's ODBC driver takes the lock time-out as a key of its own.
        m_db.setDatabaseName(QStringLiteral("Driver={%1};Database=%2;Timeout=5000;NoCreat=1;")
                                 .arg(m_embeddedOdbcDriver, OdbcConnectionString::quote(sqliteFile(database))));
    } else {
        m_db.setDatabaseName(sqliteFile(database));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!m_db.open())
        throw Error::fromSql(m_db.lastError());
    // In WAL mode a NORMAL sync keeps every commit through a killed process
    // and skips the flush to disk at each commit; only a power loss can take
    // back the last commits, never leave a unit half done.
    execDirect(QStringLiteral("PRAGMA journal_mode=WAL"));
    execDirect(QStringLiteral("PRAGMA synchronous=NORMAL"));
    execDirect(QStringLiteral("PRAGMA temp_store=MEMORY"));
    for (const QString &pragma : SqliteDialect::bulkWritePragmas())
        execDirect(pragma);
}

QString Connection::sqliteFile(const QString &database) const
{
    return EmbeddedFolder::databaseFile(m_folder, database);
}

void Connection::close()
{
    if (!isOpen())
        return;
    // Closing keeps nothing of an open transaction, a preview's included.
    if (m_inUnit) {
        if (!m_inPreview)
            m_db.rollback();
        endUnit(false);
    }
    m_inPreview = false;
    m_statements.clear();
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

QStringList Connection::companies()
{
    // The master is named explicitly, so the list works from any database.
    const ResultSet rows = fetch(QStringLiteral("SELECT * FROM ") + SqlText::bracketed(masterDatabaseName(m_masterSuffix))
                                     + QStringLiteral(".dbo.SIRKET    "),
                                 {});
    const qsizetype column = rows.columnIndex(QStringLiteral("SIRDBNAME"));
    if (column < 0)
        throw Error(QStringLiteral("SIRKET: 'SIRDBNAME' alanı bulunamadı"));
    QStringList names;
    for (const QVariantList &row : rows.rows)
        names << (row.at(column).isNull() ? QString() : row.at(column).toString());
    return names;
}

void Connection::use(const QString &database)
{
    requireOpen();
    if (m_inUnit || m_inPreview)
        throw Error(QStringLiteral("Açık bir işlem varken veritabanı değiştirilemez."));
    if (m_backend == Backend::Sqlite) {
        if (!QFileInfo::exists(sqliteFile(database)))
            throw missingDatabase(database);
        openSqliteFile(database);
    } else {
        // A prepared USE would run inside sp_executesql and end with it.
        execDirect(QStringLiteral("USE ") + SqlText::bracketed(database));
        m_statements.clear();
        readCodePage();
    }
    const bool changed = database != std::exchange(m_currentDatabase, database);
    if (changed)
        emit databaseChanged();
}

int Connection::execute(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    QSqlQuery &query = prepared(sql, values);
    ++m_activity.statements;
    if (!query.exec())
        throw Error::fromSql(query.lastError());
    const int affected = query.numRowsAffected();
    query.finish();
    if (m_unobserved)
        return affected;
    // A copy: an observer may come or go while they are told.
    const auto observers = m_observers;
    for (const auto &[id, observer] : observers) {
        if (observer.executed)
            observer.executed(sql, values, affected);
    }
    return affected;
}

ResultSet Connection::fetch(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    QSqlQuery &query = prepared(sql, values);
    ++m_activity.statements;
    if (!query.exec())
        throw Error::fromSql(query.lastError());
    ResultSet result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        result.columns << record.fieldName(i);
        result.types << columnType(query, record, i);
    }
    while (query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << readable(query.value(i), result.types.at(i));
        result.rows << row;
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw Error::fromSql(error);
    return result;
}

QSqlQuery &Connection::prepared(const QString &sql, const QVariantMap &values)
{
    // Keyed by the text as written: it is adapted and prepared once per
    // database, however often it runs.
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        QString text = SqlText::withoutComments(sql);
        std::shared_ptr<OdbcParameters> parameters;
        if (m_backend == Backend::Sqlite) {
            const auto adapted = SqliteDialect::adapt(text, m_currentDatabase);
            attachDatabases(adapted.databases);
            text = adapted.text;
        }
        if (m_bindsOnce) {
            SqlText::Positional positional = SqlText::positional(text);
            text = positional.text;
            parameters = std::make_shared<OdbcParameters>(std::move(positional.names),
                                                          m_backend == Backend::SqlServer ? m_codePage : CodePage());
        }
        if (qsizetype(m_statements.size()) >= preparedLimit)
            m_statements.clear();
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(text))
            throw Error::fromSql(query.lastError());
        found = m_statements.emplace(sql, Prepared{std::move(query), std::move(parameters)}).first;
    }
    Prepared &statement = found->second;
    if (statement.parameters) {
        QVariantMap bound;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            bound.insert(it.key(), bindable(it.value(), m_backend));
        statement.parameters->fill(*static_cast<void *const *>(statement.query.result()->handle().constData()), bound);
        return statement.query;
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        statement.query.bindValue(u':' + it.key(), bindable(it.value(), m_backend));
    return statement.query;
}

void Connection::readCodePage()
{
    m_codePage = CodePage(fetch(CodePage::query, {}).rows.value(0).value(0).toInt());
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
    // A query that may scroll asks for a server cursor, and FreeTDS then
    // wraps even a USE or a BEGIN TRANSACTION in a cursor procedure, whose
    // call they would end with.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
}

void Connection::execBound(const QString &sql, const QVariantMap &values)
{
    QSqlQuery &query = prepared(sql, values);
    ++m_activity.statements;
    if (!query.exec())
        throw Error::fromSql(query.lastError());
    // SQL Server reports a backup's progress as messages, and a failure
    // after them only in a later result: every result is read.
    while (query.nextResult()) {
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw Error::fromSql(error);
}

QString Connection::backUp(const QDateTime &at)
{
    requireOpen();
    if (m_inUnit || m_inPreview)
        throw Error(QStringLiteral("Açık bir işlem varken yedek alınamaz."));
    return m_backend == Backend::Sqlite ? backUpSqlite(at) : backUpSqlServer(at);
}

QString Connection::backUpSqlServer(const QDateTime &at)
{
    const ResultSet folders = fetch(DatabaseBackup::sqlServerFolders, {});
    const QVariantList row = folders.rows.value(0);
    const QString folder = DatabaseBackup::sqlServerFolder(row.value(0).toString(), row.value(1).toString());
    if (folder.isEmpty())
        throw Error(QStringLiteral("Sunucunun yedek klasörü bulunamadı."));
    const QString file = DatabaseBackup::serverPath(folder, DatabaseBackup::fileName(m_currentDatabase, at, QStringLiteral(".bak")));
    execBound(DatabaseBackup::sqlServerBackup, {{QStringLiteral("pDb"), m_currentDatabase}, {QStringLiteral("pFile"), file}});
    return file;
}

QString Connection::backUpSqlite(const QDateTime &at)
{
    const QString folder = EmbeddedFolder::backupFolder(m_folder);
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Klasör oluşturulamadı: %1").arg(QDir::toNativeSeparators(folder)));
    const QString name = DatabaseBackup::fileName(m_currentDatabase, at, QStringLiteral(".sqlite"));
    const QString file = QDir(folder).filePath(name);
    // Like SQL Server's INIT, a backup of the same name is replaced.
    if (QFileInfo::exists(file) && !QFile::remove(file))
        throw Error(QStringLiteral("Eski yedek silinemedi: %1").arg(QDir::toNativeSeparators(file)));
    execBound(DatabaseBackup::sqliteBackup, {{QStringLiteral("pFile"), file}});
    // Named from the server text as typed, as the databases are.
    return QDir::toNativeSeparators(QDir(EmbeddedFolder::backupFolder(m_server)).filePath(name));
}

QVariant Connection::nativeHandle() const
{
    return m_db.isValid() && m_db.driver() ? m_db.driver()->handle() : QVariant();
}

Connection::Observation Connection::observe(Observer observer)
{
    m_observers.append({++m_lastObserverId, std::move(observer)});
    return Observation(*this, m_lastObserverId);
}

void Connection::beginUnit()
{
    requireOpen();
    if (m_inUnit)
        throw Error(QStringLiteral("İç içe işlem açılamaz."));
    if (m_inPreview)
        execDirect(previewStatements(m_backend).unitBegin);
    else if (!m_db.transaction())
        throw Error::fromSql(m_db.lastError());
    m_inUnit = true;
}

void Connection::commitUnit()
{
    if (!m_inUnit)
        throw Error(QStringLiteral("Onaylanacak açık bir işlem yok."));
    tellCommitting();
    if (m_inPreview) {
        commitPreviewUnit();
        return;
    }
    if (m_db.commit()) {
        ++m_activity.commits;
        endUnit(true);
        return;
    }
    const QString cause = Error::fromSql(m_db.lastError()).text();
    // A COMMIT SQLite refuses has already rolled the transaction back.
    if (sqliteEndedTheTransaction()) {
        endUnit(false);
        throw Error(cause);
    }
    if (!m_db.rollback())
        failUnit(cause, Error::fromSql(m_db.lastError()).text());
    endUnit(false);
    throw Error(cause);
}

void Connection::tellCommitting()
{
    try {
        const auto observers = m_observers;
        for (const auto &[id, observer] : observers) {
            if (observer.committing)
                observer.committing();
        }
    } catch (const Error &refused) {
        rollbackRefused(refused);
    }
}

void Connection::rollbackRefused(const Error &refused)
{
    try {
        rollbackUnit();
    } catch (const Error &failure) {
        throw Error(refused.text() + u'\n' + failure.text());
    }
    throw refused;
}

void Connection::commitPreviewUnit()
{
    try {
        for (const QString &sql : previewStatements(m_backend).unitKept)
            execDirect(sql);
    } catch (const Error &refused) {
        rollbackRefused(refused);
    }
    endUnit(true);
}

void Connection::rollbackUnit()
{
    if (!m_inUnit)
        return;
    if (m_inPreview) {
        try {
            for (const QString &sql : previewStatements(m_backend).unitTakenBack)
                execDirect(sql);
        } catch (const Error &failure) {
            failUnit(QString(), failure.text());
        }
    } else if (!m_db.rollback()) {
        failUnit(QString(), Error::fromSql(m_db.lastError()).text());
    }
    endUnit(false);
}

void Connection::beginPreview()
{
    requireOpen();
    if (m_inUnit || m_inPreview)
        throw Error(QStringLiteral("İç içe işlem açılamaz."));
    execDirect(previewStatements(m_backend).begin);
    m_inPreview = true;
}

void Connection::endPreview()
{
    if (!m_inPreview)
        return;
    if (m_inUnit)
        endUnit(false);
    try {
        execDirect(previewStatements(m_backend).end);
    } catch (const Error &failure) {
        close();
        throw Error(previewLost(failure.text()));
    }
    m_inPreview = false;
}

void Connection::endUnit(bool kept)
{
    m_inUnit = false;
    const auto observers = m_observers;
    for (const auto &[id, observer] : observers) {
        if (observer.unitEnded)
            observer.unitEnded(kept);
    }
}

bool Connection::sqliteEndedTheTransaction() const
{
    // Only Qt's SQLite driver hands out the sqlite3 handle; behind ODBC the
    // rollback that follows a refused commit ends the transaction.
    const QVariant handle = nativeHandle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    auto *db = *static_cast<sqlite3 *const *>(handle.constData());
    return db && sqlite3_get_autocommit(db) != 0;
}

void Connection::failUnit(const QString &cause, const QString &text)
{
    // A closed connection keeps nothing of a preview; a real unit's rows may
    // be anywhere between its start and its end.
    const bool previewed = m_inPreview;
    endUnit(false);
    close();
    QString message = previewed ? previewLost(text)
                                : QStringLiteral("İşlem geri alınamadı, bağlantı kapatıldı; verinin durumu bilinmiyor: %1").arg(text);
    if (!cause.isEmpty())
        message = cause + u'\n' + message;
    throw Error(message);
}

} // namespace zym
