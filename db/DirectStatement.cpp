#include "DirectStatement.h"

#include "Dialect.h"
#include "Error.h"
#include "OdbcParameters.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

namespace zym {

void DirectStatement::run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
}

void DirectStatement::runBound(QSqlDatabase &db, const ServerText &text, const QVariantMap &values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(text.text))
        throw Error::fromSql(query.lastError());
    if (text.parameters) {
        text.parameters->fill(*static_cast<void *const *>(query.result()->handle().constData()), values);
    } else {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            query.bindValue(u':' + it.key(), it.value());
    }
    if (!query.exec())
        throw Error::fromSql(query.lastError());
    while (query.nextResult()) {
    }
    if (query.lastError().isValid())
        throw Error::fromSql(query.lastError());
}

QList<QVariantList> DirectStatement::fetch(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
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
    if (query.lastError().isValid())
        throw Error::fromSql(query.lastError());
    return rows;
}

} // namespace zym
