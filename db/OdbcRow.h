#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantList>

class QSqlQuery;

namespace zym {

// The rows of an ODBC statement, read column by column with SQLGetData as
// each column's type says. Qt reads a text column into a
// buffer of the column's declared size and takes a driver's "no total
// length" for a longer value as no value at all: FreeTDS answers so when a
// VARCHAR's text grows in its conversion to UTF-8, and a Turkish title as
// long as its column came back empty. Text is read here as UTF-16, in as
// many pieces as it takes.
namespace OdbcRow {

// Every row `query` has left to fetch, on an ODBC connection. A NULL reads
// as a null of its column's type.
QList<QVariantList> readRows(QSqlQuery &query, const QList<QMetaType> &types);

// The SQLHSTMT of a query on an ODBC connection.
void *statementHandle(const QSqlQuery &query);

// The driver's diagnostics of `statement`, joined.
QString diagnostics(void *statement);

} // namespace OdbcRow

} // namespace zym
