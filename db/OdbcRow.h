#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantList>

class QSqlQuery;

namespace zym {

// The current row of an ODBC statement, read column by column with
// SQLGetData as each column's type says. Qt reads a text column into a
// buffer of the column's declared size and takes a driver's "no total
// length" for a longer value as no value at all: FreeTDS answers so when a
// VARCHAR's text grows in its conversion to UTF-8, and a Turkish title as
// long as its column came back empty. Text is read here as UTF-16, in as
// many pieces as it takes.
namespace OdbcRow {

// `statement` is the SQLHSTMT, on a fetched row whose columns nothing has
// read yet. A NULL reads as a null of its column's type.
QVariantList read(void *statement, const QList<QMetaType> &types);

// The SQLHSTMT of a query on an ODBC connection.
void *statementHandle(const QSqlQuery &query);

// The driver's diagnostics of `statement`, joined.
QString diagnostics(void *statement);

} // namespace OdbcRow

} // namespace zym
