#include "CardFixture.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "RecordingPrompter.h"
#include "TableDigest.h"

#include "cards/CardDeletion.h"
#include "cards/CardList.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

class TestCardDeletion : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = std::make_unique<RecordingPrompter>();
        seedCards(db(),
                  { { QStringLiteral("S1"), QStringLiteral("Bir"), 1 },
                    { QStringLiteral("S2"), QStringLiteral("İki"), 2 },
                    { QStringLiteral("S3"), QStringLiteral("Üç"), 3 } });
        // S2 has three address rows; S3 none, and no identity row.
        db().insert(QStringLiteral("ADRESLER"),
                    { QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") },
                    { { QStringLiteral("S2"), 1 }, { QStringLiteral("S2"), QVariant() } });
        db().exec(QStringLiteral("DELETE FROM ADRESLER WHERE ADRKOD1='S3'"));
        db().exec(QStringLiteral("DELETE FROM KIMLIKLER WHERE KIMKOD='S3'"));
        db().insert(QStringLiteral("MUHHESAP"),
                    { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
                    { { QStringLiteral("120 S2"), QStringLiteral("İki") } });
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
    }

    void cleanup()
    {
        m_prompter.reset();
        stopServer();
    }

    void deletesTheSelectedCardWithItsRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("code");
        QTest::newRow("several address rows") << 1 << "S2";
        QTest::newRow("no address or identity row") << 2 << "S3";
    }

    void deletesTheSelectedCardWithItsRows()
    {
        QFETCH(int, row);
        QFETCH(QString, code);
        list().setCurrentRow(row);
        run();
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: Kayıt Silinecek" });
        for (const QString &table : { QStringLiteral("CARKART"), QStringLiteral("KIMLIKLER"),
                                      QStringLiteral("ADRESLER") }) {
            const auto &step = *std::find_if(cardCodeCarriers().begin(), cardCodeCarriers().end(),
                                             [&](const auto &s) { return s.table == table; });
            const QStringList codes = codesIn(db(), step.table, step.column);
            QVERIFY2(!codes.contains(code), qPrintable(table));
            QVERIFY2(codes.contains(QStringLiteral("S1")), qPrintable(table));
        }
        // Movements and accounts keep the code.
        for (qsizetype i = 3; i < cardCodeCarriers().size(); ++i) {
            const auto &step = cardCodeCarriers().at(i);
            QVERIFY2(codesIn(db(), step.table, step.column).contains(code), qPrintable(step.table));
        }
        QVERIFY(chart(db()).contains(QStringLiteral("120 S2")));
        // The list is loaded again, on its first row.
        QCOMPARE(list().rowCount(), 2);
        QCOMPARE(list().currentRow(), 0);
        QCOMPARE(list().readText(QStringLiteral("CARKOD")), QStringLiteral("S1"));
    }

    void listIsLoadedFromTheQueryGiven()
    {
        list().setCurrentRow(0);
        run(QStringLiteral("SELECT * FROM (")
            + CardList::defaultQuery.section(QStringLiteral(" ORDER BY"), 0, 0)
            + QStringLiteral(") ORDER BY CARKOD DESC"));
        QCOMPARE(list().rowCount(), 2);
        QCOMPARE(list().currentRow(), 0);
        QCOMPARE(list().readText(QStringLiteral("CARKOD")), QStringLiteral("S3"));
    }

    void payrollRowsOfTheSameCodeStay()
    {
        seedPayrollRows(db(), QStringLiteral("S1"));
        run();
        QCOMPARE(db().select(QStringLiteral("SELECT KIMMODUL FROM KIMLIKLER WHERE KIMKOD='S1'")),
                 (QList<QVariantList>{ { 8 } }));
        QCOMPARE(db().select(QStringLiteral("SELECT ADRMODUL FROM ADRESLER WHERE ADRKOD1='S1'")),
                 (QList<QVariantList>{ { 8 } }));
        QVERIFY(!codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD"))
                         .contains(QStringLiteral("S1")));
    }

    void noAtThePromptDeletesNothing()
    {
        list().setCurrentRow(1);
        m_prompter->answers = { false };
        run(QStringLiteral("SELECT nothing"));
        QCOMPARE(m_prompter->questions.size(), 1);
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "S1", "S2", "S3" }));
        QCOMPARE(list().rowCount(), 3);
        QCOMPARE(list().currentRow(), 1);
    }

    void noCardSelected_data()
    {
        QTest::addColumn<QString>("list");
        QTest::newRow("not loaded") << "closed";
        QTest::newRow("empty") << "empty";
        QTest::newRow("past the last row") << "past";
    }

    void noCardSelected()
    {
        QFETCH(QString, list);
        if (list == QStringLiteral("closed"))
            m_session->cardList.close();
        else if (list == QStringLiteral("empty"))
            CardList::load(*m_session, CardList::defaultQuery + QStringLiteral(" LIMIT 0"));
        else
            m_session->cardList.setCurrentRow(3);
        run();
        QCOMPARE(m_prompter->notices, QStringList{ "Seçili kart yok." });
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "S1", "S2", "S3" }));
    }

    void staleListDeletesNothing()
    {
        list().setCurrentRow(1);
        db().exec(QStringLiteral("UPDATE CARKART SET CARKOD='YENI' WHERE CARKOD='S2'"));
        QCOMPARE(errorRaisedBy([&] { run(); }),
                 QStringLiteral(
                         "Kart bulunamadı: S2. Kart listesini CariKart ile yeniden yükleyin."));
        QCOMPARE(codesIn(db(), QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"))
                         .count(QStringLiteral("S2")),
                 3);
        QCOMPARE(codesIn(db(), QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"))
                         .count(QStringLiteral("S2")),
                 1);
        QCOMPARE(list().currentRow(), 1);
    }

    // A failure at any deletion or at the commit changes nothing, leaves the
    // list as it was, on the card, and goes on to the default error display.
    void failureAtEveryPosition_data()
    {
        QTest::addColumn<int>("position"); // 1-based statement; 0 for the commit
        QTest::newRow("card row") << 1;
        QTest::newRow("address rows") << 2;
        QTest::newRow("identity rows") << 3;
        QTest::newRow("commit") << 0;
    }

    void failureAtEveryPosition()
    {
        QFETCH(int, position);
        if (position == 0 && !m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        list().setCurrentRow(1);
        const QStringList before = tableDigest(db());
        runFailingAt(
                m_session->connection, position,
                [](const QString &, const QVariantMap &) { return true; },
                [&] { run(QStringLiteral("SELECT nothing")); });
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(tableDigest(db()), before);
        QCOMPARE(list().rowCount(), 3);
        QCOMPARE(list().currentRow(), 1);
    }

    // The deletion is done before the list is loaded again: a query the
    // server refuses leaves it done and the list closed.
    void refusedQueryAfterTheDeletion()
    {
        QVERIFY(!errorRaisedBy([&] {
                     run(QStringLiteral("SELECT nothing FROM nowhere"));
                 }).isNull());
        QCOMPARE(codesIn(db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "S2", "S3" }));
        QVERIFY(!list().isOpen());
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }
    Statement &list() { return m_session->cardList; }

    void run(const QString &listQuery = CardList::defaultQuery)
    {
        SilentProgress progress;
        CardDeletion({ *m_session, *m_prompter, progress }).run({ listQuery });
    }

    std::unique_ptr<RecordingPrompter> m_prompter;
};

QTEST_GUILESS_MAIN(TestCardDeletion)
#include "tst_carddeletion.moc"
