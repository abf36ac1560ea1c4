#include "Connection.h"

#include "EmbeddedFolder.h"
#include "OdbcParameters.h"
#include "OdbcRow.h"
#include "SqlServerDialect.h"
#include "SqlText.h"
#include "SqliteDialect.h"
#include "SqliteText.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QSqlResult>

#include <atomic>
#include <limits>

namespace zym {

namespace {

// Prepared statements kept for reuse; an operation cycles through a few dozen
// texts, anything beyond that is prepared again.
constexpr qsizetype preparedLimit = 256;

QString uniqueConnectionName()
{
    static std::atomic<int> count{ 0 };
    return QStringLiteral("zym-%1").arg(++count);
}

// A null text binds as empty text: the product writes '' where a value is
// missing, never NULL.
QVariant bindable(const QVariant &value, const Dialect &dialect)
{
    if (value.metaType() == QMetaType::fromType<QString>() && value.toString().isNull())
        return QStringLiteral("");
    return dialect.bindable(value);
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
    if (type == QMetaType::fromType<QDateTime>()
        && value.metaType() == QMetaType::fromType<QString>())
        return SqliteText::storedDateTime(value.toString());
    if (type == QMetaType::fromType<int>()
        && value.metaType() == QMetaType::fromType<qlonglong>()) {
        const qlonglong integer = value.toLongLong();
        if (integer >= std::numeric_limits<int>::min()
            && integer <= std::numeric_limits<int>::max())
            return int(integer);
    }
    return value;
}

} // namespace

Connection::Connection(QObject *parent) : QObject(parent), m_name(uniqueConnectionName()) { }

Connection::~Connection()
{
    m_statements.clear();
    m_dialect.reset();
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
    if (EmbeddedFolder::isEmbedded(settings.server)) {
        useDriver(m_embeddedOdbcDriver.isEmpty() ? QStringLiteral("QSQLITE")
                                                 : QStringLiteral("QODBC"));
        m_dialect = std::make_unique<SqliteDialect>(m_db, settings, m_embeddedOdbcDriver);
    } else if (EmbeddedFolder::isFolderPath(settings.server)) {
        throw Error(QStringLiteral("Klasör bulunamadı: %1")
                            .arg(QDir::toNativeSeparators(settings.server)));
    } else {
        useDriver(QStringLiteral("QODBC"));
        m_dialect = std::make_unique<SqlServerDialect>(m_db, settings);
    }
    m_lost = false;
    m_server = settings.server;
    m_masterSuffix = settings.masterSuffix;
    m_currentDatabase = settings.masterDatabase();
    emit connected();
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
}

void Connection::close()
{
    if (!isOpen())
        return;
    // Closing keeps nothing of an open transaction, a preview's included.
    if (m_transactions.closing())
        m_db.rollback();
    m_statements.clear();
    m_db.close();
    m_dialect.reset();
    m_currentDatabase.clear();
    emit disconnected();
}

bool Connection::isOpen() const
{
    return m_dialect && m_db.isOpen();
}

const Dialect &Connection::dialect() const
{
    requireOpen();
    return *m_dialect;
}

void Connection::requireOpen() const
{
    if (!isOpen())
        throw Error(QStringLiteral("Veritabanı bağlantısı açık değil."));
}

void Connection::requireNoTransaction(const QString &refusal) const
{
    requireOpen();
    if (inUnit() || inPreview())
        throw Error(refusal);
}

void Connection::use(const QString &database)
{
    requireNoTransaction(QStringLiteral("Açık bir işlem varken veritabanı değiştirilemez."));
    // Statements prepared on the database before are not used on another.
    m_statements.clear();
    m_dialect->use(database);
    const bool changed = database != std::exchange(m_currentDatabase, database);
    if (changed)
        emit databaseChanged();
}

int Connection::execute(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    QSqlQuery &query = prepared(sql, values).query;
    ++m_activity.statements;
    if (!query.exec())
        throw failure(query.lastError());
    const int affected = query.numRowsAffected();
    query.finish();
    m_observers.executed(sql, values, affected);
    return affected;
}

ResultSet Connection::fetch(const QString &sql, const QVariantMap &values)
{
    requireOpen();
    Prepared &statement = prepared(sql, values);
    QSqlQuery &query = statement.query;
    ++m_activity.statements;
    if (!query.exec())
        throw failure(query.lastError());
    ResultSet result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        result.columns << record.fieldName(i);
        result.types << m_dialect->columnType(query, record, i);
    }
    if (statement.parameters) {
        result.rows = OdbcRow::readRows(query, result.types);
    } else {
        while (query.next()) {
            QVariantList row;
            row.reserve(record.count());
            for (int i = 0; i < record.count(); ++i)
                row << readable(query.value(i), result.types.at(i));
            result.rows << row;
        }
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        throw failure(error);
    return result;
}

Connection::Prepared &Connection::prepared(const QString &sql, const QVariantMap &values)
{
    // Keyed by the text as written: it is made ready and prepared once per
    // database, however often it runs.
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        ServerText text = m_dialect->serverText(SqlText::withoutComments(sql));
        if (qsizetype(m_statements.size()) >= preparedLimit)
            m_statements.clear();
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(text.text))
            throw failure(query.lastError());
        found = m_statements.emplace(sql, Prepared{ std::move(query), std::move(text.parameters) })
                        .first;
    }
    Prepared &statement = found->second;
    if (statement.parameters) {
        QVariantMap bound;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            bound.insert(it.key(), bindable(it.value(), *m_dialect));
        statement.parameters->fill(OdbcRow::statementHandle(statement.query), bound);
        return statement;
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        statement.query.bindValue(u':' + it.key(), bindable(it.value(), *m_dialect));
    return statement;
}

void Connection::executeDirect(const QString &sql)
{
    requireOpen();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    ++m_activity.statements;
    if (!query.exec(sql))
        throw failure(query.lastError());
}

void Connection::createTemporaryTable(const TableSpec &table)
{
    // A batch of its own: one made inside a prepared statement would be
    // gone when the statement ends.
    executeDirect(dialect().createTemporaryTable(table));
}

QString Connection::backUp(const QDateTime &at)
{
    requireNoTransaction(QStringLiteral("Açık bir işlem varken yedek alınamaz."));
    ++m_activity.statements;
    return m_dialect->backUp(at);
}

void Connection::beginTransaction()
{
    requireOpen();
    if (!m_db.transaction())
        throw failure(m_db.lastError());
}

void Connection::commitTransaction()
{
    if (!m_db.commit())
        throw failure(m_db.lastError());
    ++m_activity.commits;
}

void Connection::rollbackTransaction()
{
    if (!m_db.rollback())
        throw failure(m_db.lastError());
}

Error Connection::failure(const QSqlError &error)
{
    const Error failed =
            Error::fromSql(error, m_dialect ? m_dialect->causeOf(error) : Error::Cause::Other);
    if (failed.cause() == Error::Cause::ConnectionLost)
        m_lost = true;
    return failed;
}

QVariant Connection::nativeHandle() const
{
    return m_db.isValid() && m_db.driver() ? m_db.driver()->handle() : QVariant();
}

} // namespace zym
