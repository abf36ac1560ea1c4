#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

class QSqlDatabase;

namespace zym {

struct ServerText;

// Statements run as they are written, outside the statement cache: the
// connection's own settings, switches and transaction control. Each is
// forward-only: a query that may scroll asks for a server cursor, and
// FreeTDS then wraps even a USE or a BEGIN TRANSACTION in a cursor
// procedure, whose call they would end with. Failures raise the driver's text.
namespace DirectStatement {

void run(QSqlDatabase &db, const QString &sql);
// Runs `sql` with `values` bound, to its last result: SQL Server reports a
// backup's progress as messages, and a failure after them only in a later
// result.
void runBound(QSqlDatabase &db, const ServerText &text, const QVariantMap &values);
// The rows of a query without parameters.
QList<QVariantList> fetch(QSqlDatabase &db, const QString &sql);

} // namespace DirectStatement

} // namespace zym
