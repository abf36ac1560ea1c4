#include "ErrorRaised.h"
#include "WindowTest.h"

#include "app/ReportWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;

// "Önizleme" and "Rapor" as the operator uses them: a preview of a run opens
// its report by itself and keeps nothing; a real run's report waits behind
// the button.
class TestPreviewWindow : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        seedCustomerCards(5);
        connectAndChoose();
        click("BitBtn2");
    }

    void cleanup() { closeWindow(); }

    void previewKeepsNothingAndOpensItsReport()
    {
        control<QCheckBox>("CheckBox5")->setChecked(true);
        click("BitBtn3");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QCOMPARE(cardCodes(), (QStringList{ "K1", "K2", "K3", "K4", "K5" }));

        ReportWindow *report = reportWindow();
        QVERIFY(report->isVisible());
        QVERIFY(report->isWindow());
        QVERIFY(!report->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(report->windowTitle(), QStringLiteral("Önizleme: hiçbir değişiklik kaydedilmedi"));
        QCOMPARE(report->findChild<QLabel *>(QStringLiteral("RunEnd"))->text(),
                 QStringLiteral("Sonuç: Tamamlandı"));
        const QAbstractItemModel *units =
                report->findChild<QTableView *>(QStringLiteral("Units"))->model();
        QCOMPARE(units->rowCount(), 5);
        QCOMPARE(units->index(4, 1).data().toString(), QStringLiteral("K5"));
        QCOMPARE(units->index(4, 2).data().toString(), QStringLiteral("0005"));
        QVERIFY(control<QPushButton>("BitBtn8")->isEnabled());
        // The card list is where it was: a run that follows starts there.
        QCOMPARE(m_window->session().cardList.currentRow(), 0);
    }

    void realRunsReportWaitsBehindTheButton()
    {
        click("BitBtn3");
        QCOMPARE(cardCodes(), (QStringList{ "0001", "0002", "0003", "0004", "0005" }));
        ReportWindow *report = reportWindow();
        QVERIFY(!report->isVisible());
        click("BitBtn8");
        QVERIFY(report->isVisible());
        QCOMPARE(report->windowTitle(), QStringLiteral("Rapor: kaydedilen değişiklikler"));
        QCOMPARE(report->findChild<QTableView *>(QStringLiteral("Units"))->model()->rowCount(), 5);
    }

    // No at the prompt runs nothing: no report, and the last one stays.
    void runEndedAtThePromptKeepsTheLastReport()
    {
        m_prompter->answers = { false };
        click("BitBtn3");
        QVERIFY(!control<QPushButton>("BitBtn8")->isEnabled());

        control<QCheckBox>("CheckBox5")->setChecked(true);
        click("BitBtn3");
        reportWindow()->close();
        m_prompter->answers = { false };
        click("BitBtn6");
        QVERIFY(!reportWindow()->isVisible());
        QCOMPARE(reportWindow()
                         ->findChild<QTableView *>(QStringLiteral("Units"))
                         ->model()
                         ->rowCount(),
                 5);
    }

    void previewEndedByAnErrorShowsTheErrorAndItsReport()
    {
        m_server->db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON CARKART WHEN NEW.CARKOD='0003' "
                "BEGIN SELECT RAISE(ABORT,'CARKART kilitli'); END"));
        control<QCheckBox>("CheckBox5")->setChecked(true);
        click("BitBtn3");
        QCOMPARE(m_prompter->errors, QStringList{ "CARKART kilitli" });
        QCOMPARE(cardCodes(), (QStringList{ "K1", "K2", "K3", "K4", "K5" }));
        ReportWindow *report = reportWindow();
        QVERIFY(report->isVisible());
        QCOMPARE(report->findChild<QLabel *>(QStringLiteral("RunEnd"))->text(),
                 QStringLiteral("Sonuç: Hata, satır 3: CARKART kilitli"));
        QCOMPARE(report->findChild<QTableView *>(QStringLiteral("Units"))->model()->rowCount(), 2);
    }

    void reportIsSavedWholeOrNotAtAll()
    {
        control<QCheckBox>("CheckBox5")->setChecked(true);
        click("BitBtn3");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("önizleme.csv"));
        reportWindow()->saveAs(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(),
                 QByteArray("\xEF\xBB\xBF")
                         + QStringLiteral("Önizleme: hiçbir değişiklik kaydedilmedi\r\n").toUtf8());

        const QString nowhere = folder.filePath(QStringLiteral("yok/rapor.csv"));
        const QString error = errorRaisedBy([&] { reportWindow()->saveAs(nowhere); });
        QVERIFY2(error.startsWith(QStringLiteral("Rapor kaydedilemedi: ")
                                  + QDir::toNativeSeparators(nowhere)),
                 qPrintable(error));
        QVERIFY(!QFile::exists(nowhere));
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
