#include "db/OdbcConnectionString.h"
#include "db/OdbcDrivers.h"

#include <QTest>

using namespace zym;

namespace {

// Splits an ODBC connection string into its keys and values the way a driver
// manager reads it: "{...}" values with "}}" for "}".
QMap<QString, QString> parse(const QString &text)
{
    QMap<QString, QString> pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype equals = text.indexOf(u'=', pos);
        if (equals < 0)
            break;
        const QString key = text.mid(pos, equals - pos);
        QString value;
        pos = equals + 1;
        if (pos < text.size() && text.at(pos) == u'{') {
            ++pos;
            while (pos < text.size()) {
                if (text.at(pos) == u'}') {
                    if (pos + 1 < text.size() && text.at(pos + 1) == u'}') {
                        value += u'}';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                value += text.at(pos++);
            }
        } else {
            const qsizetype end = text.indexOf(u';', pos);
            value = text.mid(pos, end < 0 ? -1 : end - pos);
            pos = end < 0 ? text.size() : end;
        }
        pairs.insert(key, value);
        if (pos < text.size() && text.at(pos) == u';')
            ++pos;
    }
    return pairs;
}

} // namespace

class TestOdbcConnectionString : public QObject
{
    Q_OBJECT

private slots:
    void valuesReachTheirKeysWhole_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("defaults") << "HOST\\SQLEXPRESS"
                                  << "sa"
                                  << "vyx"
                                  << "MASTERV8";
        QTest::newRow("semicolon") << "HOST"
                                   << "sa"
                                   << "a;UID=evil"
                                   << "MASTERV8";
        QTest::newRow("braces") << "HOST"
                                << "sa"
                                << "{p}}w}"
                                << "MASTERV8";
        QTest::newRow("equals") << "HOST"
                                << "us=er"
                                << "p=w"
                                << "MASTERV8";
        QTest::newRow("blanks") << "HOST,1433"
                                << "s a"
                                << " pw "
                                << "MASTER V8";
        QTest::newRow("empty password") << "HOST"
                                        << "sa"
                                        << ""
                                        << "MASTERV8";
        QTest::newRow("turkish") << "SUNUCU\\ŞİRKET"
                                 << "kullanıcı"
                                 << "ğüşiöç"
                                 << "MASTERV8";
        // What an operator may type into each of the four edits.
        for (const QString &typed :
             { QStringLiteral("a'b"), QStringLiteral("a;b"), QStringLiteral("a]b"),
               QStringLiteral("a[b"), QStringLiteral("a--b"), QStringLiteral("a/*b"),
               QStringLiteral("sonu boşluk "), QStringLiteral("ŞİRKET ğüşİı") }) {
            QTest::addRow("server %s", qPrintable(typed)) << typed << "sa"
                                                          << "vyx"
                                                          << "MASTERV8";
            QTest::addRow("login %s", qPrintable(typed)) << "HOST" << typed << "vyx"
                                                         << "MASTERV8";
            QTest::addRow("password %s", qPrintable(typed)) << "HOST"
                                                            << "sa" << typed << "MASTERV8";
            QTest::addRow("suffix %s", qPrintable(typed)) << "HOST"
                                                          << "sa"
                                                          << "vyx" << typed;
        }
    }

