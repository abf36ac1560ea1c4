#include "CompanyTest.h"
#include "ErrorRaised.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"
#include "SqliteFaults.h"

#include "db/Command.h"
#include "db/Error.h"
#include "ops/RunRecorder.h"
#include "ops/RunningNumber.h"
#include "ops/Walk.h"

#include <QHash>
#include <QTest>

#include <optional>

using namespace zym;
using namespace zym::test;

namespace {

// A prompter that also notes whether a transaction was open when it spoke.
class WatchingPrompter : public RecordingPrompter
{
public:
    explicit WatchingPrompter(Connection &connection) : m_connection(connection) { }
    bool spokeInTransaction = false;

    void notify(const QString &text) override
    {
        spokeInTransaction = spokeInTransaction || m_connection.inUnit();
        RecordingPrompter::notify(text);
    }

private:
    Connection &m_connection;
};

} // namespace

// The walk on its own: where it starts and ends, one unit of work per row,
// skip, stop, cancel and errors.
class TestWalk : public CompanyTest
{
    Q_OBJECT

private slots:
    // Every case runs with each unit committed on its own and with units
    // grouped into transactions: the two must leave the same rows.
    void initTestCase_data()
    {
        addBackendColumn();
        QTest::addColumn<int>("maxUnits");
        for (const TestBackend backend : testBackends()) {
            QTest::addRow("%s, one unit a transaction", backendName(backend)) << backend << 1;
            QTest::addRow("%s, grouped", backendName(backend)) << backend << 100;
        }
    }

    void init()
    {
        startServer();
        // The list: K1 to K5, with K2 listed twice.
        m_server->db().insert(QStringLiteral("KIMLIKLER"), { QStringLiteral("KIMKOD") },
                              { { "K1" }, { "K2" }, { "K2" }, { "K3" }, { "K4" }, { "K5" } });
        QList<QVariantList> cards;
        for (int i = 1; i <= 5; ++i)
            cards << QVariantList{ QStringLiteral("K%1").arg(i), QStringLiteral("-") };
        m_server->db().insert(QStringLiteral("CARKART"),
                              { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN") }, cards);
        m_server->connect(*m_session);
        m_prompter = std::make_unique<WatchingPrompter>(m_session->connection);
        m_progress = ScriptedProgress();
        m_numbers = RunningNumber(1);
        m_failAt.clear();
        m_stopAt.clear();
        m_stopWhenRunAgain.clear();
        m_runs.clear();
        list().setText(QStringLiteral("SELECT KIMKOD AS CARKOD FROM KIMLIKLER ORDER BY KIMKOD"));
        list().open();
    }

    void cleanup()
    {
        m_prompter.reset();
        stopServer();
    }

    void walksFromTheCurrentRowPastTheLast()
    {
        list().setCurrentRow(3); // K3
        QCOMPARE(walk(), WalkEnd::End);
        QCOMPARE(marks(), (QStringList{ "K1 -", "K2 -", "K3 1", "K4 2", "K5 3" }));
        QCOMPARE(accounts(), (QStringList{ "A-K3", "A-K4", "A-K5" }));
        QVERIFY(list().atEnd());
        QCOMPARE(m_progress.total, 3);
        QCOMPARE(m_progress.steps, (QList<int>{ 1, 2, 3 }));
        QCOMPARE(m_progress.finished, 1);
    }

    void listNotWalked_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("not loaded") << "closed";
        QTest::newRow("empty") << "empty";
        QTest::newRow("past the last row") << "past";
    }

    void listNotWalked()
    {
        QFETCH(QString, state);
        if (state == QStringLiteral("closed")) {
            list().close();
        } else if (state == QStringLiteral("empty")) {
            list().setText(QStringLiteral("SELECT KIMKOD AS CARKOD FROM KIMLIKLER WHERE 1=0"));
            list().open();
        } else {
            list().setCurrentRow(list().rowCount());
        }
        QCOMPARE(walk(), WalkEnd::End);
        QCOMPARE(accounts(), QStringList());
        QCOMPARE(m_progress.total, -1);
        QCOMPARE(m_progress.finished, 0);
    }

    // A key handled once is passed over, takes no number, and still counts
    // as a row walked, so the progress reaches its end.
    void repeatedKeyIsSkipped()
    {
        QCOMPARE(walk(), WalkEnd::End);
        QCOMPARE(marks(), (QStringList{ "K1 1", "K2 2", "K3 3", "K4 4", "K5 5" }));
        QCOMPARE(m_progress.total, 6);
        QCOMPARE(m_progress.steps, (QList<int>{ 1, 2, 3, 4, 5, 6 }));
    }

    void cancelAfterUnits_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<QStringList>("done");
        QTest::addColumn<int>("leftOn");
        QTest::addColumn<bool>("finished");
        QTest::newRow("after the last")
                << 0 << 6 << QStringList{ "A-K1", "A-K2", "A-K3", "A-K4", "A-K5" } << 6 << true;
        QTest::newRow("after the first") << 0 << 1 << QStringList{ "A-K1" } << 1 << false;
        QTest::newRow("after two") << 0 << 2 << QStringList{ "A-K1", "A-K2" } << 2 << false;
        QTest::newRow("on the skipped row")
                << 0 << 3 << QStringList{ "A-K1", "A-K2" } << 3 << false;
        QTest::newRow("from the middle") << 3 << 2 << QStringList{ "A-K3", "A-K4" } << 5 << false;
    }

