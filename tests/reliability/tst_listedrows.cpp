#include "../cards/CardFixture.h"
#include "../journal/JournalFixture.h"
#include "../payroll/PayrollFixture.h"
#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "RecordingPrompter.h"
#include "ShownTexts.h"
#include "TableDigest.h"

#include "cards/CardDeletion.h"
#include "cards/CardList.h"
#include "cards/ControlledCodeChange.h"
#include "cards/MissingAccounts.h"
#include "cards/SequentialRecoding.h"
#include "journal/DescriptionTransfer.h"
#include "journal/VoucherList.h"
#include "payroll/PayrollList.h"
#include "payroll/RegistryRenumbering.h"
#include "stock/StockLinkGeneration.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

// A unit reaches only the record the operator listed: a row whose key is
// NULL is never addressed as the code '', and a statement meant for one
// card, account or registry row that the server matches in several fails
// its unit with nothing changed.
class TestListedRows : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = RecordingPrompter();
    }

    void cleanup() { stopServer(); }

    // The NULL row comes first in each list; a row coded '' stands beside
    // it, which a NULL read as empty text would reach.
    void nullKeyStopsOnItsRow_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("column");
        QTest::newRow("card deletion") << "deletion"
                                       << "CARKOD";
        QTest::newRow("controlled change") << "controlled"
                                           << "CARKOD";
        QTest::newRow("sequential re-coding") << "recoding"
                                              << "CARKOD";
        QTest::newRow("missing accounts") << "accounts"
                                          << "CARKOD";
        QTest::newRow("stock links") << "stock"
                                     << "STKKOD";
        QTest::newRow("payroll renumbering") << "payroll"
                                             << "BORSCLKOD";
        QTest::newRow("description transfer") << "journal"
                                              << "MUHFISREFNO";
    }

    void nullKeyStopsOnItsRow()
    {
        QFETCH(QString, operation);
        QFETCH(QString, column);
        seedCards(db(),
                  { { QString(), QStringLiteral("Kodsuz"), 3 },
                    { QStringLiteral(""), QStringLiteral("Boş kodlu"), 3 },
                    { QStringLiteral("K1"), QStringLiteral("Bir"), 3 } });
        db().insert(QStringLiteral("STKKART"),
                    { QStringLiteral("STKKOD"), QStringLiteral("STKACIK1"),
                      QStringLiteral("STKGENKDVNO") },
                    { { QVariant(), QStringLiteral("kodsuz"), 1 },
                      { QStringLiteral(""), QStringLiteral("boş"), 1 } });
        seedRegistry(db(), { { QString() }, { QStringLiteral("") }, { QStringLiteral("P1") } });
        db().insert(QStringLiteral("MUHFIS"), { QStringLiteral("MUHFISREFNO") },
                    { { QVariant() } });
        seedJournal(db(), { 0, 1 }, { { 0, 1, 1, "100" }, { 0, 2, 2, "600" }, { 1, 1, 1, "100" } });
        loadLists();
        const QStringList before = tableDigest(db());

        QCOMPARE(errorRaisedBy([&] { run(operation); }), ShownTexts::nullKey(1, column));
        QCOMPARE(tableDigest(db()), before);
        QVERIFY(!m_session->connection.inUnit());
    }

    // Two cards or employees whose codes the server takes for the same,
    // where no unique key keeps them apart: the listed one's unit fails,
    // rolled back, naming the code and the rows; the other is not touched
    // on its behalf.
    void alikeCodesFailTheUnit_data()
    {
        QTest::addColumn<QString>("collation");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("alike");
        QTest::addColumn<QString>("operation");
        const QList<std::array<const char *, 3>> pairs{ { "NOCASE", "abc", "ABC" },
                                                        { "RTRIM", "K1", "K1 " } };
        for (const auto &[collation, listed, alike] : pairs) {
            for (const char *operation :
                 { "deletion", "controlled", "recoding", "accounts", "payroll" })
                QTest::addRow("%s, %s", collation, operation)
                        << collation << listed << alike << operation;
        }
    }

    void alikeCodesFailTheUnit()
    {
        QFETCH(QString, collation);
        QFETCH(QString, listed);
        QFETCH(QString, alike);
        QFETCH(QString, operation);
        if (!m_server->hasFiles())
            QSKIP("the collations are SQLite's");
        m_server->relayCompany(collation, false);
        seedCards(db(),
                  { { listed, QStringLiteral("Listelenen"), 1 },
                    { alike, QStringLiteral("Benzeri"), 1 } });
        seedRegistry(db(), { { listed }, { alike } });
        loadLists();
        selectRowOf(m_session->cardList, QStringLiteral("CARKOD"), listed);
        selectRowOf(m_session->registryList, QStringLiteral("BORSCLKOD"), listed);
        const Statement &list = operation == QStringLiteral("payroll") ? m_session->registryList
                                                                       : m_session->cardList;
        const int row = list.currentRow();
        const QStringList before = tableDigest(db());

        QCOMPARE(errorRaisedBy([&] { run(operation); }), ShownTexts::severalRows(listed, 2));
        QCOMPARE(tableDigest(db()), before);
        QCOMPARE(list.currentRow(), row);
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }

    void loadLists()
    {
        m_server->connect(*m_session);
        CardList::load(*m_session, CardList::defaultQuery);
        PayrollList::load(*m_session, false);
        VoucherList::load(*m_session);
    }

    static void selectRowOf(Statement &list, const QString &column, const QString &code)
    {
        for (list.setCurrentRow(0); !list.atEnd() && list.value(column) != code;)
            list.next();
        QVERIFY(!list.atEnd());
    }

    void run(const QString &operation)
    {
        const QString one = QStringLiteral("1");
        const QString mask = QStringLiteral("0000");
        if (operation == QStringLiteral("deletion"))
            runOperation<CardDeletion>(*m_session, m_prompter, {},
                                       CardDeletionRequest{ .listQuery = CardList::defaultQuery });
        else if (operation == QStringLiteral("controlled"))
            runOperation<ControlledCodeChange>(
                    *m_session, m_prompter, {},
                    ControlledChangeRequest{ .startNumber = one, .codeMask = mask });
        else if (operation == QStringLiteral("recoding"))
            runOperation<SequentialRecoding>(*m_session, m_prompter, {},
                                             RecodingRequest{ .startNumber = one,
                                                              .codeMask = mask,
                                                              .firstCustomerNumber = one,
                                                              .firstSupplierNumber = one,
                                                              .sequentialMode = true,
                                                              .makeAccounts = true });
        else if (operation == QStringLiteral("accounts"))
            runOperation<MissingAccounts>(*m_session, m_prompter, {},
                                          MissingAccountsRequest{ one, one, mask });
        else if (operation == QStringLiteral("stock"))
            runOperation<StockLinkGeneration>(*m_session, m_prompter, {}, StockLinkRequest{});
        else if (operation == QStringLiteral("payroll"))
            runOperation<RegistryRenumbering>(
                    *m_session, m_prompter, {},
                    RegistryRenumberingRequest{ .startNumber = one, .codeMask = mask });
        else
            runOperation<DescriptionTransfer>(*m_session, m_prompter, {},
                                              DescriptionTransferRequest{});
    }

    RecordingPrompter m_prompter;
};

QTEST_GUILESS_MAIN(TestListedRows)
#include "tst_listedrows.moc"
