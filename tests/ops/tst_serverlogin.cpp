#include "RecordingPrompter.h"

#include "db/Connection.h"
#include "ops/ServerLogin.h"

#include <QTest>

using namespace zym;
using zym::test::RecordingPrompter;

// Connecting to a server whose certificate the driver refuses.
class TestServerLogin : public QObject
{
    Q_OBJECT

private slots:
    void untrustedCertificate_data()
    {
        QTest::addColumn<bool>("refusesCertificate");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QList<bool>>("attempts"); // trustServerCertificate of each connect
        QTest::newRow("certificate accepted") << false << true << QList<bool>{ false };
        QTest::newRow("trusted on Yes") << true << true << QList<bool>{ false, true };
        QTest::newRow("No connects no more") << true << false << QList<bool>{ false };
    }

    void untrustedCertificate()
    {
        QFETCH(bool, refusesCertificate);
        QFETCH(bool, answer);
        QFETCH(QList<bool>, attempts);
        RecordingPrompter prompter;
        prompter.answers = { answer };
        QList<bool> tried;
        const ConnectionSettings settings{ QStringLiteral("HOST\\SQLEXPRESS"), QStringLiteral("sa"),
                                           QStringLiteral("p"), QStringLiteral("MASTERV8") };
        ServerLogin::connect(settings, prompter, [&](const ConnectionSettings &typed) {
            tried << typed.trustServerCertificate;
            QCOMPARE(typed.password, settings.password);
            if (refusesCertificate && !typed.trustServerCertificate)
                throw UntrustedCertificate(
                        QStringLiteral("SSL Provider: certificate verify failed"));
        });
        QCOMPARE(tried, attempts);
        QCOMPARE(prompter.questions,
                 refusesCertificate ? QStringList{ "Uyarı: Sunucu sertifikası doğrulanamadı. Yine "
                                                   "de bağlanılsın mı?" }
                                    : QStringList());
    }

    // Only one retry: a server that refuses the trusted connect too reports it.
    void secondRefusalIsShown()
    {
        RecordingPrompter prompter;
        int tries = 0;
        QVERIFY_THROWS_EXCEPTION(
                UntrustedCertificate,
                ServerLogin::connect({}, prompter, [&](const ConnectionSettings &) {
                    ++tries;
                    throw UntrustedCertificate(QStringLiteral("certificate"));
                }));
        QCOMPARE(tries, 2);
    }
};

QTEST_GUILESS_MAIN(TestServerLogin)
#include "tst_serverlogin.moc"