    // The unit in hand finishes; the list is left on the first row not
    // handled. A cancel during the last row's unit comes too late to stop
    // anything: the run has finished.
    void cancelAfterUnits()
    {
        QFETCH(int, start);
        QFETCH(int, cancelAfter);
        QFETCH(QStringList, done);
        QFETCH(int, leftOn);
        QFETCH(bool, finished);
        list().setCurrentRow(start);
        m_progress.cancelAfter = cancelAfter;
        QCOMPARE(walk(), finished ? WalkEnd::End : WalkEnd::Cancelled);
        QCOMPARE(accounts(), done);
        QCOMPARE(list().currentRow(), leftOn);
        QCOMPARE(m_progress.finished, 1);
        QVERIFY(!m_session->connection.inUnit());
    }

    // A unit that stops the run keeps nothing of its own, leaves the list on
    // its row, and its notice comes once no transaction is open.
    void stopEndsTheRunOnItsRow()
    {
        m_stopAt = QStringLiteral("K3");
        QCOMPARE(walk(), WalkEnd::Stopped);
        QCOMPARE(accounts(), (QStringList{ "A-K1", "A-K2" }));
        QCOMPARE(marks().at(2), QStringLiteral("K3 -"));
        QCOMPARE(list().currentRow(), 3);
        QCOMPARE(m_prompter->notices, QStringList{ "Dur" });
        QVERIFY(!m_prompter->spokeInTransaction);
        QCOMPARE(m_progress.finished, 1);
        // The stopped unit's number is given back.
        QCOMPARE(m_numbers.next(), 3);
    }

