#include "EmbeddedDatabase.h"

#include "Error.h"
#include "EmbeddedFolder.h"
#include "SqliteDialect.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace zym {

namespace {

QStringList ddl(const TableSpec &table, const QString &textCollation)
{
    QStringList columns;
    for (const ColumnSpec &column : table.columns) {
        QString definition = column.name + u' ' + column.type;
        if (!textCollation.isEmpty() && column.type.startsWith(QStringLiteral("VARCHAR")))
            definition += QStringLiteral(" COLLATE ") + textCollation;
        columns << definition;
    }
    QStringList statements{QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")))};
    for (const QStringList &key : table.uniqueKeys) {
        statements << QStringLiteral("CREATE UNIQUE INDEX UX_%1_%2 ON %1 (%3)")
                          .arg(table.name, key.join(u'_'), key.join(QStringLiteral(", ")));
    }
    for (const QString &column : table.indexed)
        statements << QStringLiteral("CREATE INDEX IX_%1_%2 ON %1 (%2)").arg(table.name, column);
    return statements;
}

} // namespace

EmbeddedDatabase::EmbeddedDatabase(const QString &folder, const QString &name)
    : m_connectionName(QStringLiteral("embedded-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QDir().mkpath(folder);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(EmbeddedFolder::databaseFile(folder, name));
    if (!m_db.open())
        throw Error::fromSql(m_db.lastError());
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
}

EmbeddedDatabase::~EmbeddedDatabase()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void EmbeddedDatabase::createTables(const QList<TableSpec> &tables, const QString &textCollation)
{
    for (const TableSpec &table : tables) {
        for (const QString &statement : ddl(table, textCollation))
            exec(statement);
    }
}

void EmbeddedDatabase::exec(const QString &sql)
{
    QSqlQuery query(m_db);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
}

void EmbeddedDatabase::insert(const QString &table, const QStringList &columns, const QList<QVariantList> &rows)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), columns.size());
    if (!m_db.transaction())
        throw Error::fromSql(m_db.lastError());
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))) {
        m_db.rollback();
        throw Error::fromSql(query.lastError());
    }
    for (const QVariantList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            query.bindValue(int(i), SqliteDialect::bindable(row.at(i)));
        if (!query.exec()) {
            const Error error = Error::fromSql(query.lastError());
            m_db.rollback();
            throw error;
        }
    }
    if (!m_db.commit())
        throw Error::fromSql(m_db.lastError());
}

QList<QVariantList> EmbeddedDatabase::select(const QString &sql)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

QVariant EmbeddedDatabase::scalar(const QString &sql)
{
    const auto rows = select(sql);
    return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
}

} // namespace zym
