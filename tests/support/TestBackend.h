#pragma once

#include "db/ConnectionSettings.h"

#include <QList>
#include <QMetaType>

#include <optional>

namespace zym::test {

// The ways a test reaches its databases: the embedded folder through Qt's
// SQLite driver, the same folder through Qt's ODBC driver and SQLite's ODBC
// driver (the production driver's code path), a SQL Server, or the
// embedded folder served by a TDS stand-in and reached through FreeTDS, so
// that the tool takes its SQL Server dialect on the embedded files.
enum class TestBackend { EmbeddedSqlite, EmbeddedOdbc, SqlServer, FreeTds };

// Every backend, in the order tests run on them.
QList<TestBackend> testBackends();

// The name a test row carries: "QSQLITE", "QODBC", "SQL Server", "FreeTDS".
const char *backendName(TestBackend backend);

// SQLite's ODBC driver, as Debian's libsqliteodbc registers it.
extern const QString sqliteOdbcDriver;

// Why `backend` cannot run on this machine; empty when it can.
QString unavailability(TestBackend backend);

// Whether the variable ZYM_TEST_SQLSERVER is set to a text.
bool sqlServerNamed();

// The SQL Server the variable ZYM_TEST_SQLSERVER names, as
// "server|login|password|master suffix" (the password may hold "|"); none
// when the variable does not hold the four fields. The server is one kept for tests: the
// master database ZYM_<suffix> must exist, and the tests lay out its company
// list and the companies FIRMA_A and FIRMA_B anew, dropping what was there.
std::optional<ConnectionSettings> configuredSqlServer();

} // namespace zym::test

Q_DECLARE_METATYPE(zym::test::TestBackend)
