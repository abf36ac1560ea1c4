#include "CardFixture.h"
#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "RecordingPrompter.h"
#include "ShownTexts.h"

#include "cards/CardList.h"
#include "cards/SequentialRecoding.h"
#include "db/Tables.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

class TestSequentialRecoding : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = std::make_unique<RecordingPrompter>();
        // The four-card list: a customer, a supplier, both, and a card of no type.
        seedCards(db(),
                  { { QStringLiteral("K1"), QStringLiteral("Ağaç Ltd.   "), 1 },
                    { QStringLiteral("K2"), QStringLiteral("Bahçe A.Ş."), 2 },
                    { QStringLiteral("K3"), QStringLiteral("Çiçek Tic."), 3 },
                    { QStringLiteral("K4"), QStringLiteral("Dere Koll."), 0 } });
        db().exec(
                QStringLiteral("UPDATE CARKART SET CARMUHKODU='120 ESKI', CAREKCHAR1='320 ESKI'"));
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    void cleanup()
    {
        m_prompter.reset();
        stopServer();
    }

    void sequentialWithoutAccountsRenamesEveryTable()
    {
        const auto before = chart(db());
        run(request(true, false));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(renamedEverywhere(db(), QStringLiteral("K%1").arg(i),
                                      QStringLiteral("000%1").arg(i), 20));
        QCOMPARE(chart(db()), before);
        QCOMPARE(cardAccounts(db()).value(QStringLiteral("0001")),
                 (QStringList{ "120 ESKI", "320 ESKI" }));
        QVERIFY(list().atEnd());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QVERIFY(m_prompter->notices.isEmpty());
    }

    void sequentialAccounts_data()
    {
        QTest::addColumn<QString>("firstSupplier");
        QTest::addColumn<QString>("secondCardSupplier");
        QTest::addColumn<QString>("thirdCardSupplier");
        QTest::newRow("from 1") << "1"
                                << "320 0001"
                                << "320 0002";
        QTest::newRow("from 5") << "5"
                                << "320 0005"
                                << "320 0006";
    }

    void sequentialAccounts()
    {
        QFETCH(QString, firstSupplier);
        QFETCH(QString, secondCardSupplier);
        QFETCH(QString, thirdCardSupplier);
        RecodingRequest r = request(true, true);
        r.firstSupplierNumber = firstSupplier;
        run(r);
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("0001")), (QStringList{ "120 0001", "" }));
        QCOMPARE(cards.value(QStringLiteral("0002")), (QStringList{ "", secondCardSupplier }));
        QCOMPARE(cards.value(QStringLiteral("0003")),
                 (QStringList{ "120 0002", thirdCardSupplier }));
        QCOMPARE(cards.value(QStringLiteral("0004")), (QStringList{ "120 ESKI", "320 ESKI" }));
        const auto accounts = chart(db());
        QCOMPARE(accounts.size(), 4);
        QCOMPARE(accounts.value(QStringLiteral("120 0001")), QStringLiteral("Ağaç Ltd."));
        QCOMPARE(accounts.value(secondCardSupplier), QStringLiteral("Bahçe A.Ş."));
        QCOMPARE(accounts.value(QStringLiteral("120 0002")), QStringLiteral("Çiçek Tic."));
        QCOMPARE(accounts.value(thirdCardSupplier), QStringLiteral("Çiçek Tic."));
    }

    void accountRemovalTargetsTheInsertedCode()
    {
        // Numbers out of step with the card numbers: the account about to be
        // made exists already, and another card's account sits on "120 " + new code.
        db().insert(QStringLiteral("MUHHESAP"),
                    { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
                    { { QStringLiteral("120 0007"), QStringLiteral("Eski hesap") },
                      { QStringLiteral("120 0001"), QStringLiteral("Başka kartın hesabı") } });
        RecodingRequest r = request(true, true);
        r.firstCustomerNumber = QStringLiteral("7");
        run(r);
        const auto accounts = chart(db());
        QCOMPARE(accounts.value(QStringLiteral("120 0007")), QStringLiteral("Ağaç Ltd."));
        QCOMPARE(accounts.value(QStringLiteral("120 0001")), QStringLiteral("Başka kartın hesabı"));
        QCOMPARE(cardAccounts(db()).value(QStringLiteral("0001")), (QStringList{ "120 0007", "" }));
    }

    void cardCodeMode_data()
    {
        QTest::addColumn<bool>("makeAccounts");
        QTest::newRow("switch off") << false;
        QTest::newRow("switch on") << true;
    }

    void cardCodeMode()
    {
        QFETCH(bool, makeAccounts);
        run(request(false, makeAccounts));
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("0001")), (QStringList{ "120 0001", "" }));
        QCOMPARE(cards.value(QStringLiteral("0002")), (QStringList{ "", "320 0002" }));
        QCOMPARE(cards.value(QStringLiteral("0003")), (QStringList{ "120 0003", "320 0003" }));
        QCOMPARE(cards.value(QStringLiteral("0004")), (QStringList{ "120 ESKI", "320 ESKI" }));
        QCOMPARE(chart(db()).keys(),
                 (QStringList{ "120 0001", "120 0003", "320 0002", "320 0003" }));
        for (int i = 1; i <= 4; ++i) {
            const QString old = QStringLiteral("K%1").arg(i);
            QVERIFY(renamedEverywhere(db(), old, QStringLiteral("000%1").arg(i), 3));
            for (qsizetype s = 3; s < 20; ++s) {
                const auto &step = cardCodeCarriers().at(s);
                QVERIFY2(codesIn(db(), step.table, step.column).contains(old),
                         qPrintable(step.table));
            }
        }
    }

    void startsAtTheCurrentRow()
    {
        list().setCurrentRow(2);
        run(request(true, false));
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "K1", "K2" }));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("K3"), QStringLiteral("0001"), 20));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("K4"), QStringLiteral("0002"), 20));
    }

    void noAtThePromptChangesNothing()
    {
        list().setCurrentRow(1);
        m_prompter->answers = { false };
        run(request(true, true));
        QCOMPARE(m_prompter->questions.size(), 1);
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "K1", "K2", "K3", "K4" }));
        QCOMPARE(list().currentRow(), 1);
    }

    void secondRunWithoutReloadChangesNothing()
    {
        run(request(true, true));
        const auto accounts = chart(db());
        run(request(true, true));
        QCOMPARE(m_prompter->questions.size(), 2);
        QCOMPARE(chart(db()), accounts);
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "0003", "0004" }));
    }

    void numbersAreConvertedBeforeThePrompt_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<QString>("reported");
        QTest::newRow("start") << "abc"
                               << "1"
                               << "1"
                               << "abc";
        QTest::newRow("customer") << "1"
                                  << "abc"
                                  << "1"
                                  << "abc";
        QTest::newRow("supplier") << "1"
                                  << "1"
                                  << "abc"
                                  << "abc";
        QTest::newRow("customer first") << "x3"
                                        << "x1"
                                        << "x2"
                                        << "x1";
        QTest::newRow("supplier before start") << "x3"
                                               << "1"
                                               << "x2"
                                               << "x2";
        QTest::newRow("out of range") << "2147483648"
                                      << "1"
                                      << "1"
                                      << "2147483648";
    }

    void numbersAreConvertedBeforeThePrompt()
    {
        QFETCH(QString, start);
        QFETCH(QString, customer);
        QFETCH(QString, supplier);
        QFETCH(QString, reported);
        RecodingRequest r = request(false, true);
        r.startNumber = start;
        r.firstCustomerNumber = customer;
        r.firstSupplierNumber = supplier;
        QCOMPARE(errorRaisedBy([&] { run(r); }),
                 QStringLiteral("'%1' is not a valid integer value").arg(reported));
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "K1", "K2", "K3", "K4" }));
    }

    void failingStatementRollsTheCardBackWhole_data()
    {
        QTest::addColumn<bool>("sequential");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("movement table")
                << true
                << "CREATE TRIGGER kilit BEFORE UPDATE ON FATHAR WHEN NEW.FATHARCARKOD='0002' "
                   "BEGIN SELECT RAISE(ABORT,'FATHAR kilitli'); END";
        QTest::newRow("account insert")
                << false
                << "CREATE TRIGGER kilit BEFORE INSERT ON MUHHESAP WHEN NEW.MUHKOD='320 0002' "
                   "BEGIN SELECT RAISE(ABORT,'MUHHESAP kilitli'); END";
    }

    void failingStatementRollsTheCardBackWhole()
    {
        QFETCH(bool, sequential);
        QFETCH(QString, trigger);
        if (!m_server->hasFiles())
            QSKIP("an SQLite trigger makes the statement fail");
        db().exec(trigger);
        const QString error = errorRaisedBy([&] { run(request(sequential, true)); });
        QVERIFY2(error.contains(QStringLiteral("kilitli")), qPrintable(error));
        const qsizetype steps = sequential ? 20 : 3;
        QVERIFY(renamedEverywhere(db(), QStringLiteral("K1"), QStringLiteral("0001"), steps));
        // The failing card is wholly on its old code, with its old accounts.
        for (qsizetype i = 0; i < 20; ++i) {
            const auto &step = cardCodeCarriers().at(i);
            const QStringList codes = codesIn(db(), step.table, step.column);
            QVERIFY2(codes.contains(QStringLiteral("K2"))
                             && !codes.contains(QStringLiteral("0002")),
                     qPrintable(step.table));
        }
        QCOMPARE(cardAccounts(db()).value(QStringLiteral("K2")),
                 (QStringList{ "120 ESKI", "320 ESKI" }));
        QVERIFY(!chart(db()).contains(QStringLiteral("320 0002")));
        QCOMPARE(list().currentRow(), 1);
        QVERIFY(!m_session->connection.inUnit());
    }

    // Renames left to the group's end change exactly the rows their cards
    // counted: a row that turns up under a card's old code in between
    // refuses the group, and run again alone the card fails whole.
    void rowAppearingAfterTheCountFailsTheCard()
    {
        bool inserting = false;
        const Connection::Observation appearing = m_session->connection.observe(
                { .executed = [&](const QString &, const QVariantMap &values, int) {
                    if (inserting
                        || values.value(QStringLiteral("pCarKod")) != QStringLiteral("K2"))
                        return;
                    inserting = true;
                    m_session->connection.execute(
                            QStringLiteral("INSERT INTO CARHAR(CARHARCARKOD) VALUES('K2')"), {});
                    inserting = false;
                } });
        const QString error = errorRaisedBy([&] { run(request(true, false)); });
        QVERIFY2(error.startsWith(QStringLiteral("CARHAR: ")), qPrintable(error));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("K1"), QStringLiteral("0001"), 20));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("K2"), QStringLiteral("K2"), 20));
        QCOMPARE(codesIn(db(), QStringLiteral("CARHAR"), QStringLiteral("CARHARCARKOD"))
                         .count(QStringLiteral("K2")),
                 1);
        QCOMPARE(list().currentRow(), 1);
    }

    void takenCodeStopsTheRunBeforeTheCard_data()
    {
        QTest::addColumn<bool>("sequential");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("movement, card-code mode") << false << "CARHAR"
                                                  << "CARHARCARKOD";
        QTest::newRow("card left out of the list") << true << "CARKART"
                                                   << "CARKOD";
        QTest::newRow("card, card-code mode") << false << "CARKART"
                                              << "CARKOD";
        QTest::newRow("orphan movement") << true << "CARHAR"
                                         << "CARHARCARKOD";
    }

    // A row of any table under the new code, left by a card no longer listed
    // or deleted, would be adopted by the card: in either mode the run stops.
    void takenCodeStopsTheRunBeforeTheCard()
    {
        QFETCH(bool, sequential);
        QFETCH(QString, table);
        QFETCH(QString, column);
        db().insert(table, { column }, { { QStringLiteral("0002") } });
        run(request(sequential, false));
        const QStringList cards =
                codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD"));
        QCOMPARE(m_prompter->notices, QStringList{ ShownTexts::codeConflict });
        QVERIFY(cards.contains(QStringLiteral("0001")));
        QVERIFY(cards.contains(QStringLiteral("K2")));
        QVERIFY(cards.contains(QStringLiteral("K3")));
        QVERIFY(codesIn(db(), QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"))
                        .contains(QStringLiteral("K2")));
        QCOMPARE(list().currentRow(), 1);
    }

    void sameCodeIsNoConflict()
    {
        // Re-running a mask that gives every card its own code again is harmless.
        for (int i = 1; i <= 4; ++i)
            db().exec(
                    QStringLiteral("UPDATE CARKART SET CARKOD='000%1' WHERE CARKOD='K%1'").arg(i));
        CardList::load(*m_session, CardList::defaultQuery);
        RecodingRequest r = request(false, false);
        run(r);
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "0003", "0004" }));
    }

    void cardListedTwiceIsHandledOnce()
    {
        db().insert(QStringLiteral("KIMLIKLER"),
                    { QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL") },
                    { { QStringLiteral("K2"), 3 } });
        CardList::load(*m_session, CardList::defaultQuery);
        QCOMPARE(list().rowCount(), 5);
        run(request(true, true));
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "0003", "0004" }));
        QCOMPARE(chart(db()).keys(),
                 (QStringList{ "120 0001", "120 0002", "320 0001", "320 0002" }));
        QVERIFY(list().atEnd());
    }

    void payrollRowsOfTheSameCodeStay()
    {
        seedPayrollRows(db(), QStringLiteral("K1"));
        run(request(false, false));
        QCOMPARE(payrollRowsOf(db(), QStringLiteral("K1")), (QList<int>{ 1, 1 }));
        QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM KIMLIKLER WHERE KIMKOD='0001'"))
                         .toInt(),
                 1);
    }

    void listNotWalkedStillAsks_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("answer");
        QTest::newRow("not loaded, Yes") << "closed" << true;
        QTest::newRow("not loaded, No") << "closed" << false;
        QTest::newRow("empty, Yes") << "empty" << true;
        QTest::newRow("empty, No") << "empty" << false;
    }

    void listNotWalkedStillAsks()
    {
        QFETCH(QString, list);
        QFETCH(bool, answer);
        if (list == QStringLiteral("closed"))
            m_session->cardList.close();
        else if (m_server->hasFiles())
            CardList::load(*m_session, CardList::defaultQuery + QStringLiteral(" LIMIT 0"));
        else
            QSKIP("LIMIT is SQLite's");
        m_prompter->answers = { answer };
        run(request(true, true));
        QCOMPARE(m_prompter->questions.size(), 1);
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "K1", "K2", "K3", "K4" }));
    }

    void typedNumberIsConvertedWithTheListNotLoaded()
    {
        m_session->cardList.close();
        RecodingRequest r = request(true, true);
        r.startNumber = QStringLiteral("abc");
        QVERIFY(!errorRaisedBy([&] { run(r); }).isNull());
        QVERIFY(m_prompter->questions.isEmpty());
    }

    // A list loaded before an earlier run still shows the old codes: the
    // card it names is gone, and the run stops there with nothing made.
    void staleListFailsTheCard()
    {
        run(request(true, true));
        const auto accounts = chart(db());
        list().setCurrentRow(0);
        RecodingRequest r = request(true, true);
        r.startNumber = QStringLiteral("101");
        QCOMPARE(errorRaisedBy([&] { run(r); }),
                 QStringLiteral(
                         "Kart bulunamadı: K1. Kart listesini CariKart ile yeniden yükleyin."));
        QCOMPARE(chart(db()), accounts);
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "0003", "0004" }));
        QCOMPARE(list().currentRow(), 0);
    }

    // Where the server compares codes ignoring case or trailing blanks, a
    // card's own rows still are no conflict with its new code.
    void ownRowsAreNoConflictUnderTheServersCollation_data()
    {
        QTest::addColumn<QString>("collation");
        QTest::addColumn<QString>("oldCode");
        QTest::newRow("case ignored") << "NOCASE"
                                      << "c0001";
        QTest::newRow("trailing blanks ignored") << "RTRIM"
                                                 << "0001  ";
    }

    void ownRowsAreNoConflictUnderTheServersCollation()
    {
        QFETCH(QString, collation);
        QFETCH(QString, oldCode);
        if (!m_server->hasFiles())
            QSKIP("the collations are SQLite's");
        seedUnder(collation, { { oldCode, QStringLiteral("Tek"), 1 } });
        RecodingRequest r = request(true, false);
        run(r);
        QVERIFY(m_prompter->notices.isEmpty());
        QVERIFY(renamedEverywhere(db(), oldCode, QStringLiteral("0001"), 20));
    }

    // A new code that an earlier card of the run gave up is free by the
    // time a later card takes it: the earlier card's rows carry its own new
    // code then, whether or not its renames wait for the commit.
    void codeGivenUpEarlierInTheRunIsFree_data()
    {
        QTest::addColumn<QString>("collation");
        QTest::addColumn<QString>("firstCode");
        QTest::newRow("exact") << ""
                               << "0002";
        QTest::newRow("trailing blanks ignored") << "RTRIM"
                                                 << "0002  ";
    }

    void codeGivenUpEarlierInTheRunIsFree()
    {
        QFETCH(QString, collation);
        QFETCH(QString, firstCode);
        if (!m_server->hasFiles() && !collation.isEmpty())
            QSKIP("the collations are SQLite's");
        for (const CommitGrouping &grouping : { eachUnitAlone, allUnitsTogether }) {
            seedUnder(collation,
                      { { firstCode, QStringLiteral("Birinci"), 1 },
                        { QStringLiteral("K1"), QStringLiteral("İkinci"), 1 } });
            run(request(true, false), grouping);
            QVERIFY(m_prompter->notices.isEmpty());
            for (const auto &step : cardCodeCarriers()) {
                QStringList expected{ "0001", "0002" };
                if (step.table != QStringLiteral("CARKART"))
                    expected << QStringLiteral("DIGER");
                QCOMPARE(codesIn(db(), step.table, step.column), expected);
            }
            QCOMPARE(db().select(QStringLiteral("SELECT CARUNVAN FROM CARKART WHERE CARKOD='0002'"))
                             .value(0)
                             .value(0),
                     QVariant(QStringLiteral("İkinci")));
        }
    }

    // A failure at any statement of a card's unit, or at its commit, leaves
    // that card wholly on its old code and accounts, the cards before it
    // wholly done, the cards after it untouched, the list on it, and the
    // error on its way to the default error display. Committed card by card
    // or all in one transaction, the run leaves the same rows. A rename put
    // off to the commit fails there, through a trigger on its table.
    void failureAtEveryPositionOfAUnit_data()
    {
        QTest::addColumn<bool>("sequential");
        QTest::addColumn<int>("step"); // 1-based: renames, then account steps; 0 for the commit
        const QStringList accountSteps{ "remove 120", "remove 320", "insert 120", "insert 320",
                                        "link both" };
        for (const bool sequential : { true, false }) {
            const char *mode = sequential ? "sequential" : "card-code mode";
            const qsizetype renames = sequential ? cardCodeCarriers().size() : 3;
            for (qsizetype i = 0; i < renames; ++i) {
                QTest::addRow("%s, rename %s", mode, qPrintable(cardCodeCarriers().at(i).table))
                        << sequential << int(i + 1);
            }
            for (qsizetype i = 0; i < accountSteps.size(); ++i)
                QTest::addRow("%s, %s", mode, qPrintable(accountSteps.at(i)))
                        << sequential << int(renames + i + 1);
            QTest::addRow("%s, commit", mode) << sequential << 0;
        }
    }

    void failureAtEveryPositionOfAUnit()
    {
        QFETCH(bool, sequential);
        QFETCH(int, step);
        if (step == 0 && !m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        const int failingRow = 2; // K3, a card of both types: every statement runs
        const qsizetype inUnit = 1; // the card row; the other renames wait for the group's end
        const qsizetype renames = sequential ? cardCodeCarriers().size() : 3;
        const bool putOff = step > inUnit && step <= renames;
        // The unit's own statements: the renames it runs, its line of the
        // mapping table, then the account steps.
        const int position = step > renames ? int(step - (renames - inUnit) + 1) : step;
        compareGroupings(
                m_server, [this] { restart(); },
                [&](const CommitGrouping &grouping) {
                    if (putOff)
                        failWhenRenamedTo(db(), cardCodeCarriers().at(step - 1),
                                          QStringLiteral("0003"));
                    QString error;
                    {
                        std::optional<InjectedFailure> failure;
                        if (!putOff)
                            failure.emplace(m_session->connection, position,
                                            InjectedFailure::onRow(list(), failingRow));
                        error = errorRaisedBy([&] { run(request(sequential, true), grouping); });
                    }
                    QVERIFY(!error.isEmpty());
                    if (step != 0) // the server's text around the trigger's
                        QVERIFY2(error.contains(InjectedFailure::message), qPrintable(error));

                    QVERIFY(renamedEverywhere(db(), QStringLiteral("K1"), QStringLiteral("0001"),
                                              renames));
                    QVERIFY(renamedEverywhere(db(), QStringLiteral("K2"), QStringLiteral("0002"),
                                              renames));
                    for (const QString &untouched : { QStringLiteral("K3"), QStringLiteral("K4") })
                        QVERIFY(renamedEverywhere(db(), untouched, untouched, 20));
                    const auto cards = cardAccounts(db());
                    const QString supplier =
                            sequential ? QStringLiteral("320 0001") : QStringLiteral("320 0002");
                    QCOMPARE(cards.value(QStringLiteral("0001")), (QStringList{ "120 0001", "" }));
                    QCOMPARE(cards.value(QStringLiteral("0002")), (QStringList{ "", supplier }));
                    QCOMPARE(cards.value(QStringLiteral("K3")),
                             (QStringList{ "120 ESKI", "320 ESKI" }));
                    QCOMPARE(chart(db()).keys(), (QStringList{ "120 0001", supplier }));
                    QCOMPARE(list().currentRow(), failingRow);
                    QVERIFY(!m_session->connection.inUnit());
                });
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }
    Statement &list() { return m_session->cardList; }

    static RecodingRequest request(bool sequential, bool makeAccounts)
    {
        return { QStringLiteral("1"), QStringLiteral("0000"),
                 QStringLiteral("1"), QStringLiteral("1"),
                 sequential,          makeAccounts };
    }

    void run(const RecodingRequest &request, const CommitGrouping &grouping = {})
    {
        runOperation<SequentialRecoding>(*m_session, *m_prompter, grouping, request);
    }

    // Starts again with only `cards`, in tables whose codes compare under
    // `collation` (SQLite's default where empty), and their list loaded.
    void seedUnder(const QString &collation, const QList<CardRow> &cards)
    {
        m_session->connection.close();
        m_server->relayCompany(collation);
        seedCards(db(), cards);
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    // Starts again on a fresh server with the four cards.
    void restart()
    {
        cleanup();
        init();
    }

    std::unique_ptr<RecordingPrompter> m_prompter;
};

QTEST_GUILESS_MAIN(TestSequentialRecoding)
#include "tst_sequentialrecoding.moc"
