#include "WindowTest.h"

#include "app/ReportWindow.h"

#include <QLabel>
#include <QTableView>
#include <QTest>

using namespace zym;

// "Denetle" as the operator uses it: it checks the chosen company and opens
// its findings in the report window, which "Rapor" shows again later.
class TestAuditHandlers : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void checkOpensItsReport()
    {
        m_server->db().insert(QStringLiteral("CARKART"),
                              { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN") },
                              { { QVariant(), QStringLiteral("Kodsuz Ltd.") } });
        connectAndChoose();
        click("BitBtn9");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->notices, QStringList());

        auto *report = m_window->findChild<ReportWindow *>(QStringLiteral("ReportWindow"));
        QVERIFY(report->isVisible());
        QCOMPARE(report->windowTitle(), QStringLiteral("Denetim"));
        const QString heading = report->findChild<QLabel *>(QStringLiteral("Heading"))->text();
        QVERIFY2(heading.contains(QStringLiteral("Firma: ") + zym::test::TestServer::company),
                 qPrintable(heading));
        QVERIFY(heading.contains(QStringLiteral("Kullanıcı: ") + RunHeading::currentUser()));
        QCOMPARE(report->findChild<QLabel *>(QStringLiteral("RunEnd"))->text(),
                 QStringLiteral("Sonuç: Tamamlandı"));
        const QAbstractItemModel *summary =
                report->findChild<QTableView *>(QStringLiteral("Units"))->model();
        QCOMPARE(summary->rowCount(), 8);
        QCOMPARE(summary->index(0, 0).data().toString(), QStringLiteral("Kodu boş kartlar"));
        QCOMPARE(summary->index(0, 1).data().toString(), QStringLiteral("1"));
        const QAbstractItemModel *findings =
                report->findChild<QTableView *>(QStringLiteral("Totals"))->model();
        QCOMPARE(findings->rowCount(), 1);
        QCOMPARE(findings->index(0, 2).data().toString(), QStringLiteral("NULL"));
        QVERIFY(control<QPushButton>("BitBtn8")->isEnabled());
    }

    // Connected to the master only, there is no company to check.
    void checkWantsACompany()
    {
        click("BitBtn1");
        click("BitBtn9");
        QCOMPARE(m_prompter->notices, QStringList{ "Önce bir firma seçin." });
        QVERIFY(!control<QPushButton>("BitBtn8")->isEnabled());
    }
};

QTEST_MAIN(TestAuditHandlers)
#include "tst_audithandlers.moc"
