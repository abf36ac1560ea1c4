#include "WindowTest.h"

#include "InjectedFailure.h"
#include "TableDigest.h"

#include "demo/DemoData.h"

#include <QLineEdit>
#include <QTest>

using namespace zym;
using namespace zym::test;

// Every operation of the window, from the shared table: before the
// connection it asks for one and touches nothing; when its unit of work
// fails, at a statement or at its commit, the default error display shows
// why, nothing is changed, and no notice says the run is done.
class TestWindowOperations : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        DemoData::writeCompany(m_server->folder(), TestServer::company, { 24, 200, 12, 6, 6 });
    }

    void cleanup() { closeWindow(); }

    // The operations' buttons and their listings.
    void asksToConnectFirst_data()
    {
        QTest::addColumn<QString>("button");
        QStringList buttons;
        for (const WindowOperation &operation : windowOperations()) {
            if (operation.listing && !buttons.contains(QLatin1String(operation.listing)))
                buttons << QLatin1String(operation.listing);
            buttons << QLatin1String(operation.button);
        }
        for (const QString &button : buttons)
            QTest::newRow(qPrintable(button)) << button;
    }

    void asksToConnectFirst()
    {
        QFETCH(QString, button);
        const QStringList before = tableDigest(m_server->db());
        click(qPrintable(button));
        QCOMPARE(m_prompter->notices, QStringList{ "Önce sunucuya bağlanın." });
        QVERIFY(m_prompter->questions.isEmpty());
        QVERIFY(m_prompter->errors.isEmpty());
        QVERIFY(!m_window->session().connection.isOpen());
        QCOMPARE(tableDigest(m_server->db()), before);
    }

    void failureReachesTheErrorDisplay_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("position"); // 1: the first statement fails; 0: the commit is refused
        for (const WindowOperation &operation : windowOperations()) {
            QTest::addRow("%s, a statement", operation.button) << operation.button << 1;
            QTest::addRow("%s, the commit", operation.button) << operation.button << 0;
        }
    }

    void failureReachesTheErrorDisplay()
    {
        QFETCH(QString, button);
        QFETCH(int, position);
        connectAndChoose();
        control<QLineEdit>("Edit7")->setText(
                QStringLiteral("900")); // accounts the demo has not made yet
        control<QLineEdit>("Edit8")->setText(QStringLiteral("900"));
        control<QLineEdit>("Edit10")->setText(
                QStringLiteral("YENİ")); // a workplace code no row has
        listFor(button);
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

QTEST_MAIN(TestWindowOperations)
#include "tst_windowoperations.moc"