    void errorInAUnit_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("row");
        QTest::newRow("first") << "K1" << 0;
        QTest::newRow("after a skipped row") << "K3" << 3;
        QTest::newRow("last") << "K5" << 5;
    }

    // Units before the failing one stay done, the failing one is rolled back
    // whole, the later ones are untouched, and the list stays on it.
    void errorInAUnit()
    {
        QFETCH(QString, failing);
        QFETCH(int, row);
        m_failAt = failing;
        QCOMPARE(errorRaisedBy([&] { walk(); }), QStringLiteral("kilitli"));
        QStringList before;
        for (int i = 1; i < failing.mid(1).toInt(); ++i)
            before << QStringLiteral("A-K%1").arg(i);
        QCOMPARE(accounts(), before);
        QVERIFY(marks().contains(failing + QStringLiteral(" -")));
        QCOMPARE(list().currentRow(), row);
        QVERIFY(!m_session->connection.inUnit());
        QCOMPARE(m_progress.finished, 1);
        QCOMPARE(m_numbers.next(), int(before.size()) + 1);
    }

    void reportListsEachKeptUnitOnce_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("row");
        using Reason = RunEnd::Reason;
        const QStringList all{ "K1", "K2", "K3", "K4", "K5" };
        QTest::newRow("to the end") << "" << all << int(Reason::End) << "" << -1;
        QTest::newRow("error") << "error" << QStringList{ "K1", "K2" } << int(Reason::Error)
                               << "kilitli" << 3;
        QTest::newRow("stop") << "stop" << QStringList{ "K1", "K2" } << int(Reason::Conflict)
                              << "Dur" << 3;
        QTest::newRow("refused commit")
                << "refusal" << QStringList{ "K1", "K2" } << int(Reason::Error) << "" << 3;
        QTest::newRow("cancel") << "cancel" << QStringList{ "K1", "K2" } << int(Reason::Cancelled)
                                << "" << 3;
    }

    // Units rolled back with their group and run again are reported once,
    // as kept; a unit whose work is taken back is not reported; the rows
    // they changed are theirs alone.
    void reportListsEachKeptUnitOnce()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, kept);
        QFETCH(int, reason);
        QFETCH(QString, said);
        QFETCH(int, row);
        std::unique_ptr<CommitRefusal> refusal;
        if (fault == QStringLiteral("error")) {
            m_failAt = QStringLiteral("K3");
        } else if (fault == QStringLiteral("stop")) {
            m_stopAt = QStringLiteral("K3");
        } else if (fault == QStringLiteral("cancel")) {
            m_progress.cancelAfter = 3;
        } else if (fault == QStringLiteral("refusal")) {
            if (!m_server->hasFiles())
                QSKIP("the refusal is SQLite's");
            refusal = std::make_unique<CommitRefusal>(m_session->connection,
                                                      CommitRefusal::binding(QStringLiteral("K3")));
        }
        ReportRecorder recorder(m_session->connection, RunReport::Kind::Run);
        errorRaisedBy([&] { walk(recorder); }); // the report is what counts, however the walk ends
        QStringList keys;
        for (const UnitRecord &unit : recorder.report().units) {
            keys << unit.note.key;
            QCOMPARE(unit.row, list().result().rows.indexOf(QVariantList{ unit.note.key }));
            QCOMPARE(recorder.report().unitTable().rows.at(keys.size() - 1).at(4),
                     QStringLiteral("UPDATE CARKART 1, INSERT MUHHESAP 1"));
        }
        QCOMPARE(keys, kept);
        QCOMPARE(accounts().size(), kept.size());
        const RunEnd end = recorder.report().end;
        QCOMPARE(int(end.reason), reason);
        QVERIFY2(end.text.contains(said), qPrintable(end.text));
        QCOMPARE(end.row, row);
    }

    void refusedCommitEndsTheRunOnItsRow()
    {
        if (!m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        CommitRefusal refusal(m_session->connection, CommitRefusal::binding(QStringLiteral("K3")));
        QVERIFY(!errorRaisedBy([&] { walk(); }).isNull());
        QCOMPARE(accounts(), (QStringList{ "A-K1", "A-K2" }));
        QCOMPARE(list().currentRow(), 3);
        QVERIFY(m_session->connection.isOpen());
    }

    // A group that was rolled back runs its units again; one that stops
    // then (the database changed meanwhile) ends the walk on its own row
    // with its notice, whatever ended the group.
    void unitStoppingWhenRunAgainEndsTheWalk_data()
    {
        QTest::addColumn<QString>("groupEnd");
        QTest::newRow("an error") << "error";
        QTest::newRow("a stop") << "stop";
        QTest::newRow("a refused commit") << "refused commit";
    }

    void unitStoppingWhenRunAgainEndsTheWalk()
    {
        QFETCH_GLOBAL(int, maxUnits);
        QFETCH(QString, groupEnd);
        if (maxUnits == 1)
            QSKIP("units committed one by one never run again");
        std::optional<CommitRefusal> refusal;
        if (groupEnd == QStringLiteral("error")) {
            m_failAt = QStringLiteral("K4");
        } else if (groupEnd == QStringLiteral("stop")) {
            m_stopAt = QStringLiteral("K4");
        } else {
            if (!m_server->hasFiles())
                QSKIP("the refusal is SQLite's");
            refusal.emplace(m_session->connection, CommitRefusal::binding(QStringLiteral("K4")));
        }
        m_stopWhenRunAgain = QStringLiteral("K2");
        QCOMPARE(walk(), WalkEnd::Stopped);
        QCOMPARE(m_prompter->notices, QStringList{ "Yeniden: K2" });
        QCOMPARE(accounts(), QStringList{ "A-K1" });
        QCOMPARE(list().currentRow(), 1);
        QVERIFY(!m_prompter->spokeInTransaction);
    }

private:
    Statement &list() { return m_session->cardList; }

    // Each unit marks its card with the number it takes and makes an
    // account for it: two statements, so a rollback shows.
    WalkEnd walk(RunRecorder &recorder = RunRecorder::none())
    {
        const Command mark(m_session->connection,
                           QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD=:pKod"));
        const Command account(m_session->connection,
                              QStringLiteral("INSERT INTO MUHHESAP(MUHKOD) VALUES(:pKod)"));
        QFETCH_GLOBAL(int, maxUnits);
        Walk walk({ *m_session,
                    *m_prompter,
                    m_progress,
                    { .maxUnits = maxUnits, .maxAgeMs = 60000 },
                    recorder },
                  list());
        walk.skipRepeated(QStringLiteral("CARKOD"));
        return walk.run(m_numbers, [&](RunningNumber &number) {
            const QString code = list().readText(QStringLiteral("CARKOD"));
            if (code == m_stopWhenRunAgain && ++m_runs[code] > 1)
                return UnitResult::stop(QStringLiteral("Yeniden: ") + code);
            mark.execute({ { QStringLiteral("pKod"), code },
                           { QStringLiteral("pAdi"), QString::number(number.next()) } });
            account.execute({ { QStringLiteral("pKod"), QStringLiteral("A-") + code } });
            if (code == m_failAt)
                throw Error(QStringLiteral("kilitli"));
            return code == m_stopAt ? UnitResult::stop(QStringLiteral("Dur"))
                                    : UnitResult::done({ .key = code });
        });
    }

    QStringList marks()
    {
        QStringList rows;
        for (const auto &row : m_server->db().select(
                     QStringLiteral("SELECT CARKOD, CARUNVAN FROM CARKART ORDER BY CARKOD")))
            rows << row.at(0).toString() + u' ' + row.at(1).toString();
        return rows;
    }

    QStringList accounts()
    {
        QStringList codes;
        for (const auto &row :
             m_server->db().select(QStringLiteral("SELECT MUHKOD FROM MUHHESAP ORDER BY MUHKOD")))
            codes << row.at(0).toString();
        return codes;
    }

    std::unique_ptr<WatchingPrompter> m_prompter;
    ScriptedProgress m_progress;
    RunningNumber m_numbers{ 1 };
    QString m_failAt;
    QString m_stopAt;
    QString m_stopWhenRunAgain;
    QHash<QString, int> m_runs;
};

QTEST_GUILESS_MAIN(TestWalk)
#include "tst_walk.moc"
