#include "DirectStatement.h"

#include "Dialect.h"
#include "Error.h"
#include "OdbcParameters.h"
#include "OdbcRow.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlField>
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
        text.parameters->fill(OdbcRow::statementHandle(query), values);
    } else {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            query.bindValue(u':' + it.key(), it.value());
    }
    if (!query.exec())
        throw Error::fromSql(query.lastError());
    while (query.nextResult()) { }
    if (query.lastError().isValid())
        throw Error::fromSql(query.lastError());
}

QList<QVariantList> DirectStatement::fetch(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw Error::fromSql(query.lastError());
    const QSqlRecord record = query.record();
    QList<QMetaType> types;
    for (int i = 0; i < record.count(); ++i)
        types << record.field(i).metaType();
    // Behind ODBC the tool reads the rows itself, as every fetch does.
    QList<QVariantList> rows;
    if (db.driverName() == QLatin1String("QODBC")) {
        rows = OdbcRow::readRows(query, types);
    } else {
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < record.count(); ++i)
                row << query.value(i);
            rows << row;
        }
    }
    if (query.lastError().isValid())
        throw Error::fromSql(query.lastError());
    return rows;
}

} // namespace zym
