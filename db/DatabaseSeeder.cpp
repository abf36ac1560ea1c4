#include "DatabaseSeeder.h"

#include "Connection.h"
#include "DirectStatement.h"
#include "EmbeddedFolder.h"
#include "Error.h"
#include "SqliteText.h"
#include "UnitOfWork.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace zym {

namespace {

// The width n of a VARCHAR(n) column; 0 for any other type.
int textWidth(const QString &type)
{
    static const QRegularExpression varchar(QStringLiteral(R"(^VARCHAR\((\d+)\)$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = varchar.match(type);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// SQLite keeps text of any length in a VARCHAR(n) column; SQL Server refuses
// a longer value and the statement fails. `enforceWidths` makes an SQLite
// table refuse it too, naming the column, so that an overlong code fails its
// unit of work on either backend.
QStringList ddl(const TableSpec &table, const QString &textCollation, bool enforceWidths)
{
    QStringList columns;
    for (const ColumnSpec &column : table.columns) {
        QString definition = column.name + u' ' + column.type;
        const int width = textWidth(column.type);
        if (!textCollation.isEmpty() && width > 0)
            definition += QStringLiteral(" COLLATE ") + textCollation;
        if (enforceWidths && width > 0) {
            definition +=
                    QStringLiteral(
                            " CONSTRAINT \"%1 en çok %2 karakter olabilir\" CHECK(length(%1)<=%2)")
                            .arg(column.name)
                            .arg(width);
        }
        columns << definition;
    }
    QStringList statements{
        QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")))
    };
    for (const QStringList &key : table.uniqueKeys) {
        statements << QStringLiteral("CREATE UNIQUE INDEX UX_%1_%2 ON %1 (%3)")
                              .arg(table.name, key.join(u'_'), key.join(QStringLiteral(", ")));
    }
    for (const QString &column : table.indexed)
        statements << QStringLiteral("CREATE INDEX IX_%1_%2 ON %1 (%2)").arg(table.name, column);
    return statements;
}

} // namespace

DatabaseSeeder::DatabaseSeeder(const QString &folder, const QString &name)
    : m_connectionName(QStringLiteral("embedded-")
                       + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QDir().mkpath(folder);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(EmbeddedFolder::databaseFile(folder, name));
    if (!m_db.open())
        throw Error::fromSql(m_db.lastError());
    // As the tool's connection does: a commit survives a killed process
    // without a flush to disk each time.
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

DatabaseSeeder::DatabaseSeeder(Connection &connection, const QString &name)
    : m_connection(&connection), m_name(name)
{
}

DatabaseSeeder::~DatabaseSeeder()
{
    if (m_connection)
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void DatabaseSeeder::createTables(const QList<TableSpec> &tables, const QString &textCollation)
{
    const bool enforceWidths =
            !m_connection || m_connection->dialect().kind() == Dialect::Kind::Sqlite;
    inOneTransaction([&] {
        for (const TableSpec &table : tables) {
            for (const QString &statement : ddl(table, textCollation, enforceWidths))
                exec(statement);
        }
    });
}

void DatabaseSeeder::exec(const QString &sql)
{
    if (m_connection) {
        selected().execute(sql, {});
        return;
    }
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
}

void DatabaseSeeder::insert(const QString &table, const QStringList &columns,
                            const QList<QVariantList> &rows)
{
    QStringList names;
    for (qsizetype i = 0; i < columns.size(); ++i)
        names << QStringLiteral("v%1").arg(i);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (:%3)")
                                .arg(table, columns.join(QStringLiteral(", ")),
                                     names.join(QStringLiteral(", :")));
    inOneTransaction([&] {
        if (m_connection) {
            for (const QVariantList &row : rows)
                m_connection->execute(sql, namedValues(names, row));
            return;
        }
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            throw Error::fromSql(query.lastError());
        for (const QVariantList &row : rows) {
            for (qsizetype i = 0; i < row.size(); ++i)
                query.bindValue(int(i), SqliteText::bindable(row.at(i)));
            if (!query.exec())
                throw Error::fromSql(query.lastError());
        }
    });
}

QVariantMap DatabaseSeeder::namedValues(const QStringList &names, const QVariantList &row)
{
    QVariantMap values;
    for (qsizetype i = 0; i < row.size(); ++i) {
        const QVariant &value = row.at(i);
        // The tool binds a null text as empty text; a seeded row keeps its NULL.
        const bool nullText =
                value.metaType() == QMetaType::fromType<QString>() && value.toString().isNull();
        values.insert(names.at(i), nullText ? QVariant() : value);
    }
    return values;
}

void DatabaseSeeder::inOneTransaction(const std::function<void()> &work)
{
    if (m_connection) {
        UnitOfWork unit(selected());
        work();
        unit.commit();
        return;
    }
    if (!m_db.transaction())
        throw Error::fromSql(m_db.lastError());
    try {
        work();
    } catch (const Error &) {
        m_db.rollback();
        throw;
    }
    if (!m_db.commit())
        throw Error::fromSql(m_db.lastError());
}

QList<QVariantList> DatabaseSeeder::select(const QString &sql)
{
    if (m_connection)
        return selected().fetch(sql, {}).rows;
    return DirectStatement::fetch(m_db, sql);
}

QVariant DatabaseSeeder::scalar(const QString &sql)
{
    const auto rows = select(sql);
    return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
}

Connection &DatabaseSeeder::selected()
{
    if (m_connection->currentDatabase() != m_name)
        m_connection->use(m_name);
    return *m_connection;
}

} // namespace zym
