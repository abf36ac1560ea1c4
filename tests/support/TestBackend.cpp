#include "TestBackend.h"

#include "db/OdbcConnectionString.h"
#include "db/OdbcDrivers.h"

#include <QtGlobal>

namespace zym::test {

const QString sqliteOdbcDriver = QStringLiteral("SQLite3");

QList<TestBackend> testBackends()
{
    return { TestBackend::EmbeddedSqlite, TestBackend::EmbeddedOdbc, TestBackend::SqlServer,
             TestBackend::FreeTds };
}

const char *backendName(TestBackend backend)
{
    switch (backend) {
    case TestBackend::EmbeddedSqlite:
        return "QSQLITE";
    case TestBackend::EmbeddedOdbc:
        return "QODBC";
    case TestBackend::SqlServer:
        return "SQL Server";
    case TestBackend::FreeTds:
        return "FreeTDS";
    }
    Q_UNREACHABLE();
}

QString unavailability(TestBackend backend)
{
    if (backend == TestBackend::SqlServer && !sqlServerNamed())
        return QStringLiteral("ZYM_TEST_SQLSERVER names no SQL Server");
    if (backend == TestBackend::FreeTds
        && OdbcConnectionString::chooseDriver(installedOdbcDrivers()) != QStringLiteral("FreeTDS"))
        return QStringLiteral("the FreeTDS ODBC driver is not installed, or a Microsoft driver is "
                              "preferred to it");
    return QString();
}

bool sqlServerNamed()
{
    return !qEnvironmentVariableIsEmpty("ZYM_TEST_SQLSERVER");
}

std::optional<ConnectionSettings> configuredSqlServer()
{
    const QString text = qEnvironmentVariable("ZYM_TEST_SQLSERVER");
    const qsizetype afterServer = text.indexOf(u'|');
    const qsizetype afterLogin = text.indexOf(u'|', afterServer + 1);
    const qsizetype beforeSuffix = text.lastIndexOf(u'|');
    if (afterServer < 0 || afterLogin < 0 || beforeSuffix <= afterLogin)
        return std::nullopt;
    return ConnectionSettings{ text.left(afterServer),
                               text.mid(afterServer + 1, afterLogin - afterServer - 1),
                               text.mid(afterLogin + 1, beforeSuffix - afterLogin - 1),
                               text.mid(beforeSuffix + 1) };
}

} // namespace zym::test
