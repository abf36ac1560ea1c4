#include "../cards/CardFixture.h"
#include "CompanyTest.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"

#include "cards/CardDeletion.h"
#include "cards/CardList.h"
#include "cards/SequentialRecoding.h"
#include "db/DatabaseSeeder.h"
#include "db/EmbeddedFolder.h"
#include "ops/RunBackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace zym;
using namespace zym::test;

// The backup a real run makes before its first change, through the
// operations as the window runs them: made, refused and gone on without,
// refused and stopped; on a walk and on a single unit.
class TestRunBackup : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        seedCards(m_server->db(),
                  { { QStringLiteral("K1"), QStringLiteral("Bir"), 1 },
                    { QStringLiteral("K2"), QStringLiteral("İki"), 1 } });
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    void cleanup() { stopServer(); }

    void backupBeforeTheFirstChange_data()
    {
        QTest::addColumn<bool>("walk");
        QTest::addColumn<bool>("backupFails");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<QStringList>("codesAfter");
        const QStringList renumbered{ "0001", "0002" };
        const QStringList untouched{ "K1", "K2" };
        const QStringList deleted{ "K2" };
        QTest::newRow("walk, backup made") << true << false << true << renumbered;
        QTest::newRow("walk, backup fails, Yes") << true << true << true << renumbered;
        QTest::newRow("walk, backup fails, No") << true << true << false << untouched;
        QTest::newRow("single unit, backup made") << false << false << true << deleted;
        QTest::newRow("single unit, backup fails, Yes") << false << true << true << deleted;
        QTest::newRow("single unit, backup fails, No") << false << true << false << untouched;
    }

    void backupBeforeTheFirstChange()
    {
        QFETCH(bool, walk);
        QFETCH(bool, backupFails);
        QFETCH(bool, goOn);
        QFETCH(QStringList, codesAfter);
        if (backupFails && !m_server->hasFiles())
            QSKIP("a failing backup is laid out on the embedded folder");
        const QString backupFolder = EmbeddedFolder::backupFolder(m_server->folder());
        // A file where the backups' folder would be: no backup can be made.
        if (backupFails)
            QVERIFY(QFile(backupFolder).open(QIODevice::WriteOnly));

        RecordingPrompter prompter;
        prompter.answers = { true, goOn }; // the operation's own prompt, then the backup's question
        ScriptedProgress progress;
        RunBackup backup(m_session->connection, prompter);
        OperationContext context{ *m_session, prompter, progress };
        QStringList backupsSeen; // the card rows as the backup found them
        context.beforeChanges = [&] {
            backupsSeen << codesIn(m_server->db(), QStringLiteral("CARKART"),
                                   QStringLiteral("CARKOD"));
            backup.make(progress);
        };
        bool declined = false;
        try {
            if (walk)
                SequentialRecoding(context).run({ .startNumber = "1",
                                                  .codeMask = "0000",
                                                  .firstCustomerNumber = "1",
                                                  .firstSupplierNumber = "1" });
            else
                CardDeletion(context).run({ CardList::defaultQuery });
        } catch (const RunDeclined &) {
            declined = true;
        }

        QCOMPARE(declined, !goOn);
        QCOMPARE(codesIn(m_server->db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 codesAfter);
        // Asked first, changed after: the backup saw the cards as they were.
        QCOMPARE(backupsSeen, (QStringList{ "K1", "K2" }));
        if (backupFails) {
            QCOMPARE(prompter.questions.size(), 2);
            QVERIFY2(prompter.questions.last().startsWith(
                             QStringLiteral("Uyarı: Yedek alınamadı: ")),
                     qPrintable(prompter.questions.last()));
            QVERIFY(prompter.questions.last().endsWith(
                    QStringLiteral(". Yedeksiz devam edilsin mi?")));
            QVERIFY(backup.outcome().startsWith(QStringLiteral("Yedek alınamadı: ")));
            return;
        }
        QCOMPARE(prompter.questions.size(), 1);
        const QString file = backup.outcome();
        // The progress dialog says what is being done, then what it took.
        QCOMPARE(progress.notes.size(), 2);
        QCOMPARE(progress.notes.first(), QStringLiteral("Yedek alınıyor: ") + TestServer::company);
        QVERIFY2(QRegularExpression(QStringLiteral("^Yedek alındı \\(\\d+,\\d sn\\): "))
                                 .match(progress.notes.last())
                                 .hasMatch()
                         && progress.notes.last().endsWith(file),
                 qPrintable(progress.notes.last()));
        const QString expected = TestServer::company + QStringLiteral("_\\d{8}_\\d{6}\\.");
        QVERIFY2(QRegularExpression(expected).match(QFileInfo(file).fileName()).hasMatch(),
                 qPrintable(file));
        if (!m_server->hasFiles())
            return;
        QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(backupFolder).absoluteFilePath());
        // The backup is a database of its own, with the rows as they were.
        QTemporaryDir opened;
        QVERIFY(QFile::copy(file,
                            EmbeddedFolder::databaseFile(opened.path(), QStringLiteral("KOPYA"))));
        DatabaseSeeder copy(opened.path(), QStringLiteral("KOPYA"));
        QCOMPARE(codesIn(copy, QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "K1", "K2" }));
    }

    // A walk with no rows to walk changes nothing and makes no backup.
    void walkOverNoRowsMakesNoBackup()
    {
        m_session->cardList.setCurrentRow(m_session->cardList.rowCount());
        RecordingPrompter prompter;
        ScriptedProgress progress;
        OperationContext context{ *m_session, prompter, progress };
        int backups = 0;
        context.beforeChanges = [&] { ++backups; };
        SequentialRecoding(context).run({ .startNumber = "1",
                                          .codeMask = "0000",
                                          .firstCustomerNumber = "1",
                                          .firstSupplierNumber = "1" });
        QCOMPARE(backups, 0);
    }
};

QTEST_GUILESS_MAIN(TestRunBackup)
#include "tst_runbackup.moc"
