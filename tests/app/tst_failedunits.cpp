#include "WindowTest.h"

#include "InjectedFailure.h"
#include "TableDigest.h"

#include "demo/DemoData.h"

#include <QLineEdit>
#include <QTest>

using namespace zym;
using namespace zym::test;

// Every operation of the window whose unit of work fails, at a statement or
// at its commit: the default error display shows why, nothing is changed,
// and no notice says the run is done.
class TestFailedUnits : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        DemoData::writeCompany(m_server->folder(), TestServer::company, {24, 200, 12, 6, 6});
    }

    void cleanup() { closeWindow(); }

    void failureReachesTheErrorDisplay_data()
    {
        QTest::addColumn<QString>("listing"); // pressed first; empty for none
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("position"); // 1: the first statement fails; 0: the commit is refused
        const QList<std::pair<const char *, const char *>> operations{
            {"BitBtn2", "BitBtn3"}, {"BitBtn2", "BitBtn5"}, {"BitBtn2", "BitBtn6"}, {"BitBtn2", "BitBtn4"},
            {"", "BitBtn7"},        {"Button1", "Button2"}, {"Button3", "Button4"}, {"Button5", "Button6"},
            {"", "Button7"}};
        for (const auto &[listing, button] : operations) {
            QTest::addRow("%s, a statement", button) << listing << button << 1;
            QTest::addRow("%s, the commit", button) << listing << button << 0;
        }
    }

    void failureReachesTheErrorDisplay()
    {
        QFETCH(QString, listing);
        QFETCH(QString, button);
        QFETCH(int, position);
        connectAndChoose();
        control<QLineEdit>("Edit7")->setText(QStringLiteral("900")); // accounts the demo has not made yet
        control<QLineEdit>("Edit8")->setText(QStringLiteral("900"));
        control<QLineEdit>("Edit10")->setText(QStringLiteral("YENİ")); // a workplace code no row has
        if (!listing.isEmpty())
            click(qPrintable(listing));
        const QStringList before = tableDigest(m_server->db());
        {
            InjectedFailure failure(m_window->session().connection, position,
                                    [](const QString &, const QVariantMap &) { return true; });
            click(qPrintable(button));
        }
        QCOMPARE(m_prompter->errors.size(), 1);
        if (position != 0)
            QCOMPARE(m_prompter->errors.constFirst(), InjectedFailure::message);
        QCOMPARE(m_prompter->notices, QStringList());
        QCOMPARE(tableDigest(m_server->db()), before);
        QVERIFY(!m_window->session().connection.inUnit());
    }
};

QTEST_MAIN(TestFailedUnits)
#include "tst_failedunits.moc"
