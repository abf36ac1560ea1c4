#include "WindowTest.h"

#include <QTest>

using namespace zym;

// The stock-to-account links from the window's button.
class TestStockHandlers : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        m_server->db().insert(QStringLiteral("STKKART"),
                              { QStringLiteral("STKKOD"), QStringLiteral("STKACIK1"),
                                QStringLiteral("STKGENKDVNO") },
                              { { QStringLiteral("S1"), QStringLiteral("Vida M6"), 4 },
                                { QStringLiteral("S2"), QStringLiteral("Somun M8"), 7 },
                                { QStringLiteral("S3"), QStringLiteral(""), 1 } });
    }

    void cleanup() { closeWindow(); }

    void buttonLinksTheCardsAtOnceAndSilently()
    {
        connectAndChoose();
        click("BitBtn7");
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(m_prompter->questions.isEmpty());
        QVERIFY(m_prompter->notices.isEmpty());
        const QStringList linked{ "S1 1", "S1 2", "S1 3", "S1 4", "S1 5" };
        QCOMPARE(links(), linked);
        click("BitBtn7");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(links(), linked);
    }

private:
    // "code item" of every link row, in the order written.
    QStringList links()
    {
        QStringList rows;
        for (const auto &row : m_server->db().select(QStringLiteral(
                     "SELECT SMBSTKKOD, SMBITEMNO FROM STKMUHBAGLANTI ORDER BY rowid")))
            rows << row.at(0).toString() + u' ' + row.at(1).toString();
        return rows;
    }
};

QTEST_MAIN(TestStockHandlers)
#include "tst_stockhandlers.moc"
