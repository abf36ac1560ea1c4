#include "WindowTest.h"
#include "XlsxSheet.h"

#include "app/ReportWindow.h"
#include "db/EmbeddedFolder.h"
#include "ops/RunLog.h"
#include "ops/RunReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace zym;
using zym::test::XlsxSheet;

// The operator's safety net as the window gives it: a backup before a real
// run, the report's heading, the run log on disk, the saved report's place,
// and what connecting shows.
class TestSafetyNet : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        QDir(RunLog::folder()).removeRecursively();
        seedCustomerCards(3);
    }

    void cleanup() { closeWindow(); }

    void backupAndRunLog_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("backupTicked");
        QTest::addColumn<bool>("backupFails");
        QTest::addColumn<bool>("goOnWithout");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("backup"); // what the heading says, "FILE" for the backup's file
        QTest::addColumn<QString>("logSuffix"); // none: no file in the run log
        QTest::newRow("real run, backup made") << false << true << false << true << true << "FILE"
                                               << ".xlsx";
        QTest::newRow("real run, no backup asked for")
                << false << false << false << true << true
                << "Yedek alınmadı (\"Yedek al\" işaretli değil)"
                << ".xlsx";
        QTest::newRow("backup fails, go on")
                << false << true << true << true << true << "Yedek alınamadı: "
                << ".xlsx";
        QTest::newRow("backup fails, stop") << false << true << true << false << false << ""
                                            << "";
        QTest::newRow("preview") << true << true << false << true << false
                                 << "Önizlemede yedek alınmaz"
                                 << " (önizleme).xlsx";
    }

    void backupAndRunLog()
    {
        QFETCH(bool, preview);
        QFETCH(bool, backupTicked);
        QFETCH(bool, backupFails);
        QFETCH(bool, goOnWithout);
        QFETCH(bool, changed);
        QFETCH(QString, backup);
        QFETCH(QString, logSuffix);
        const QString backupFolder = EmbeddedFolder::backupFolder(m_server->folder());
        if (backupFails) // a file where the backups' folder would be
            QVERIFY(QFile(backupFolder).open(QIODevice::WriteOnly));
        connectAndChoose();
        click("BitBtn2");
        control<QCheckBox>("CheckBox5")->setChecked(preview);
        control<QCheckBox>("CheckBox6")->setChecked(backupTicked);
        m_prompter->answers = { true, goOnWithout };
        click("BitBtn3");

        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(cardCodes().first(), changed ? QStringLiteral("0001") : QStringLiteral("K1"));
        const QStringList backups = QDir(backupFolder).entryList(QDir::Files);
        QCOMPARE(backups.size(), backup == QLatin1String("FILE") ? 1 : 0);
        const QStringList logged = QDir(RunLog::folder()).entryList(QDir::Files);
        if (logSuffix.isEmpty()) {
            // Stopped before anything changed: no report, no file.
            QCOMPARE(logged, QStringList());
            QVERIFY(!control<QPushButton>("BitBtn8")->isEnabled());
            return;
        }

        const QString shownBackup = backup == QLatin1String("FILE")
                ? QDir::toNativeSeparators(QDir(backupFolder).filePath(backups.first()))
                : backup;
        const QString heading =
                reportWindow()->findChild<QLabel *>(QStringLiteral("Heading"))->text();
        for (const QString &line : { QStringLiteral("İşlem: Sıralı Cari Kod Düzenleme"),
                                     QStringLiteral("Sunucu: ") + m_server->folder(),
                                     QStringLiteral("Firma: ") + zym::test::TestServer::company,
                                     QStringLiteral("Kullanıcı: ") + RunHeading::currentUser(),
                                     QStringLiteral("Tür: ")
                                             + (preview ? QStringLiteral("Önizleme")
                                                        : QStringLiteral("Gerçek çalıştırma")),
                                     QStringLiteral("Yedek: ") + shownBackup })
            QVERIFY2(heading.contains(line),
                     qPrintable(heading + QStringLiteral("\n lacks ") + line));

        // One file in the run log, named after the run, saying the same.
        QCOMPARE(logged.size(), 1);
        const QRegularExpression name(
                QStringLiteral("^\\d{4}-\\d{2}-\\d{2}_\\d{6} FIRMA_A Sıralı Cari Kod Düzenleme")
                + QRegularExpression::escape(logSuffix) + u'$');
        QVERIFY2(name.match(logged.first()).hasMatch(), qPrintable(logged.first()));
        const XlsxSheet sheet(QDir(RunLog::folder()).filePath(logged.first()), 1);
        QCOMPARE(sheet.error, QString());
        QCOMPARE(sheet.cells.value(QStringLiteral("A8")).text, QStringLiteral("Yedek"));
        QVERIFY2(sheet.cells.value(QStringLiteral("B8")).text.startsWith(shownBackup),
                 qPrintable(sheet.cells.value(QStringLiteral("B8")).text));
        QCOMPARE(sheet.cells.value(QStringLiteral("B9")).text, QStringLiteral("Tamamlandı"));
        QVERIFY(reportWindow()
                        ->findChild<QLabel *>(QStringLiteral("LogFile"))
                        ->text()
                        .endsWith(logged.first()));
    }

    // Saving through the save dialog says where the file went.
    void savingSaysWhere_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("CSV") << "Save"
                             << "rapor.csv";
        QTest::newRow("Excel") << "SaveXlsx"
                               << "rapor.xlsx";
    }

    void savingSaysWhere()
    {
        QFETCH(QString, button);
        QFETCH(QString, fileName);
        connectAndChoose();
        click("BitBtn2");
        click("BitBtn3");
        QTemporaryDir folder;
        const QString path = folder.filePath(fileName);
        QTimer::singleShot(0, [path] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        reportWindow()->findChild<QPushButton *>(button)->click();
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(QFile::exists(path));
        QCOMPARE(m_prompter->notices,
                 QStringList{ QStringLiteral("Rapor kaydedildi: ")
                              + QDir::toNativeSeparators(path) });
    }

    void connectingToAMissingFolder_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("absolute") << "/yok/boyle/bir/klasor";
        QTest::newRow("from the working folder") << "./yok-boyle-bir-klasor";
    }

    void connectingToAMissingFolder()
    {
        QFETCH(QString, server);
        control<QLineEdit>("Edit1")->setText(server);
        click("BitBtn1");
        QCOMPARE(m_prompter->errors,
                 QStringList{ QStringLiteral("Klasör bulunamadı: ")
                              + QDir::toNativeSeparators(server) });
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlı değil"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void cursorWaitsWhileConnecting()
    {
        std::optional<Qt::CursorShape> during;
        connect(&m_window->session().connection, &Connection::connected, this, [&] {
            if (const QCursor *cursor = QApplication::overrideCursor())
                during = cursor->shape();
        });
        click("BitBtn1");
        QCOMPARE(during, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlandı"));
    }

    void windowCarriesTheProgramsIcon() { QVERIFY(!m_window->windowIcon().pixmap(32).isNull()); }
};

QTEST_MAIN(TestSafetyNet)
#include "tst_safetynet.moc"