    void valuesReachTheirKeysWhole()
    {
        QFETCH(QString, server);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, suffix);
        const QString text = OdbcConnectionString::build({ server, login, password, suffix },
                                                         QStringLiteral("FreeTDS"));
        QVERIFY(text.endsWith(u';'));
        const auto pairs = parse(text);
        QCOMPARE(pairs.value(QStringLiteral("Driver")), QStringLiteral("FreeTDS"));
        QCOMPARE(pairs.value(QStringLiteral("Server")), server);
        QCOMPARE(pairs.value(QStringLiteral("UID")), login);
        QCOMPARE(pairs.value(QStringLiteral("PWD")), password);
        QCOMPARE(pairs.value(QStringLiteral("Database")), QStringLiteral("ZYM_") + suffix);
        QCOMPARE(pairs.value(QStringLiteral("TDS_Version")), QStringLiteral("auto"));
        QCOMPARE(pairs.value(QStringLiteral("ClientCharset")), QStringLiteral("UTF-8"));
        QCOMPARE(pairs.size(), 7);
    }

    // Certificate checking stays on unless the operator agreed to trust the
    // server for this connect.
    void driverSpecificKeys()
    {
        ConnectionSettings settings{ QStringLiteral("H"), QStringLiteral("sa"), QStringLiteral("p"),
                                     QStringLiteral("M") };
        const QString driver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
        const auto checking = parse(OdbcConnectionString::build(settings, driver18));
        QVERIFY(!checking.contains(QStringLiteral("TrustServerCertificate")));
        QVERIFY(!checking.contains(QStringLiteral("TDS_Version")));
        settings.trustServerCertificate = true;
        const auto trusting = parse(OdbcConnectionString::build(settings, driver18));
        QCOMPARE(trusting.value(QStringLiteral("TrustServerCertificate")), QStringLiteral("yes"));
        QVERIFY(!parse(OdbcConnectionString::build(settings, QStringLiteral("FreeTDS")))
                         .contains(QStringLiteral("TrustServerCertificate")));
    }

    void refusedCertificateIsRecognised_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("nativeCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("refused");
        const QString driver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
        QTest::newRow("Linux, self-signed")
                << driver18 << "-1"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:0A000086:SSL "
                   "routines::certificate verify "
                   "failed:self-signed certificate] [Microsoft][ODBC Driver 18 for SQL "
                   "Server]Client unable to establish "
                   "connection"
                << true;
        QTest::newRow("Linux, OpenSSL 1.1")
                << driver18 << "-1"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:1416F086:SSL "
                   "routines:tls_process_server_certificate:certificate verify failed:self signed "
                   "certificate]"
                << true;
        QTest::newRow("Windows in English, untrusted chain")
                << driver18 << "-2146893019"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: The certificate chain "
                   "was issued by an authority "
                   "that is not trusted. [Microsoft][ODBC Driver 18 for SQL Server]Client unable "
                   "to establish connection"
                << true;
        QTest::newRow("Windows in Turkish, untrusted chain")
                << driver18 << "-2146893019"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Sağlayıcısı: Sertifika zinciri "
                   "güvenilmeyen bir yetkili "
                   "tarafından verildi. [Microsoft][ODBC Driver 18 for SQL Server]İstemci bağlantı "
                   "kuramıyor"
                << true;
        QTest::newRow("Windows in Turkish, another name")
                << driver18 << "-2146762481"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Sağlayıcısı: Sertifikadaki ad, "
                   "sunucunun adıyla eşleşmiyor."
                << true;
        QTest::newRow("wrong password") << driver18 << "18456"
                                        << "[Microsoft][ODBC Driver 18 for SQL Server][SQL "
                                           "Server]Login failed for user 'sa'."
                                        << false;
        QTest::newRow("wrong password, Turkish")
                << driver18 << "18456"
                << "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]'sa' kullanıcısı için "
                   "oturum açma başarısız oldu."
                << false;
        QTest::newRow("words without the code")
                << driver18 << "-1"
                << "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: certificate revoked"
                << false;
        QTest::newRow("another driver")
                << "FreeTDS"
                << "-2146893019"
                << "SSL Provider: [error:0A000086:SSL routines::certificate verify failed]"
                << false;
    }

    void refusedCertificateIsRecognised()
    {
        QFETCH(QString, driver);
        QFETCH(QString, nativeCode);
        QFETCH(QString, message);
        QFETCH(bool, refused);
        QCOMPARE(rejectsServerCertificate(driver, nativeCode, message), refused);
    }

    void valuesTheDriverCannotCarryAreRefused_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>(
                "refused"); // the refusal's start: the field and what it holds; empty: none
        const QString freeTds = QStringLiteral("FreeTDS");
        QTest::newRow("server") << freeTds << "HOST}"
                                << "sa"
                                << "pw"
                                << "M"
                                << "Sunucu '}'";
        QTest::newRow("login") << freeTds << "HOST"
                               << "s}a"
                               << "pw"
                               << "M"
                               << "Kullanıcı '}'";
        QTest::newRow("password") << freeTds << "HOST"
                                  << "sa"
                                  << "p}w"
                                  << "M"
                                  << "Parola '}'";
        QTest::newRow("suffix") << freeTds << "HOST"
                                << "sa"
                                << "pw"
                                << "M}"
                                << "Ana veritabanı eki '}'";
        QTest::newRow("driver name in lower case") << "freetds"
                                                   << "HOST"
                                                   << "sa"
                                                   << "}"
                                                   << "M"
                                                   << "Parola '}'";
        QTest::newRow("every other special") << freeTds << "HOST,1433"
                                             << " s;a="
                                             << "{p w'ğ"
                                             << "M V"
                                             << "";
        QTest::newRow("driver 18") << "ODBC Driver 18 for SQL Server"
                                   << "H}"
                                   << "s}a"
                                   << "p}w"
                                   << "M}"
                                   << "";
        QTest::newRow("driver 17") << "ODBC Driver 17 for SQL Server"
                                   << "H"
                                   << "sa"
                                   << "p}w"
                                   << "M"
                                   << "";
        QTest::newRow("native client") << "SQL Server Native Client 11.0"
                                       << "H"
                                       << "sa"
                                       << "p}w"
                                       << "M"
                                       << "";
        QTest::newRow("plain") << "SQL Server"
                               << "H"
                               << "sa"
                               << "p}w"
                               << "M"
                               << "";
        // Qt's ODBC driver takes a string holding ".dsn" for a file DSN.
        QTest::newRow("file DSN look-alike, driver 18") << "ODBC Driver 18 for SQL Server"
                                                        << "H"
                                                        << "sa"
                                                        << "eski.DSN"
                                                        << "M"
                                                        << "Parola '.dsn'";
        QTest::newRow("file DSN look-alike, FreeTDS") << freeTds << "H"
                                                      << "a.dsn"
                                                      << "pw"
                                                      << "M"
                                                      << "Kullanıcı '.dsn'";
    }

    void valuesTheDriverCannotCarryAreRefused()
    {
        QFETCH(QString, driver);
        QFETCH(QString, server);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, suffix);
        QFETCH(QString, refused);
        const QString refusal =
                OdbcConnectionString::refusal({ server, login, password, suffix }, driver);
        if (refused.isEmpty())
            QCOMPARE(refusal, QString());
        else
            QVERIFY2(refusal.startsWith(refused + u' '), qPrintable(refusal));
    }

    void driverChoice_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("only FreeTDS") << QStringList{ "PostgreSQL", "FreeTDS" } << "FreeTDS";
        QTest::newRow("18 first") << QStringList{ "FreeTDS", "ODBC Driver 17 for SQL Server",
                                                  "ODBC Driver 18 for SQL Server" }
                                  << "ODBC Driver 18 for SQL Server";
        QTest::newRow("native client over plain")
                << QStringList{ "SQL Server", "SQL Server Native Client 11.0" }
                << "SQL Server Native Client 11.0";
        QTest::newRow("none") << QStringList{ "MySQL" } << "";
    }

    void driverChoice()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QCOMPARE(OdbcConnectionString::chooseDriver(installed), chosen);
    }
};

QTEST_GUILESS_MAIN(TestOdbcConnectionString)
#include "tst_odbcconnectionstring.moc"
