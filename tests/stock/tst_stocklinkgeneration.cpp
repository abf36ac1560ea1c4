#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"

#include "stock/StockLinkGeneration.h"

#include <QTest>

#include <optional>

using namespace zym;
using namespace zym::test;

namespace {

const QString uniqueKey = QStringLiteral("UX_STKMUHBAGLANTI_SMBSTKKOD_SMBITEMNO");

} // namespace

// The stock-to-account links, on the cards and link rows a company holds.
class TestStockLinkGeneration : public CompanyTest
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

    void linksOfTheCardsGroup_data()
    {
        QTest::addColumn<QVariant>("group");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("group 4") << QVariant(4)
                                 << QStringList{ "K 1 1 153 01 01", "K 2 2 153 01 01",
                                                 "K 3 3 600 02 03", "K 4 4 610 07",
                                                 "K 5 5 600 02 03" };
        QTest::newRow("group 2, items 3 and 5 differ")
                << QVariant(2)
                << QStringList{ "K 1 1 153 00 01", "K 2 2 153 00 01", "K 3 3 600 03 05",
                                "K 4 4 610 00", "K 5 5 600 00 01" };
        QTest::newRow("group 8") << QVariant(8)
                                 << QStringList{ "K 1 1 153 02 02", "K 2 2 153 02 02",
                                                 "K 3 3 600 02 02", "K 4 4 610 06",
                                                 "K 5 5 600 02 02" };
        for (const int group : { 7, 0, 9, -1 })
            QTest::newRow(qPrintable(QStringLiteral("group %1").arg(group)))
                    << QVariant(group) << QStringList();
        QTest::newRow("empty group") << QVariant(QStringLiteral("")) << QStringList();
        QTest::newRow("null group") << QVariant() << QStringList();
    }

    void linksOfTheCardsGroup()
    {
        QFETCH(QVariant, group);
        QFETCH(QStringList, links);
        seedCards({ { QStringLiteral("K"), QStringLiteral("Vida M6"), group } });
        run();
        QCOMPARE(m_prompter.errors, QStringList());
        QCOMPARE(linkRows(), links);
        QVERIFY(m_prompter.notices.isEmpty());
        QVERIFY(m_prompter.questions.isEmpty());
    }

    // Each link row is its own insert, with the code bound and the item and
    // account written into the text.
    void insertsAsWritten()
    {
        seedCards({ { QStringLiteral("K1"), QStringLiteral("Vida M6"), 1 },
                    { QStringLiteral("K2"), QStringLiteral("Somun"), 2 } });
        run();
        const QString insert = QStringLiteral(
                "INSERT INTO "
                "STKMUHBAGLANTI([SMBSTKKOD],[SMBITEMNO],[SMBFTNO],[SMBMUHKOD1])VALUES(:pKOD,%1)");
        QCOMPARE(m_executed.size(), 10);
        QCOMPARE(
                m_executed.at(0),
                QStringLiteral(
                        "INSERT INTO STKMUHBAGLANTI([SMBSTKKOD],[SMBITEMNO],[SMBFTNO],[SMBMUHKOD1])"
                        "VALUES(:pKOD,1,1,'153 03 05') K1"));
        QCOMPARE(m_executed.at(3),
                 insert.arg(QStringLiteral("4,4,'610 05'")) + QStringLiteral(" K1"));
        QCOMPARE(m_executed.at(7),
                 insert.arg(QStringLiteral("3,3,'600 03 05'")) + QStringLiteral(" K2"));
        QCOMPARE(m_executed.at(9),
                 insert.arg(QStringLiteral("5,5,'600 00 01'")) + QStringLiteral(" K2"));
    }

    void cardsWithoutDescriptionAreNotRead()
    {
        seedCards({ { QStringLiteral("BOS"), QStringLiteral(""), 4 },
                    { QStringLiteral("NULL"), QVariant(), 4 },
                    { QStringLiteral("K"), QStringLiteral(" "), 6 } });
        run();
        QCOMPARE(linkCodes(), QStringList{ "K" });
    }

    void noCardWithADescriptionEndsAtOnce()
    {
        seedCards({ { QStringLiteral("BOS"), QStringLiteral(""), 4 } });
        run();
        QVERIFY(linkRows().isEmpty());
        QCOMPARE(m_progress.total, -1);
        QVERIFY(m_prompter.notices.isEmpty());
    }

    void secondRunAddsNothing_data()
    {
        QTest::addColumn<bool>("keyed");
        QTest::newRow("unique key") << true;
        QTest::newRow("no unique key") << false;
    }

    void secondRunAddsNothing()
    {
        QFETCH(bool, keyed);
        if (!keyed)
            db().exec(QStringLiteral("DROP INDEX ") + uniqueKey);
        seedCards({ { QStringLiteral("K1"), QStringLiteral("Vida"), 1 },
                    { QStringLiteral("K2"), QStringLiteral("Somun"), 5 } });
        run();
        const QStringList once = linkRows();
        QCOMPARE(once.size(), 10);
        run();
        QCOMPARE(m_prompter.errors, QStringList());
        QCOMPARE(linkRows(), once);
    }

    // Items the card has keep their accounts, whatever they are; only the
    // missing ones are added.
    void cardWithSomeItemsGetsTheRest()
    {
        seedCards({ { QStringLiteral("K"), QStringLiteral("Vida"), 4 } });
        db().insert(QStringLiteral("STKMUHBAGLANTI"),
                    { QStringLiteral("SMBSTKKOD"), QStringLiteral("SMBITEMNO"),
                      QStringLiteral("SMBFTNO"), QStringLiteral("SMBMUHKOD1") },
                    { { QStringLiteral("K"), 2, 2, QStringLiteral("153 99") },
                      { QStringLiteral("K"), 4, 4, QStringLiteral("610 99") },
                      { QStringLiteral("BASKA"), 1, 1, QStringLiteral("153 98") } });
        run();
        QCOMPARE(linkRows(),
                 (QStringList{ "K 2 2 153 99", "K 4 4 610 99", "BASKA 1 1 153 98",
                               "K 1 1 153 01 01", "K 3 3 600 02 03", "K 5 5 600 02 03" }));
    }

    // A failing insert takes back the card's earlier inserts; cards before it
    // keep theirs, and a run after the cause is gone completes the rest.
    void failingInsertRollsTheCardBack()
    {
        if (!m_server->hasFiles())
            QSKIP("an SQLite trigger makes the insert fail");
        seedCards({ { QStringLiteral("K1"), QStringLiteral("Vida"), 1 },
                    { QStringLiteral("K2"), QStringLiteral("Somun"), 3 },
                    { QStringLiteral("K3"), QStringLiteral("Boya"), 6 } });
        db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE INSERT ON STKMUHBAGLANTI WHEN NEW.SMBSTKKOD='K2' "
                "AND NEW.SMBITEMNO=3 BEGIN SELECT RAISE(ABORT,'STKMUHBAGLANTI kilitli'); END"));
        const QString error = errorRaisedBy([&] { run(); });
        QVERIFY2(error.contains(QStringLiteral("kilitli")), qPrintable(error));
        QCOMPARE(linkCodes(), QStringList{ "K1" });
        QCOMPARE(linkRows().size(), 5);
        QVERIFY(!m_session->connection.inUnit());

        db().exec(QStringLiteral("DROP TRIGGER kilit"));
        run();
        QCOMPARE(linkCodes(), (QStringList{ "K1", "K2", "K3" }));
        QCOMPARE(linkRows().size(), 15);
    }

    // A failure at any insert of a card's unit, or at its commit, leaves that
    // card without links, the card before it with all of its own, the card
    // after it untouched, and the error on its way to the default error
    // display. Committed card by card or all in one transaction, the run
    // leaves the same rows.
    void failureAtEveryPositionOfAUnit_data()
    {
        QTest::addColumn<int>("position"); // 1-based insert of the unit; 0 for the commit
        for (int item = 1; item <= 5; ++item)
            QTest::addRow("item %d", item) << item;
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
                    seedCards({ { QStringLiteral("K1"), QStringLiteral("Vida"), 1 },
                                { QStringLiteral("K2"), QStringLiteral("Somun"), 3 },
                                { QStringLiteral("K3"), QStringLiteral("Boya"), 6 } });
                    m_server->connect(*m_session);
                    runFailingAt(m_session->connection, position,
                                 CommitRefusal::binding(QStringLiteral("K2")),
                                 [&] { run(grouping); });
                    if (QTest::currentTestFailed())
                        return;
                    QCOMPARE(linkCodes(), QStringList{ "K1" });
                    QCOMPARE(linkRows().size(), 5);
                });
    }

    void cancelEndsTheRunBetweenCards()
    {
        seedCards({ { QStringLiteral("K1"), QStringLiteral("Vida"), 1 },
                    { QStringLiteral("K2"), QStringLiteral("Somun"), 7 },
                    { QStringLiteral("K3"), QStringLiteral("Boya"), 6 } });
        m_progress.cancelAfter = 2;
        run();
        QCOMPARE(linkCodes(), QStringList{ "K1" });
        QCOMPARE(m_progress.total, 3);
        QCOMPARE(m_progress.finished, 1);
    }

