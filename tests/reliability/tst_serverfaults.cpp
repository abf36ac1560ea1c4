#include "../cards/CardFixture.h"
#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "RecordingPrompter.h"
#include "tds/TdsFaults.h"
#include "tds/TdsStandIn.h"

#include "cards/CardList.h"
#include "cards/SequentialRecoding.h"
#include "ops/RecordedRun.h"

#include <QTest>

using namespace zym;
using namespace zym::test;
using zym::test::tds::Fault;

// What a run meets from SQL Server itself: a transaction the server ends
// (a deadlock it chose the unit to lose, a trigger's rollback), a record
// another user holds locked, a connection that drops. The TDS stand-in plays
// them on the FreeTDS row.
class TestServerFaults : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        if (!m_server->standIn())
            QSKIP("the server's faults are played by the TDS stand-in");
        QList<CardRow> cards;
        for (int i = 1; i <= 5; ++i)
            cards << CardRow{ QStringLiteral("K%1").arg(i), QStringLiteral("Kart %1").arg(i), 1 };
        seedCards(m_server->db(), cards);
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    void cleanup()
    {
        stopServer();
        m_prompter = {};
    }

    void serverEndingTheTransaction_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("grouped");
        for (const bool grouped : { false, true }) {
            const char *grouping = grouped ? "grouped" : "alone";
            QTest::addRow("trigger rollback, %s", grouping) << 3609 << grouped;
            QTest::addRow("count mismatch, %s", grouping) << 266 << grouped;
        }
    }

    // The server has rolled the transaction back itself: the cards before the
    // failing one are kept (run again where they shared its transaction),
    // the failing card keeps its old code, the server's text is shown and the
    // connection stays open.
    void serverEndingTheTransaction()
    {
        QFETCH(int, error);
        QFETCH(bool, grouped);
        failThirdCard(Fault::failing(cardRename, error, 3));
        const RunOutcome outcome = run(grouped);
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.report.end.reason, RunEnd::Reason::Error);
        QVERIFY2(outcome.report.end.text.contains(Fault::failing(cardRename, error).text()),
                 qPrintable(outcome.report.end.text));
        QCOMPARE(outcome.report.units.size(), 2);
        QVERIFY(m_session->connection.isOpen());
        QVERIFY(!m_session->connection.inUnit());
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K1"), QStringLiteral("0001"),
                                  20));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K2"), QStringLiteral("0002"),
                                  20));
        for (const QString &untouched :
             { QStringLiteral("K3"), QStringLiteral("K4"), QStringLiteral("K5") })
            QVERIFY(renamedEverywhere(m_server->db(), untouched, untouched, 20));
        QCOMPARE(m_session->cardList.currentRow(), 2);
    }

    void deadlockVictimIsTriedAgainOnce_data()
    {
        QTest::addColumn<bool>("grouped");
        QTest::addColumn<QList<int>>(
                "renamesLost"); // which of the card renames the server gives up
        // Alone: K1, K2, K3 lost, K3 again. Grouped: K1, K2, K3 lost, K1
        // and K2 again on their own, K3 again.
        QTest::newRow("once, alone") << false << QList<int>{ 3 };
        QTest::newRow("once, grouped") << true << QList<int>{ 3 };
        QTest::newRow("twice, alone") << false << QList<int>{ 3, 4 };
        QTest::newRow("twice, grouped") << true << QList<int>{ 3, 6 };
    }

    // A unit the server chose as a deadlock victim runs again once on its
    // own; losing twice fails it like any error.
    void deadlockVictimIsTriedAgainOnce()
    {
        QFETCH(bool, grouped);
        QFETCH(QList<int>, renamesLost);
        for (const int occurrence : renamesLost)
            failThirdCard(Fault::failing(cardRename, 1205, occurrence));
        const qsizetype deadlocks = renamesLost.size();
        const RunOutcome outcome = run(grouped);
        QCOMPARE(bool(outcome.failure), deadlocks > 1);
        QCOMPARE(outcome.report.units.size(), deadlocks > 1 ? 2 : 5);
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K2"), QStringLiteral("0002"),
                                  20));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K3"),
                                  deadlocks > 1 ? QStringLiteral("K3") : QStringLiteral("0003"),
                                  20));
        QVERIFY(m_prompter.questions.size() == 1); // the confirmation alone
    }

    void lockedRecordAsksToTryAgain_data()
    {
        QTest::addColumn<bool>("grouped");
        QTest::addColumn<bool>("tryAgain");
        for (const bool grouped : { false, true }) {
            QTest::addRow("try again, %s", grouped ? "grouped" : "alone") << grouped << true;
            QTest::addRow("stop, %s", grouped ? "grouped" : "alone") << grouped << false;
        }
    }

    // A statement that waited past the lock time-out fails its unit; once
    // no transaction is open the operator chooses to try it again or stop.
    void lockedRecordAsksToTryAgain()
    {
        QFETCH(bool, grouped);
        QFETCH(bool, tryAgain);
        failThirdCard(Fault::failing(cardRename, 1222, 3));
        m_prompter.answers = { true, tryAgain };
        const RunOutcome outcome = run(grouped);
        QCOMPARE(m_prompter.questions.size(), 2);
        QVERIFY2(m_prompter.questions.last().contains(QStringLiteral("Kayıt kilitli: ")),
                 qPrintable(m_prompter.questions.last()));
        QVERIFY(m_prompter.questions.last().contains(
                QStringLiteral("(başka bir kullanıcı kullanıyor)")));
        QCOMPARE(bool(outcome.failure), !tryAgain);
        if (!tryAgain)
            QVERIFY(outcome.report.end.text.startsWith(QStringLiteral("Kayıt kilitli: ")));
        QCOMPARE(outcome.report.units.size(), tryAgain ? 5 : 2);
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K2"), QStringLiteral("0002"),
                                  20));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("K3"),
                                  tryAgain ? QStringLiteral("0003") : QStringLiteral("K3"), 20));
    }

    void droppedConnectionStopsTheRun_data()
    {
        QTest::addColumn<bool>("grouped");
        QTest::newRow("alone") << false;
        QTest::newRow("grouped") << true;
    }

    // The server rolls back what the dropped connection had open: the report
    // keeps only the units committed before, ends where the first unit not
    // kept is, and nothing more is attempted.
    void droppedConnectionStopsTheRun()
    {
        QFETCH(bool, grouped);
        failThirdCard(Fault::dropping(cardRename, 3));
        const RunOutcome outcome = run(grouped);
        QVERIFY(outcome.failure);
        QVERIFY(!m_session->connection.isOpen());
        const int kept = grouped ? 0 : 2;
        QCOMPARE(outcome.report.units.size(), kept);
        QCOMPARE(outcome.report.end.reason, RunEnd::Reason::Error);
        QCOMPARE(outcome.report.end.row, kept);
        QVERIFY2(outcome.report.end.text.contains(
                         QStringLiteral("Sunucuyla bağlantı koptu; açık işlem kaydedilmedi: ")),
                 qPrintable(outcome.report.end.text));
        for (int i = 1; i <= 5; ++i) {
            const QString code = QStringLiteral("K%1").arg(i);
            QVERIFY(renamedEverywhere(m_server->db(), code,
                                      i <= kept ? QStringLiteral("000%1").arg(i) : code, 20));
        }
    }

private:
    const QString cardRename = QStringLiteral("^UPDATE CARKART SET CARKOD=");

    void failThirdCard(const Fault &fault) { m_server->standIn()->faults().add(fault); }

    RunOutcome run(bool grouped)
    {
        SilentProgress progress;
        const RecodingRequest request{ QStringLiteral("1"),
                                       QStringLiteral("0000"),
                                       QStringLiteral("1"),
                                       QStringLiteral("1"),
                                       true,
                                       false };
        return recordedRun(
                *m_session, m_prompter, progress,
                { .grouping = grouped ? allUnitsTogether : eachUnitAlone },
                [&](const OperationContext &context) { SequentialRecoding(context).run(request); });
    }

    RecordingPrompter m_prompter;
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
