#include "CompanyTest.h"
#include "ErrorRaised.h"
#include "JournalFixture.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"
#include "ShownTexts.h"

#include "journal/DescriptionTransfer.h"
#include "journal/DocumentRenumbering.h"
#include "journal/LineListing.h"
#include "journal/VoucherList.h"

#include <QTest>

#include <optional>

using namespace zym;
using namespace zym::test;
using ShownTexts::renumberingFinished;

using Numbers = QMap<int, QStringList>;

namespace {

const QString pattern = QStringLiteral("103 01 %");

} // namespace

// The line listing and the renumbering of the vouchers it selects.
class TestDocumentRenumbering : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = RecordingPrompter();
        m_progress = ScriptedProgress();
        m_executed.clear();
    }

    void cleanup() { stopServer(); }

    // Vouchers 30 on 3 March, 10 on 1 March, 21 and 20 on 2 March.
    void numbersInOrderOfDateThenReference_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("numbers"); // of 10, 20, 21, 30
        QTest::newRow("defaults") << "22FCB0"
                                  << "1"
                                  << QStringList{ "22FCB01", "22FCB02", "22FCB03", "22FCB04" };
        QTest::newRow("from 9") << "22FCB0"
                                << "9"
                                << QStringList{ "22FCB09", "22FCB010", "22FCB011", "22FCB012" };
        QTest::newRow("from 0") << "22FCB0"
                                << "0" << QStringList{ "22FCB00", "22FCB01", "22FCB02", "22FCB03" };
        QTest::newRow("from -1") << "22FCB0"
                                 << "-1"
                                 << QStringList{ "22FCB0-1", "22FCB00", "22FCB01", "22FCB02" };
        QTest::newRow("no prefix") << ""
                                   << "1" << QStringList{ "1", "2", "3", "4" };
        QTest::newRow("typed with a sign and blanks")
                << "A"
                << " +7" << QStringList{ "A7", "A8", "A9", "A10" };
    }

    void numbersInOrderOfDateThenReference()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, first);
        QFETCH(QStringList, numbers);
        seedJournal(db(), { 10, 20, 21, 30 },
                    { { 30, 1, 1, "103 01 001", QDate(2024, 3, 3) },
                      { 30, 2, 2, "600 01", QDate(2024, 3, 3) },
                      { 10, 1, 1, "103 01 002", QDate(2024, 3, 1) },
                      { 21, 1, 2, "103 01 001", QDate(2024, 3, 2) },
                      { 20, 1, 1, "103 01 001", QDate(2024, 3, 2) },
                      { 20, 2, 2, "770 01", QDate(2024, 3, 2) } });
        list(QDate(2024, 3, 1));
        renumber(prefix, first);
        QCOMPARE(m_prompter.errors, QStringList());
        QCOMPARE(documentNumbers(db()),
                 (Numbers{ { 10, { numbers.at(0) } },
                           { 20, { numbers.at(1) } },
                           { 21, { numbers.at(2) } },
                           { 30, { numbers.at(3) } } }));
        QCOMPARE(m_prompter.notices, QStringList{ renumberingFinished });
        QVERIFY(m_prompter.questions.isEmpty());
    }

    // Lines of two dates and two old numbers are still one voucher: one
    // row, one number, and the next voucher takes the next number.
    void voucherWithTwoOldNumbersTakesOneNumber()
    {
        seedJournal(db(), { 5, 6 },
                    { { 5, 1, 1, "103 01 001", QDate(2024, 3, 4), "A" },
                      { 5, 2, 2, "600 01", QDate(2024, 3, 1), "B" },
                      { 6, 1, 1, "103 01 001", QDate(2024, 3, 2), "C" } });
        list(QDate(2024, 3, 1));
        renumber(QStringLiteral("P"), QStringLiteral("1"));
        QCOMPARE(documentNumbers(db()), (Numbers{ { 5, { "P1" } }, { 6, { "P2" } } }));
        const Statement &shown = m_session->journalLines;
        QCOMPARE(shown.rowCount(), 2);
        QVERIFY(shown.atEnd());
        QCOMPARE(shown.result()
                         .rows.at(0)
                         .at(shown.result().columnIndex(QStringLiteral("MUHHAREVRAKNO")))
                         .toString(),
                 QStringLiteral("A"));
    }

    // A voucher is selected by a matching line of any date and a header;
    // only its lines on or after the start date are listed, all are renumbered.
    void selection()
    {
        seedJournal(db(), { 1, 2, 3, 5 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 2, 28) },
                      { 1, 2, 2, "600 01", QDate(2024, 3, 2) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 2, 27) },
                      { 3, 1, 1, "600 01", QDate(2024, 3, 5) },
                      { 3, 2, 2, "103 02 001", QDate(2024, 3, 5) },
                      { 4, 1, 1, "103 01 001", QDate(2024, 3, 5) },
                      { 5, 1, 1, "103 01 009", QDate(2024, 3, 1) } });
        list(QDate(2024, 3, 1));
        QCOMPARE(listed(), (QStringList{ "5/1", "1/2" }));
        renumber(QStringLiteral("N"), QStringLiteral("1"));
        QCOMPARE(documentNumbers(db()),
                 (Numbers{ { 1, { "N2" } },
                           { 2, { "ESKI" } },
                           { 3, { "ESKI" } },
                           { 4, { "ESKI" } },
                           { 5, { "N1" } } }));
    }

    void lineListingOrder()
    {
        seedJournal(db(), { 1, 2 },
                    { { 2, 2, 2, "600 01", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 1, 3, 2, "600 01", QDate(2024, 3, 2) },
                      { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) } });
        list(QDate(2024, 3, 1));
        QCOMPARE(listed(), (QStringList{ "1/1", "2/1", "2/2", "1/3" }));
        QCOMPARE(m_session->journalLines.result().columns.size(), 8);
        QCOMPARE(m_session->journalLines.currentRow(), 0);
    }

    void noStartDateListsEveryDate()
    {
        seedJournal(db(), { 1, 2 },
                    { { 1, 1, 1, "103 01 001", QDate(1900, 1, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2030, 12, 31) } });
        list(std::nullopt);
        QCOMPARE(listed(), (QStringList{ "1/1", "2/1" }));
        renumber(QStringLiteral("T"), QStringLiteral("1"));
        QCOMPARE(documentNumbers(db()), (Numbers{ { 1, { "T1" } }, { 2, { "T2" } } }));
    }

    void startDateIsTheWholeDay()
    {
        seedJournal(db(), { 1, 2 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 2, 29) } });
        list(QDate(2024, 3, 1));
        QCOMPARE(listed(), QStringList{ "1/1" });
    }

    void noSelectionStillFinishes()
    {
        seedJournal(db(), { 1 }, { { 1, 1, 1, "600 01" } });
        list(std::nullopt);
        renumber(QStringLiteral("P"), QStringLiteral("1"));
        QCOMPARE(documentNumbers(db()), (Numbers{ { 1, { "ESKI" } } }));
        QCOMPARE(m_prompter.notices, QStringList{ renumberingFinished });
        QVERIFY(m_executed.isEmpty());
    }

    // With no start date and pattern on the journal list, the operator is
    // asked to list first, and neither the lines nor the list change.
    void startBeforeListing_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("never listed") << "nothing";
        QTest::newRow("transfer since the listing") << "transfer";
    }

    void startBeforeListing()
    {
        QFETCH(QString, before);
        seedJournal(db(), { 1 }, { { 1, 1, 1, "103 01 001" }, { 1, 2, 2, "600 01" } });
        connect();
        if (before == QStringLiteral("transfer")) {
            list(std::nullopt);
            VoucherList::load(*m_session);
            DescriptionTransfer({ *m_session, m_prompter, m_progress })
                    .run(DescriptionTransferRequest{});
        }
        const QString text = m_session->journalLines.text();
        const int rows = m_session->journalLines.rowCount();
        m_executed.clear();
        renumber(QStringLiteral("P"), QStringLiteral("1"));
        QCOMPARE(m_prompter.notices, QStringList{ "Önce Listele ile kayıtları listeleyin." });
        QCOMPARE(documentNumbers(db()), (Numbers{ { 1, { "ESKI" } } }));
        QCOMPARE(m_session->journalLines.text(), text);
        QCOMPARE(m_session->journalLines.rowCount(), rows);
        QVERIFY(m_executed.isEmpty());
    }

    // The first number is converted once the voucher listing is open: it is
    // shown, and nothing is changed.
    void firstNumberThatIsNoNumber()
    {
        seedJournal(db(), { 1, 2 }, { { 1, 1, 1, "103 01 001" }, { 2, 1, 1, "103 01 001" } });
        list(std::nullopt);
        QCOMPARE(errorRaisedBy([&] { renumber(QStringLiteral("P"), QStringLiteral("abc")); }),
                 QStringLiteral("'abc' is not a valid integer value"));
        QCOMPARE(documentNumbers(db()), (Numbers{ { 1, { "ESKI" } }, { 2, { "ESKI" } } }));
        QVERIFY(m_session->journalLines.text().startsWith(
                QStringLiteral("SELECT MUHHARREFNO,MIN(MUHHARTAR)")));
        QCOMPARE(m_session->journalLines.rowCount(), 2);
        QVERIFY(m_prompter.notices.isEmpty());
    }

    // Each voucher's lines get the number in one update, with the reference
    // bound as an integer.
    void updateAsWritten()
    {
        seedJournal(db(), { 4 }, { { 4, 1, 1, "103 01 001" }, { 4, 2, 2, "600 01" } });
        list(std::nullopt);
        renumber(QStringLiteral("22FCB0"), QStringLiteral("1"));
        QCOMPARE(m_executed,
                 QStringList{ "UPDATE MUHHAR SET MUHHAREVRAKNO=:pKods  WHERE MUHHARREFNO=:pREFNO "
                              "|22FCB01|4 int|2" });
    }

    void failingUpdateEndsTheRunAtItsVoucher()
    {
        if (!m_server->hasFiles())
            QSKIP("an SQLite trigger makes the update fail");
        seedJournal(db(), { 1, 2, 3 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 3, 2) },
                      { 2, 2, 2, "600 01", QDate(2024, 3, 2) },
                      { 3, 1, 1, "103 01 001", QDate(2024, 3, 3) } });
        db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON MUHHAR WHEN NEW.MUHHARREFNO=2 AND "
                "NEW.MUHHARSIRANO=2 BEGIN SELECT RAISE(ABORT,'MUHHAR kilitli'); END"));
        list(std::nullopt);
        const QString error =
                errorRaisedBy([&] { renumber(QStringLiteral("P"), QStringLiteral("1")); });
        QVERIFY2(error.contains(QStringLiteral("kilitli")), qPrintable(error));
        QCOMPARE(documentNumbers(db()),
                 (Numbers{ { 1, { "P1" } }, { 2, { "ESKI" } }, { 3, { "ESKI" } } }));
        QVERIFY(m_prompter.notices.isEmpty());
        QCOMPARE(m_session->journalLines.currentRow(), 1);
        QVERIFY(!m_session->connection.inUnit());
    }

    // A cancelled run is not reported as completed.
    void cancelEndsTheRunBetweenVouchers()
    {
        seedJournal(db(), { 1, 2, 3 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 3, 2) },
                      { 3, 1, 1, "103 01 001", QDate(2024, 3, 3) } });
        list(std::nullopt);
        m_progress.cancelAfter = 2;
        renumber(QStringLiteral("P"), QStringLiteral("1"));
        QCOMPARE(documentNumbers(db()),
                 (Numbers{ { 1, { "P1" } }, { 2, { "P2" } }, { 3, { "ESKI" } } }));
        QCOMPARE(m_progress.total, 3);
        QVERIFY(m_prompter.notices.isEmpty());
    }

    // A second start numbers the same selection again from the typed number.
    void secondStartNumbersTheSelectionAgain()
    {
        seedJournal(db(), { 1, 2 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 3, 2) } });
        list(std::nullopt);
        renumber(QStringLiteral("P"), QStringLiteral("1"));
        renumber(QStringLiteral("R"), QStringLiteral("5"));
        QCOMPARE(documentNumbers(db()), (Numbers{ { 1, { "R5" } }, { 2, { "R6" } } }));
        QCOMPARE(m_prompter.notices, (QStringList{ renumberingFinished, renumberingFinished }));
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }

    void connect()
    {
        if (m_session->connection.isOpen())
            return;
        m_server->connect(*m_session);
        m_recording = m_session->connection.observe(
                { .executed = [this](const QString &sql, const QVariantMap &values, int affected) {
                    const QVariant reference = values.value(QStringLiteral("pREFNO"));
                    m_executed << QStringList{ sql,
                                               values.value(QStringLiteral("pKods")).toString(),
                                               reference.toString() + u' '
                                                       + QString::fromLatin1(reference.typeName()),
                                               QString::number(affected) }
                                          .join(u'|');
                } });
    }

    void list(std::optional<QDate> startDate)
    {
        connect();
        LineListing::open(*m_session,
                          LineListingRequest{ .startDate = startDate, .accountPattern = pattern });
    }

    void renumber(const QString &prefix, const QString &first)
    {
        connect();
        DocumentRenumbering({ *m_session, m_prompter, m_progress })
                .run(RenumberingRequest{ .prefix = prefix, .firstNumber = first });
    }

    // "voucher/line" of each listed line, in the listing's order.
    QStringList listed()
    {
        QStringList lines;
        Statement &list = m_session->journalLines;
        for (; !list.atEnd(); list.next())
            lines << list.readText(QStringLiteral("MUHHARREFNO")) + u'/'
                            + list.readText(QStringLiteral("MUHHARSIRANO"));
        list.setCurrentRow(0);
        return lines;
    }

    RecordingPrompter m_prompter;
    ScriptedProgress m_progress;
    QStringList m_executed;
    std::optional<Connection::Observation> m_recording;
};

QTEST_GUILESS_MAIN(TestDocumentRenumbering)
#include "tst_documentrenumbering.moc"