private:
    struct StockCard
    {
        QString code;
        QVariant description;
        QVariant group;
    };

    DatabaseSeeder &db() { return m_server->db(); }

    void seedCards(const QList<StockCard> &cards)
    {
        QList<QVariantList> rows;
        for (const StockCard &card : cards)
            rows << QVariantList{ card.code, card.description, card.group };
        db().insert(QStringLiteral("STKKART"),
                    { QStringLiteral("STKKOD"), QStringLiteral("STKACIK1"),
                      QStringLiteral("STKGENKDVNO") },
                    rows);
    }

    void run(const CommitGrouping &grouping = {})
    {
        if (!m_session->connection.isOpen()) {
            m_server->connect(*m_session);
            m_recording = m_session->connection.observe(
                    { .executed = [this](const QString &sql, const QVariantMap &values, int) {
                        m_executed << sql + u' ' + values.value(QStringLiteral("pKOD")).toString();
                    } });
        }
        StockLinkGeneration({ *m_session, m_prompter, m_progress, grouping })
                .run(StockLinkRequest{});
    }

    // The link rows in the order they were written.
    QStringList linkRows()
    {
        QStringList rows;
        for (const auto &row :
             db().select(QStringLiteral("SELECT SMBSTKKOD, SMBITEMNO, SMBFTNO, SMBMUHKOD1 FROM "
                                        "STKMUHBAGLANTI ORDER BY rowid"))) {
            QStringList values;
            for (const QVariant &value : row)
                values << value.toString();
            rows << values.join(u' ');
        }
        return rows;
    }

    QStringList linkCodes()
    {
        QStringList codes;
        for (const auto &row : db().select(
                     QStringLiteral("SELECT DISTINCT SMBSTKKOD FROM STKMUHBAGLANTI ORDER BY 1")))
            codes << row.first().toString();
        return codes;
    }

    RecordingPrompter m_prompter;
    ScriptedProgress m_progress;
    QStringList m_executed;
    std::optional<Connection::Observation> m_recording;
};

QTEST_GUILESS_MAIN(TestStockLinkGeneration)
#include "tst_stocklinkgeneration.moc"
