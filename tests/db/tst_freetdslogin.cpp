#include "ErrorRaised.h"
#include "TdsLoginListener.h"
#include "db/Connection.h"
#include "db/OdbcConnectionString.h"
#include "db/OdbcDrivers.h"

#include <QSqlDatabase>
#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;
using zym::test::TdsLogin;
using zym::test::TdsLoginListener;

namespace {

const QString freeTds = QStringLiteral("FreeTDS");

QString serverText(const QString &host, const TdsLoginListener &listener)
{
    return QStringLiteral("%1,%2").arg(host).arg(listener.port());
}

} // namespace

// What reaches SQL Server of the texts typed into the window: FreeTDS reads
// the connection string and writes the login packet, a loopback listener
// decodes it.
class TestFreeTdsLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (OdbcConnectionString::chooseDriver(installedOdbcDrivers()) != freeTds)
            QSKIP("the FreeTDS ODBC driver is not installed, or a Microsoft driver is preferred to "
                  "it");
    }

    void typedTextsArriveIntact_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("plain") << "127.0.0.1"
                               << "sa"
                               << "vyx"
                               << "MASTERV8";
        QTest::newRow("host name") << "localhost"
                                   << "sa"
                                   << "vyx"
                                   << "MASTERV8";
        QTest::newRow("semicolon") << "127.0.0.1"
                                   << "s;a"
                                   << "a;UID=evil;"
                                   << "M;V";
        QTest::newRow("opening brace") << "127.0.0.1"
                                       << "{sa"
                                       << "{p{w"
                                       << "{MV";
        QTest::newRow("equals") << "127.0.0.1"
                                << "us=er"
                                << "=pw"
                                << "M=V";
        QTest::newRow("apostrophe") << "127.0.0.1"
                                    << "o'sa"
                                    << "it's"
                                    << "M'V";
        QTest::newRow("leading blanks") << "127.0.0.1"
                                        << " sa"
                                        << "  pw"
                                        << " MV";
        QTest::newRow("inner blanks") << "127.0.0.1"
                                      << "s a"
                                      << "p  w"
                                      << "MASTER V8";
        QTest::newRow("trailing blanks") << "127.0.0.1"
                                         << "sa "
                                         << "pw  "
                                         << "MV ";
        QTest::newRow("tab") << "127.0.0.1"
                             << "sa"
                             << "p\tw"
                             << "MV";
        QTest::newRow("turkish") << "127.0.0.1"
                                 << "kullanıcı"
                                 << "ğüşıöçİĞÜŞÖÇ"
                                 << "ŞİRKET";
        QTest::newRow("empty password") << "127.0.0.1"
                                        << "sa"
                                        << ""
                                        << "MASTERV8";
        QTest::newRow("all at once") << "127.0.0.1"
                                     << " {k=ş;'"
                                     << " ;{='İ ğ "
                                     << " Ç{;=' ";
        QTest::newRow("brackets") << "127.0.0.1"
                                  << "s]a["
                                  << "[p]w]"
                                  << "M]V[";
        QTest::newRow("comment marks") << "127.0.0.1"
                                       << "sa--"
                                       << "p/*w*/--"
                                       << "M--V/*";
    }

    void typedTextsArriveIntact()
    {
        QFETCH(QString, host);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, suffix);
        TdsLoginListener listener;
        QVERIFY(listener.listen());
        const ConnectionSettings settings{ serverText(host, listener), login, password, suffix };
        QCOMPARE(OdbcConnectionString::refusal(settings, freeTds), QString());

        Connection connection;
        QVERIFY(!errorRaisedBy([&] { connection.open(settings); }).isNull());

        // FreeTDS 1.3 sends one TDS 7.4 login here; should TDS_Version=auto
        // try another version too, that attempt must carry the same texts.
        const QList<TdsLogin> logins = listener.logins();
        QVERIFY(!logins.isEmpty());
        for (const TdsLogin &sent : logins) {
            QCOMPARE(sent.userName, login);
            QCOMPARE(sent.password, password);
            QCOMPARE(sent.database, settings.masterDatabase());
            // FreeTDS 1.3 takes ",PORT" off the server text by overwriting
            // the comma with a NUL but keeps the text's length, so the field
            // is "HOST", NUL, "PORT": the name up to the NUL is the host.
            QCOMPARE(sent.serverName.section(QChar(0), 0, 0), host);
        }
    }

    // A server that does not let the tool in: the driver's text, under a
    // first line that says what failed.
    void driversErrorKeepsItsText()
    {
        TdsLoginListener listener;
        QVERIFY(listener.listen());
        Connection connection;
        const QString error = errorRaisedBy([&] {
            connection.open({ serverText(QStringLiteral("127.0.0.1"), listener),
                              QStringLiteral("sa"), QStringLiteral("vyx"),
                              QStringLiteral("MASTERV8") });
        });
        const QStringList lines = error.split(u'\n');
        QCOMPARE(lines.first(), QStringLiteral("Sunucuya bağlanılamadı:"));
        QVERIFY2(lines.size() > 1 && lines.at(1).contains(freeTds), qPrintable(error));
        QVERIFY(!connection.isOpen());
    }

    // The refusal keeps a "}" from FreeTDS 1.3, which would not undo its
    // doubling in the braced value: the server would be asked for "p}}w".
    void closingBraceIsRefusedRatherThanDoubled()
    {
        TdsLoginListener listener;
        QVERIFY(listener.listen());
        const ConnectionSettings settings{ serverText(QStringLiteral("127.0.0.1"), listener),
                                           QStringLiteral("sa"), QStringLiteral("p}w"),
                                           QStringLiteral("MASTERV8") };
        QVERIFY(OdbcConnectionString::refusal(settings, freeTds)
                        .startsWith(QStringLiteral("Parola ")));
        Connection connection;
        QVERIFY(!errorRaisedBy([&] { connection.open(settings); }).isNull());
        QCOMPARE(listener.connectionCount(), 0);

        // Past the refusal, straight through the driver:
        const QString name = QStringLiteral("unguarded");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
            db.setDatabaseName(OdbcConnectionString::build(settings, freeTds));
            db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5"));
            QVERIFY(!db.open());
        }
        QSqlDatabase::removeDatabase(name);
        const QList<TdsLogin> logins = listener.logins();
        QVERIFY(!logins.isEmpty());
        QVERIFY2(logins.first().password == QStringLiteral("p}}w"),
                 "this FreeTDS delivers '}' as typed: the refusal is no longer needed with it");
    }
};

QTEST_GUILESS_MAIN(TestFreeTdsLogin)
#include "tst_freetdslogin.moc"
