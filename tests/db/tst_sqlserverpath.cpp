#include "ErrorRaised.h"

#include "db/Connection.h"
#include "db/OdbcDrivers.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;

// The SQL Server path as far as this machine has one: through the installed
// ODBC driver to a loopback port where nothing listens.
class TestSqlServerPath : public QObject
{
    Q_OBJECT

private slots:
    void refusedConnectionReportsTheDriversMessage()
    {
        if (!installedOdbcDrivers().contains(QStringLiteral("FreeTDS")))
            QSKIP("the FreeTDS ODBC driver is not installed");

        // A port that was free a moment ago: bind, note it, release.
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        Connection connection;
        QElapsedTimer timer;
        timer.start();
        const QString error = errorRaisedBy([&] {
            connection.open({ QStringLiteral("127.0.0.1,%1").arg(port), QStringLiteral("sa"),
                              QStringLiteral("p;w"), QStringLiteral("MASTERV8") });
        });
        QVERIFY2(error.contains(QStringLiteral("[FreeTDS]"))
                         && error.contains(QStringLiteral("Unable to connect")),
                 qPrintable(error));
        QVERIFY2(timer.elapsed() < 30000, "the login time-out did not apply");
        QVERIFY(!connection.isOpen());
        QVERIFY(!connection.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestSqlServerPath)
#include "tst_sqlserverpath.moc"
