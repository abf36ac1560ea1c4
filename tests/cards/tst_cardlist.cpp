#include "CardFixture.h"
#include "CompanyTest.h"
#include "ErrorRaised.h"

#include "cards/CardList.h"

#include <QRegularExpression>
#include <QTest>

using namespace zym;
using namespace zym::test;

class TestCardList : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        DatabaseSeeder &db = m_server->db();
        seedCards(db,
                  { { QStringLiteral("B"), QStringLiteral("Bahçe"), 1 },
                    { QStringLiteral("A"), QStringLiteral("Ağaç"), 2 },
                    { QStringLiteral("S"), QStringLiteral("Sık"), 1, QStringLiteral("SK") },
                    { QStringLiteral("I"), QStringLiteral("İhracat"), 1, QStringLiteral("IHR") } });
        db.insert(QStringLiteral("CARKART"),
                  { QStringLiteral("CARKOD"), QStringLiteral("CARMUHKODU"),
                    QStringLiteral("CAROZKOD3") },
                  { { QStringLiteral("C"), QStringLiteral("120 YOK"), QStringLiteral("") } });
        // A second identity row of another module lists "B" twice.
        db.insert(QStringLiteral("KIMLIKLER"),
                  { QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO"),
                    QStringLiteral("KIMMODUL") },
                  { { QStringLiteral("B"), QStringLiteral("222"), 3 } });
        m_server->connect(*m_session);
    }

    void cleanup() { stopServer(); }

    void defaultQueryIsTheKnownText()
    {
        const QStringList lines = CardList::defaultQuery.split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0),
                 QStringLiteral(
                         "SELECT "
                         "CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,ISNULL(KIMMERNISNO,'')KIMLIKNO,"
                         "CARMUHTIPI,CARMUHKODU,ISNULL((SELECT MUHADI1 FROM MUHHESAP "));
        QCOMPARE(
                lines.at(1),
                QStringLiteral("WHERE MUHKOD=CARMUHKODU),'')AS HESALICI,CAREKCHAR1,ISNULL((SELECT "
                               "MUHADI1 FROM "
                               "MUHHESAP WHERE MUHKOD=CAREKCHAR1),'')AS HESSATICI  FROM CARKART "));
        QCOMPARE(lines.at(2),
                 QStringLiteral(
                         "LEFT JOIN KIMLIKLER ON CARKART.CARKOD=KIMLIKLER.KIMKOD WHERE "
                         "CARKART.CAROZKOD3<>'SK' AND CARKART.CAROZKOD3<>'IHR' ORDER BY CARKOD"));
    }

    void loadsTheDefaultList()
    {
        CardList::load(*m_session, CardList::defaultQuery);
        Statement &list = m_session->cardList;
        QStringList codes;
        QStringList identities;
        for (; !list.atEnd(); list.next()) {
            codes << list.readText(QStringLiteral("CARKOD"));
            identities << list.readText(QStringLiteral("KIMLIKNO"));
        }
        // No SK or IHR card; B twice, once per identity row; C with no identity row.
        QCOMPARE(codes, (QStringList{ "A", "B", "B", "C" }));
        QVERIFY(identities.at(1) != identities.at(2));
        QCOMPARE(identities.at(3), QString());
        QCOMPARE(list.result().columns.mid(0, 10), [] {
            QStringList names;
            for (const auto &column : CardList::columns())
                names << column.name;
            return names;
        }());
    }

    void cardWithoutAccountShowsEmptyName()
    {
        CardList::load(*m_session, CardList::defaultQuery);
        Statement &list = m_session->cardList;
        list.setCurrentRow(3);
        QCOMPARE(list.readText(QStringLiteral("CARMUHKODU")), QStringLiteral("120 YOK"));
        QCOMPARE(list.readText(QStringLiteral("HESALICI")), QString());
    }

    void loadingAgainReturnsToTheFirstRow()
    {
        CardList::load(*m_session, CardList::defaultQuery);
        m_session->cardList.setCurrentRow(2);
        CardList::load(*m_session, CardList::defaultQuery);
        QCOMPARE(m_session->cardList.currentRow(), 0);
        QCOMPARE(m_session->cardList.readText(QStringLiteral("CARKOD")), QStringLiteral("A"));
    }

    void refusedQueriesLeaveTheListClosed_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("message");
        const QString allButLast =
                QStringLiteral("SELECT CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,'' AS "
                               "KIMLIKNO,CARMUHTIPI,CARMUHKODU,'' AS HESALICI,CAREKCHAR1");
        QTest::newRow("missing column") << allButLast + " FROM CARKART"
                                        << "'HESSATICI' alanı bulunamadı";
        QTest::newRow("integer as text") << "SELECT CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,'' AS "
                                            "KIMLIKNO,CARUNVAN AS CARMUHTIPI,CARMUHKODU,"
                                            "'' AS HESALICI,CAREKCHAR1,'' AS HESSATICI FROM CARKART"
                                         << "'CARMUHTIPI' alanının türü uyuşmuyor";
        QTest::newRow("text as integer")
                << "SELECT CARMUHTIPI AS CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,'' AS "
                   "KIMLIKNO,CARMUHTIPI,CARMUHKODU,"
                   "'' AS HESALICI,CAREKCHAR1,'' AS HESSATICI FROM CARKART"
                << "'CARKOD' alanının türü uyuşmuyor";
        QTest::newRow("server error") << "SELECT * FROM YOKTABLO"
                                      << "no such table: YOKTABLO|Invalid object name 'YOKTABLO'";
    }

    void refusedQueriesLeaveTheListClosed()
    {
        QFETCH(QString, query);
        QFETCH(QString, message);
        CardList::load(*m_session, CardList::defaultQuery);
        const QString error = errorRaisedBy([&] { CardList::load(*m_session, query); });
        QVERIFY2(error.contains(QRegularExpression(message)), qPrintable(error));
        QVERIFY(!m_session->cardList.isOpen());
        QVERIFY(m_session->cardList.atEnd());
    }
};

QTEST_GUILESS_MAIN(TestCardList)
#include "tst_cardlist.moc"
