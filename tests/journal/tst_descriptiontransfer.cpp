#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "JournalFixture.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"

#include "journal/DescriptionTransfer.h"
#include "journal/LineListing.h"
#include "journal/VoucherList.h"

#include <QTest>

#include <optional>

using namespace zym;
using namespace zym::test;

using Lines = QList<JournalLine>;
Q_DECLARE_METATYPE(Lines)

// The description transfer over the voucher list, on the lines and accounts
// a company holds.
class TestDescriptionTransfer : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = RecordingPrompter();
        m_progress = ScriptedProgress();
        m_executed.clear();
        seedAccounts(db(),
                     { { QStringLiteral("100 01"), QStringLiteral("Kasa") },
                       { QStringLiteral("102 01 001"), QStringLiteral("Banka Ş.") },
                       { QStringLiteral("320 01 001"), QStringLiteral("Çelik Ltd.") },
                       { QStringLiteral("600 01"), QString() } });
    }

    void cleanup() { stopServer(); }

    void linesDescribed_data()
    {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QStringList>("described");
        // Type-1 lines on A and B (read by line number, not as stored), one type-2 line on C.
        QTest::newRow("A|B| and C|") << Lines{ { 1, 3, 1, "102 01 001" },
                                               { 1, 1, 1, "100 01" },
                                               { 1, 2, 2, "320 01 001" } }
                                     << QStringList{ "1: 320 01 001| / Çelik Ltd.|",
                                                     "2: 100 01|102 01 001| / Kasa|Banka Ş.|",
                                                     "3: 320 01 001| / Çelik Ltd.|" };
        QTest::newRow("no type-1 lines")
                << Lines{ { 1, 1, 2, "100 01" }, { 1, 2, 2, "320 01 001" } }
                << QStringList{ "1:  / ", "2:  / " };
        QTest::newRow("code without an account")
                << Lines{ { 1, 1, 1, "999 99" }, { 1, 2, 1, "100 01" }, { 1, 3, 2, "100 01" } }
                << QStringList{ "1: 100 01| / Kasa|", "2: 100 01| / Kasa|",
                                "3: 999 99|100 01| / |Kasa|" };
        QTest::newRow("empty and null values")
                << Lines{ { 1, 1, 1, "" },
                          { 1, 2, 1, QVariant() },
                          { 1, 3, 1, "600 01" },
                          { 1, 4, 2, "100 01" } }
                << QStringList{ "1: 100 01| / Kasa|", "2: 100 01| / Kasa|", "3: 100 01| / Kasa|",
                                "4: ||600 01| / |||" };
    }

    void linesDescribed()
    {
        QFETCH(Lines, lines);
        QFETCH(QStringList, described);
        seedJournal(db(), { 1 }, lines);
        run();
        QCOMPARE(m_prompter.errors, QStringList());
        QCOMPARE(descriptions(db(), 1), described);
        QVERIFY(m_prompter.notices.isEmpty());
        QVERIFY(m_prompter.questions.isEmpty());
    }

    void noLinesOfTheOtherTypeGiveEmptyTextNotNull()
    {
        seedJournal(db(), { 1 }, { { 1, 1, 2, "100 01" } });
        run();
        QCOMPARE(db().scalar(QStringLiteral("SELECT typeof(MUHHARACIKLAMA1) || "
                                            "typeof(MUHHARACIKLAMA2) FROM MUHHAR"))
                         .toString(),
                 QStringLiteral("texttext"));
    }

    // 10 codes of 11 characters make 110: the first 80 are kept, which ends
    // inside the eighth code.
    void summaryIsCutTo80Characters()
    {
        Lines lines;
        QString codes;
        for (int i = 1; i <= 10; ++i) {
            const QString code = QStringLiteral("770 01 %1").arg(i, 3, 10, QLatin1Char('0'));
            lines << JournalLine{ 1, i, 1, code };
            codes += code + u'|';
        }
        lines << JournalLine{ 1, 11, 2, "100 01" };
        seedJournal(db(), { 1 }, lines);
        run();
        QCOMPARE(codes.size(), 110);
        const QString cut =
                db().scalar(QStringLiteral(
                                    "SELECT MUHHARACIKLAMA1 FROM MUHHAR WHERE MUHHARSIRANO=11"))
                        .toString();
        QCOMPARE(cut, codes.left(80));
        QVERIFY(cut.endsWith(QStringLiteral("007|770")));
        QCOMPARE(db().scalar(QStringLiteral(
                                     "SELECT MUHHARACIKLAMA2 FROM MUHHAR WHERE MUHHARSIRANO=11"))
                         .toString(),
                 QString(10, u'|'));
    }

    // A character of two UTF-16 units across the 80th place is left out
    // whole: half of it would be no text at all.
    void summaryCutNeverSplitsACharacter_data()
    {
        QTest::addColumn<int>("letters");
        QTest::addColumn<QString>("kept");
        const QString face = QString::fromUcs4(U"\U0001F600");
        QTest::newRow("across the cut") << 79 << QString(79, u'a');
        QTest::newRow("ends at the cut") << 78 << QString(78, u'a') + face;
    }

    void summaryCutNeverSplitsACharacter()
    {
        QFETCH(int, letters);
        QFETCH(QString, kept);
        if (!m_server->isEmbedded())
            QSKIP("SQL Server's VARCHAR in code page 1254 cannot hold a character beyond it");
        seedAccounts(db(),
                     { { QStringLiteral("199 01"),
                         QString(letters, u'a') + QString::fromUcs4(U"\U0001F600") } });
        seedJournal(db(), { 1 }, { { 1, 1, 1, "199 01" }, { 1, 2, 2, "100 01" } });
        run();
        QCOMPARE(db().scalar(QStringLiteral(
                                     "SELECT MUHHARACIKLAMA2 FROM MUHHAR WHERE MUHHARSIRANO=2"))
                         .toString(),
                 kept);
    }

    void startsAtTheSelectedVoucher()
    {
        seedThreeVouchers();
        loadList();
        m_session->voucherList.setCurrentRow(1);
        run();
        QCOMPARE(descriptions(db(), 1), (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(descriptions(db(), 2),
                 (QStringList{ "1: 320 01 001| / Çelik Ltd.|", "2: 100 01| / Kasa|" }));
        QCOMPARE(descriptions(db(), 3),
                 (QStringList{ "1: 320 01 001| / Çelik Ltd.|", "2: 102 01 001| / Banka Ş.|" }));
        QVERIFY(m_session->voucherList.atEnd());
        QCOMPARE(m_progress.total, 2);
    }

    void runningTwiceGivesTheSameResult()
    {
        seedThreeVouchers();
        run();
        const QStringList once =
                descriptions(db(), 1) + descriptions(db(), 2) + descriptions(db(), 3);
        loadList();
        run();
        QCOMPARE(descriptions(db(), 1) + descriptions(db(), 2) + descriptions(db(), 3), once);
    }

    // Per voucher, the type-2 lines are written first, then the type-1
    // lines, with the reference number bound as an integer; the grid of the
    // list does not follow it meanwhile.
    void updatesAsWritten()
    {
        seedJournal(db(), { 7 }, { { 7, 1, 1, "100 01" }, { 7, 2, 2, "320 01 001" } });
        run();
        QCOMPARE(m_executed,
                 (QStringList{ "UPDATE MUHHAR SET MUHHARACIKLAMA1=:pAcik1,MUHHARACIKLAMA2=:pAcik2 "
                               "WHERE MUHHARREFNO=:pREFNO "
                               "and MUHHARBATIPI=2 |100 01||Kasa||7 int|held",
                               "UPDATE MUHHAR SET MUHHARACIKLAMA1=:pAcik1,MUHHARACIKLAMA2=:pAcik2 "
                               "WHERE MUHHARREFNO=:pREFNO "
                               "and MUHHARBATIPI=1|320 01 001||Çelik Ltd.||7 int|held" }));
        QVERIFY(!m_session->voucherList.controlsHeld());
    }

    // The journal list is left on the last voucher's type-2 lines, with no
    // start date or pattern of a listing.
    void journalListHoldsTheLastReading()
    {
        seedThreeVouchers();
        run();
        const Statement &lines = m_session->journalLines;
        QVERIFY(lines.isOpen());
        QCOMPARE(lines.rowCount(), 1);
        QCOMPARE(lines.result()
                         .rows.first()
                         .at(lines.result().columnIndex(QStringLiteral("MUHHARREFNO")))
                         .toInt(),
                 3);
        QCOMPARE(lines.result()
                         .rows.first()
                         .at(lines.result().columnIndex(QStringLiteral("MUHHARADI")))
                         .toString(),
                 QStringLiteral("Çelik Ltd."));
        QVERIFY(!LineListing::selectionBound(lines));
    }

    // The failing voucher keeps both line types as they were; the list and
    // its grid are on it.
    void failingUpdateRollsTheVoucherBack()
    {
        if (!m_server->hasFiles())
            QSKIP("an SQLite trigger makes the update fail");
        seedThreeVouchers();
        db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON MUHHAR WHEN NEW.MUHHARREFNO=2 AND "
                "NEW.MUHHARBATIPI=1 BEGIN SELECT RAISE(ABORT,'MUHHAR kilitli'); END"));
        const QString error = errorRaisedBy([&] { run(); });
        QVERIFY2(error.contains(QStringLiteral("kilitli")), qPrintable(error));
        QCOMPARE(descriptions(db(), 1),
                 (QStringList{ "1: 320 01 001| / Çelik Ltd.|", "2: 100 01| / Kasa|" }));
        QCOMPARE(descriptions(db(), 2), (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(descriptions(db(), 3), (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(m_session->voucherList.currentRow(), 1);
        QVERIFY(!m_session->voucherList.controlsHeld());
        QVERIFY(!m_session->connection.inUnit());
    }

    // A failure at either update of a voucher's unit, or at its commit,
    // leaves both line types of that voucher as they were, the voucher
    // before it described, the one after it untouched, and the error on its
    // way to the default error display. Committed voucher by voucher or all
    // in one transaction, the run leaves the same rows.
    void failureAtEveryPositionOfAUnit_data()
    {
        QTest::addColumn<int>("position"); // 1-based update of the unit; 0 for the commit
        QTest::newRow("type-2 lines") << 1;
        QTest::newRow("type-1 lines") << 2;
        QTest::newRow("commit") << 0;
    }

    void failureAtEveryPositionOfAUnit()
    {
        QFETCH(int, position);
        if (position == 0 && !m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        compareGroupings(
                m_server,
                [this] {
                    cleanup();
                    init();
                },
                [&](const CommitGrouping &grouping) {
                    seedThreeVouchers();
                    loadList();
                    runFailingAt(m_session->connection, position,
                                 InjectedFailure::onRow(m_session->voucherList, 1),
                                 [&] { run(grouping); });
                    if (QTest::currentTestFailed())
                        return;
                    QCOMPARE(descriptions(db(), 1),
                             (QStringList{ "1: 320 01 001| / Çelik Ltd.|", "2: 100 01| / Kasa|" }));
                    QCOMPARE(descriptions(db(), 2),
                             (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
                    QCOMPARE(descriptions(db(), 3),
                             (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
                    QCOMPARE(m_session->voucherList.currentRow(), 1);
                    QVERIFY(!m_session->voucherList.controlsHeld());
                });
    }

    void cancelEndsTheRunBetweenVouchers()
    {
        seedThreeVouchers();
        m_progress.cancelAfter = 1;
        run();
        QCOMPARE(descriptions(db(), 1),
                 (QStringList{ "1: 320 01 001| / Çelik Ltd.|", "2: 100 01| / Kasa|" }));
        QCOMPARE(descriptions(db(), 2), (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(m_session->voucherList.currentRow(), 1);
    }

    void listNotLoadedChangesNothing()
    {
        seedThreeVouchers();
        m_server->connect(*m_session);
        run();
        QCOMPARE(descriptions(db(), 1), (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(m_progress.total, -1);
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }

    void seedThreeVouchers()
    {
        seedJournal(db(), { 1, 2, 3 },
                    { { 1, 1, 1, "100 01" },
                      { 1, 2, 2, "320 01 001" },
                      { 2, 1, 1, "100 01" },
                      { 2, 2, 2, "320 01 001" },
                      { 3, 1, 1, "102 01 001" },
                      { 3, 2, 2, "320 01 001" } });
    }

    void loadList()
    {
        if (!m_session->connection.isOpen()) {
            m_server->connect(*m_session);
            m_recording = m_session->connection.observe(
                    { .executed = [this](const QString &sql, const QVariantMap &values, int) {
                        const QVariant reference = values.value(QStringLiteral("pREFNO"));
                        m_executed
                                << QStringList{ sql,
                                                values.value(QStringLiteral("pAcik1")).toString(),
                                                values.value(QStringLiteral("pAcik2")).toString(),
                                                reference.toString() + u' '
                                                        + QString::fromLatin1(reference.typeName()),
                                                m_session->voucherList.controlsHeld()
                                                        ? QStringLiteral("held")
                                                        : QStringLiteral("free") }
                                           .join(u'|');
                    } });
        }
        VoucherList::load(*m_session);
    }

    void run(const CommitGrouping &grouping = {})
    {
        if (!m_session->connection.isOpen())
            loadList();
        DescriptionTransfer({ *m_session, m_prompter, m_progress, grouping })
                .run(DescriptionTransferRequest{});
    }

    RecordingPrompter m_prompter;
    ScriptedProgress m_progress;
    QStringList m_executed;
    std::optional<Connection::Observation> m_recording;
};

QTEST_GUILESS_MAIN(TestDescriptionTransfer)
#include "tst_descriptiontransfer.moc"
