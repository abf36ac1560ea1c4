#include "CardFixture.h"
#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "RecordingPrompter.h"

#include "cards/CardList.h"
#include "cards/MissingAccounts.h"
#include "cards/SequentialRecoding.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

using CardAccountMap = QMap<QString, QStringList>;

class TestMissingAccounts : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = std::make_unique<RecordingPrompter>();
        // A customer, a card of both types and a supplier, none with accounts.
        seedCards(db(),
                  { { QStringLiteral("A1"), QStringLiteral("Ağaç Ltd.   "), 1 },
                    { QStringLiteral("A2"), QStringLiteral("Bahçe A.Ş."), 3 },
                    { QStringLiteral("A3"), QStringLiteral("Çiçek Tic."), 2 } });
        db().exec(
                QStringLiteral("UPDATE CARKART SET CARVERHESNO='1234567890  ' WHERE CARKOD='A1'"));
        db().exec(QStringLiteral(
                "UPDATE KIMLIKLER SET KIMMERNISNO='12345678901 ' WHERE KIMKOD='A1'"));
        db().exec(QStringLiteral("DELETE FROM KIMLIKLER WHERE KIMKOD='A3'"));
    }

    void cleanup()
    {
        m_prompter.reset();
        stopServer();
    }

    void numbering_data()
    {
        QTest::addColumn<QString>("firstCustomer");
        QTest::addColumn<QString>("firstSupplier");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QStringList>("third");
        QTest::newRow("both from 1")
                << "1"
                << "1"
                << "000" << QStringList{ "120 001", "" } << QStringList{ "120 002", "320 001" }
                << QStringList{ "", "320 002" };
        QTest::newRow("customers from 5")
                << "5"
                << "1"
                << "000" << QStringList{ "120 005", "" } << QStringList{ "120 006", "320 001" }
                << QStringList{ "", "320 002" };
        QTest::newRow("four places")
                << "1"
                << "7"
                << "0000" << QStringList{ "120 0001", "" } << QStringList{ "120 0002", "320 0007" }
                << QStringList{ "", "320 0008" };
    }

    void numbering()
    {
        QFETCH(QString, firstCustomer);
        QFETCH(QString, firstSupplier);
        QFETCH(QString, mask);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QStringList, third);
        load();
        run({ firstCustomer, firstSupplier, mask });
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("A1")), first);
        QCOMPARE(cards.value(QStringLiteral("A2")), second);
        QCOMPARE(cards.value(QStringLiteral("A3")), third);
        QCOMPARE(chart(db()).size(), 4);
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QVERIFY(m_prompter->notices.isEmpty());
        QVERIFY(list().atEnd());
    }

    // Name, tax number and identity number lose their trailing blanks; a
    // card without an identity row gives an empty identity number.
    void accountRowsCarryTheCardsIds_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QVariantList>("row");
        QTest::newRow("customer of A1")
                << "120 0001" << QVariantList{ "Ağaç Ltd.", 1, "1234567890", "12345678901" };
        QTest::newRow("supplier of A2")
                << "320 0001" << QVariantList{ "Bahçe A.Ş.", 1, "", "TC-A2" };
        QTest::newRow("supplier of A3") << "320 0002" << QVariantList{ "Çiçek Tic.", 1, "", "" };
    }

    void accountRowsCarryTheCardsIds()
    {
        QFETCH(QString, account);
        QFETCH(QVariantList, row);
        load();
        run(request());
        const auto rows =
                db().select(QStringLiteral("SELECT MUHADI1, MUHCALFLAG, MUHVERGIKIMLIKNO, "
                                           "MUHTCKIMLIKNO FROM MUHHESAP WHERE MUHKOD='%1'")
                                    .arg(account));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(0).toString(), row.at(0).toString());
        QCOMPARE(rows.first().at(1).toInt(), row.at(1).toInt());
        QCOMPARE(rows.first().at(2), QVariant(row.at(2).toString()));
        QCOMPARE(rows.first().at(3), QVariant(row.at(3).toString()));
    }

    // A card "A0" ahead of the three: passed over, it takes no number, and
    // the first customer card still gets the first customer number.
    void cardsPassedOver_data()
    {
        QTest::addColumn<QVariant>("type");
        QTest::addColumn<QVariant>("customer");
        QTest::addColumn<QVariant>("supplier");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("firstCustomerCard");
        const QVariant none{};
        QTest::newRow("customer with its account")
                << QVariant(1) << QVariant("120 V") << QVariant("320 V")
                << QStringList{ "120 V", "320 V" } << "120 0001";
        QTest::newRow("supplier with its account")
                << QVariant(2) << QVariant("") << QVariant("320 V") << QStringList{ "", "320 V" }
                << "120 0001";
        QTest::newRow("both, customer account only")
                << QVariant(3) << QVariant("120 V") << QVariant("") << QStringList{ "120 V", "" }
                << "120 0001";
        QTest::newRow("both, supplier account only")
                << QVariant(3) << QVariant("") << QVariant("320 V") << QStringList{ "", "320 V" }
                << "120 0001";
        QTest::newRow("type 0") << QVariant(0) << QVariant("") << QVariant("")
                                << QStringList{ "", "" } << "120 0001";
        QTest::newRow("no type") << none << none << none << QStringList{ "", "" } << "120 0001";
        QTest::newRow("type 4") << QVariant(4) << QVariant("") << QVariant("")
                                << QStringList{ "", "" } << "120 0001";
        QTest::newRow("customer holding a supplier code")
                << QVariant(1) << QVariant("") << QVariant("320 V") << QStringList{ "120 0001", "" }
                << "120 0002";
        QTest::newRow("customer with no value")
                << QVariant(1) << none << none << QStringList{ "120 0001", "" } << "120 0002";
    }

    void cardsPassedOver()
    {
        QFETCH(QVariant, type);
        QFETCH(QVariant, customer);
        QFETCH(QVariant, supplier);
        QFETCH(QStringList, after);
        QFETCH(QString, firstCustomerCard);
        db().insert(QStringLiteral("CARKART"),
                    { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                      QStringLiteral("CARMUHTIPI"), QStringLiteral("CAROZKOD3"),
                      QStringLiteral("CARMUHKODU"), QStringLiteral("CAREKCHAR1") },
                    { { QStringLiteral("A0"), QStringLiteral("Önde"), type, QStringLiteral(""),
                        customer, supplier } });
        load();
        run(request());
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("A0")), after);
        QCOMPARE(cards.value(QStringLiteral("A1")).first(), firstCustomerCard);
        QCOMPARE(chart(db()).values().count(QStringLiteral("Önde")),
                 after.first() == QStringLiteral("120 0001") ? 1 : 0);
    }

    void startsAtTheCurrentRow()
    {
        load();
        list().setCurrentRow(1);
        run(request());
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("A1")), (QStringList{ "", "" }));
        QCOMPARE(cards.value(QStringLiteral("A2")), (QStringList{ "120 0001", "320 0001" }));
        QCOMPARE(cards.value(QStringLiteral("A3")), (QStringList{ "", "320 0002" }));
    }

    // Each card's unit reads its accounts from the database, not from the
    // list: a second run over the same list with new numbers, or an account
    // another user linked after the list was loaded, leaves the linked cards
    // as they are, with no second account and none orphaned.
    void decidesFromTheDatabase_data()
    {
        QTest::addColumn<bool>("runFirst");
        QTest::addColumn<QString>("linkedMeanwhile");
        QTest::addColumn<CardAccountMap>("cards");
        QTest::newRow("second run over the same list")
                << true << QString()
                << CardAccountMap{ { "A1", { "120 0001", "" } },
                                   { "A2", { "120 0002", "320 0001" } },
                                   { "A3", { "", "320 0002" } } };
        QTest::newRow("linked by another user")
                << false
                << QStringLiteral("UPDATE CARKART SET CARMUHKODU='120 BASKA' WHERE CARKOD='A1'")
                << CardAccountMap{ { "A1", { "120 BASKA", "" } },
                                   { "A2", { "120 0001", "320 0001" } },
                                   { "A3", { "", "320 0002" } } };
    }

    void decidesFromTheDatabase()
    {
        QFETCH(bool, runFirst);
        QFETCH(QString, linkedMeanwhile);
        QFETCH(CardAccountMap, cards);
        load();
        if (runFirst) {
            run(request());
            list().setCurrentRow(0);
        } else {
            db().exec(linkedMeanwhile);
        }
        MissingAccountsRequest again = request();
        again.firstCustomerNumber = again.firstSupplierNumber = QStringLiteral("50");
        run(runFirst ? again : request());
        QVERIFY(m_prompter->notices.isEmpty());
        for (auto card = cards.cbegin(); card != cards.cend(); ++card)
            QCOMPARE(cardAccounts(db()).value(card.key()), card.value());
        for (const QString &account : chart(db()).keys())
            QVERIFY2(!account.endsWith(QStringLiteral("0050")), qPrintable(account));
    }

    // A mask that ends in blanks makes account codes the server stores
    // trimmed: each card links the code exactly as its account row holds it.
    void linksCarryTheStoredAccountCode_data()
    {
        QTest::addColumn<bool>("recoding");
        QTest::addColumn<QString>("mask");
        QTest::newRow("missing accounts, a trailing blank") << false << "0000 ";
        QTest::newRow("re-coding, a trailing blank") << true << "0000 ";
        QTest::newRow("missing accounts, two trailing blanks") << false << "000  ";
    }

    void linksCarryTheStoredAccountCode()
    {
        QFETCH(bool, recoding);
        QFETCH(QString, mask);
        load();
        if (recoding) {
            runOperation<SequentialRecoding>(
                    *m_session, *m_prompter, {},
                    RecodingRequest{ .startNumber = QStringLiteral("1"),
                                     .codeMask = mask,
                                     .firstCustomerNumber = QStringLiteral("1"),
                                     .firstSupplierNumber = QStringLiteral("1"),
                                     .sequentialMode = true,
                                     .makeAccounts = true });
        } else {
            run({ QStringLiteral("1"), QStringLiteral("1"), mask });
        }
        QCOMPARE(m_prompter->errors, QStringList());
        const QStringList accounts = chart(db()).keys();
        QCOMPARE(accounts.size(), 4);
        for (const QStringList &links : cardAccounts(db())) {
            for (const QString &link : links)
                QVERIFY2(link.isEmpty() || accounts.contains(link),
                         qPrintable(QLatin1Char('\'') + link + QLatin1Char('\'')));
        }
    }

    // An account code already in the chart stops the run before the card
    // that would get it: the cards before stay done, that card and the ones
    // after are untouched.
    void takenAccountCodeStopsBeforeTheCard_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("stopRow");
        QTest::addColumn<QString>("notice");
        QTest::newRow("customer of the first card")
                << "120 001"
                << "000" << 0 << "Hesap kodu zaten mevcut: 120 001";
        QTest::newRow("supplier of the card of both types")
                << "320 001"
                << "000" << 1 << "Hesap kodu zaten mevcut: 320 001";
        QTest::newRow("stored without the mask's trailing blank")
                << "120 002"
                << "000 " << 1 << "Hesap kodu zaten mevcut: 120 002 ";
    }

    void takenAccountCodeStopsBeforeTheCard()
    {
        QFETCH(QString, taken);
        QFETCH(QString, mask);
        QFETCH(int, stopRow);
        QFETCH(QString, notice);
        db().insert(QStringLiteral("MUHHESAP"),
                    { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
                    { { taken, QStringLiteral("Eski") } });
        load();
        run({ QStringLiteral("1"), QStringLiteral("1"), mask });
        QCOMPARE(m_prompter->notices, QStringList{ notice });
        const auto cards = cardAccounts(db());
        QCOMPARE(cards.value(QStringLiteral("A1")).first().isEmpty(), stopRow == 0);
        QCOMPARE(cards.value(QStringLiteral("A2")), (QStringList{ "", "" }));
        QCOMPARE(cards.value(QStringLiteral("A3")), (QStringList{ "", "" }));
        QCOMPARE(chart(db()).size(), stopRow == 0 ? 1 : 2);
        QCOMPARE(chart(db()).value(taken), QStringLiteral("Eski"));
        QCOMPARE(list().currentRow(), stopRow);
    }

    void noAtThePromptChangesNothing()
    {
        load();
        list().setCurrentRow(1);
        m_prompter->answers = { false };
        run(request());
        QCOMPARE(m_prompter->questions.size(), 1);
        QVERIFY(chart(db()).isEmpty());
        QCOMPARE(list().currentRow(), 1);
    }

    void numbersAreConvertedBeforeThePrompt_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<QString>("reported");
        QTest::newRow("customer") << "abc"
                                  << "1"
                                  << "abc";
        QTest::newRow("supplier") << "1"
                                  << "abc"
                                  << "abc";
        QTest::newRow("customer first") << "x1"
                                        << "x2"
                                        << "x1";
    }

    void numbersAreConvertedBeforeThePrompt()
    {
        QFETCH(QString, customer);
        QFETCH(QString, supplier);
        QFETCH(QString, reported);
        load();
        QCOMPARE(errorRaisedBy([&] {
                     run({ customer, supplier, QStringLiteral("0000") });
                 }),
                 QStringLiteral("'%1' is not a valid integer value").arg(reported));
        QVERIFY(m_prompter->questions.isEmpty());
        QVERIFY(chart(db()).isEmpty());
    }

    void cardListedTwiceIsHandledOnce()
    {
        db().insert(QStringLiteral("KIMLIKLER"),
                    { QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL") },
                    { { QStringLiteral("A2"), 3 } });
        load();
        QCOMPARE(list().rowCount(), 4);
        run(request());
        QCOMPARE(chart(db()).keys(),
                 (QStringList{ "120 0001", "120 0002", "320 0001", "320 0002" }));
        QCOMPARE(cardAccounts(db()).value(QStringLiteral("A3")), (QStringList{ "", "320 0002" }));
    }

    void staleListFailsTheCard()
    {
        load();
        db().exec(QStringLiteral("UPDATE CARKART SET CARKOD='YENI' WHERE CARKOD='A1'"));
        QCOMPARE(errorRaisedBy([&] { run(request()); }),
                 QStringLiteral(
                         "Kart bulunamadı: A1. Kart listesini CariKart ile yeniden yükleyin."));
        QVERIFY(chart(db()).isEmpty());
        QCOMPARE(list().currentRow(), 0);
    }

    // A failure at any statement of a card's unit, or at its commit, leaves
    // that card without accounts, the card before it done, the one after it
    // untouched, the list on it, and the error on its way to the default
    // error display. Committed card by card or all in one transaction, the
    // run leaves the same rows.
    void failureAtEveryPositionOfAUnit_data()
    {
        QTest::addColumn<int>("position"); // 1-based statement of the unit; 0 for the commit
        QTest::newRow("insert 120") << 1;
        QTest::newRow("insert 320") << 2;
        QTest::newRow("link both") << 3;
        QTest::newRow("commit") << 0;
    }

    void failureAtEveryPositionOfAUnit()
    {
        QFETCH(int, position);
        if (position == 0 && !m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        const int failingRow = 1; // A2, of both types
        compareGroupings(
                m_server, [this] { restart(); },
                [&](const CommitGrouping &grouping) {
                    load();
                    runFailingAt(m_session->connection, position,
                                 InjectedFailure::onRow(list(), failingRow),
                                 [&] { run(request(), grouping); });
                    if (QTest::currentTestFailed())
                        return;

                    const auto cards = cardAccounts(db());
                    QCOMPARE(cards.value(QStringLiteral("A1")), (QStringList{ "120 0001", "" }));
                    QCOMPARE(cards.value(QStringLiteral("A2")), (QStringList{ "", "" }));
                    QCOMPARE(cards.value(QStringLiteral("A3")), (QStringList{ "", "" }));
                    QCOMPARE(chart(db()).keys(), QStringList{ "120 0001" });
                    QCOMPARE(list().currentRow(), failingRow);
                });
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }
    Statement &list() { return m_session->cardList; }

    void load()
    {
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    static MissingAccountsRequest request()
    {
        return { QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0000") };
    }

    void run(const MissingAccountsRequest &request, const CommitGrouping &grouping = {})
    {
        runOperation<MissingAccounts>(*m_session, *m_prompter, grouping, request);
    }

    // Starts again on a fresh server with the three cards.
    void restart()
    {
        cleanup();
        init();
    }

    std::unique_ptr<RecordingPrompter> m_prompter;
};

QTEST_GUILESS_MAIN(TestMissingAccounts)
#include "tst_missingaccounts.moc"
