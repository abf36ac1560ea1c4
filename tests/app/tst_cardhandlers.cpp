#include "WindowTest.h"

#include "app/Menu1.h"
#include "cards/CardList.h"
#include "db/Tables.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace zym;
using zym::test::RecordingPrompter;

// The card list and the card operations run from the window, as the
// operator drives them: the grid's selection is where a run starts and the
// card a deletion removes.
class TestCardHandlers : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        seedCustomerCards(5);
        m_server->db().insert(QStringLiteral("CARHAR"), { QStringLiteral("CARHARCARKOD") },
                              { { QStringLiteral("K4") } });
    }

    void cleanup() { closeWindow(); }

    void cardListFillsTheGrid()
    {
        connectAndChoose();
        click("BitBtn2");
        QCOMPARE(m_prompter->errors, QStringList());
        auto *grid = control<QTableView>("DBGrid1");
        QCOMPARE(grid->model()->rowCount(), 5);
        QCOMPARE(grid->model()->columnCount(), 10);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CARKOD"));
        QCOMPARE(grid->columnWidth(0), 93);
        QCOMPARE(grid->currentIndex().row(), 0);
    }

    void runStartsAtTheRowSelectedInTheGrid()
    {
        connectAndChoose();
        click("BitBtn2");
        auto *grid = control<QTableView>("DBGrid1");
        grid->selectRow(3);
        QCOMPARE(m_window->session().cardList.currentRow(), 3);
        control<QCheckBox>("CheckBox2")->setChecked(true);
        click("BitBtn3");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QCOMPARE(column(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD")),
                 (QStringList{ "0001", "0002", "K1", "K2", "K3" }));
        QCOMPARE(column(QStringLiteral("SELECT CARHARCARKOD FROM CARHAR")), QStringList{ "0001" });
        QCOMPARE(column(QStringLiteral("SELECT MUHKOD FROM MUHHESAP ORDER BY MUHKOD")),
                 (QStringList{ "120 0001", "120 0002" }));
        // The grid still shows the codes as loaded; the list is past its end.
        QCOMPARE(grid->model()->index(3, 0).data().toString(), QStringLiteral("K4"));
        QVERIFY(m_window->session().cardList.atEnd());
    }

    void controlledChangeStartsAtTheRowSelectedInTheGrid()
    {
        connectAndChoose();
        click("BitBtn2");
        control<QTableView>("DBGrid1")->selectRow(3);
        click("BitBtn5");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QCOMPARE(column(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD")),
                 (QStringList{ "0001", "0002", "K1", "K2", "K3" }));
        QCOMPARE(column(QStringLiteral("SELECT CARHARCARKOD FROM CARHAR")), QStringList{ "K4" });
        QVERIFY(m_window->session().cardList.atEnd());
    }

    void missingAccountsAreNumberedFromTheEdits()
    {
        connectAndChoose();
        click("BitBtn2");
        control<QLineEdit>("Edit7")->setText(QStringLiteral("5"));
        control<QLineEdit>("Edit9")->setText(QStringLiteral("000"));
        click("BitBtn6");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: İşlem Başlayacak Emin misiniz?" });
        QCOMPARE(column(QStringLiteral("SELECT MUHKOD FROM MUHHESAP ORDER BY MUHKOD")),
                 (QStringList{ "120 005", "120 006", "120 007", "120 008", "120 009" }));
        QCOMPARE(column(QStringLiteral("SELECT CARMUHKODU FROM CARKART ORDER BY CARKOD")).first(),
                 QStringLiteral("120 005"));
        QVERIFY(m_window->session().cardList.atEnd());
    }

    void deletionRemovesTheSelectedCardAndReloadsTheList()
    {
        connectAndChoose();
        click("BitBtn2");
        auto *grid = control<QTableView>("DBGrid1");
        grid->selectRow(2);
        click("BitBtn4");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ "Uyarı: Kayıt Silinecek" });
        QCOMPARE(column(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD")),
                 (QStringList{ "K1", "K2", "K4", "K5" }));
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(grid->model()->index(2, 0).data().toString(), QStringLiteral("K4"));
    }

    void deletionWithTheListNotLoadedDeletesNothing()
    {
        connectAndChoose();
        click("BitBtn4");
        QCOMPARE(m_prompter->notices, QStringList{ "Seçili kart yok." });
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(column(QStringLiteral("SELECT CARKOD FROM CARKART")).size(), 5);
    }

    void refusedQueryIsShownAndLeavesTheListClosed()
    {
        connectAndChoose();
        click("BitBtn2");
        control<QPlainTextEdit>("Memo1")->setPlainText(
                QStringLiteral("SELECT CARKOD FROM CARKART"));
        click("BitBtn2");
        QCOMPARE(m_prompter->errors.size(), 1);
        QVERIFY2(m_prompter->errors.first().contains(QStringLiteral("CARUNVAN")),
                 qPrintable(m_prompter->errors.first()));
        QVERIFY(!m_window->session().cardList.isOpen());
        QCOMPARE(control<QTableView>("DBGrid1")->model()->rowCount(), 0);
    }

    // The grid shows the list's ten fields in their order and widths,
    // whatever order the query returns them in, and nothing else.
    void gridShowsTheTenFieldsInTheirOrder_data()
    {
        QTest::addColumn<QString>("query");
        QTest::newRow("default query") << CardList::defaultQuery;
        QTest::newRow("reordered, with an extra column")
                << "SELECT CAROZKOD3, HESSATICI, CAREKCHAR1, HESALICI, CARMUHKODU, CARMUHTIPI, "
                   "KIMLIKNO, CARVERHESNO, "
                   "CARVERDAIRE, CARUNVAN, CARKOD FROM ("
                        + CardList::defaultQuery.section(QStringLiteral(" ORDER BY"), 0, 0)
                                  .replace(QStringLiteral("SELECT CARKOD,"),
                                           QStringLiteral("SELECT CAROZKOD3,CARKOD,"))
                        + ") ORDER BY CARKOD";
    }

    void gridShowsTheTenFieldsInTheirOrder()
    {
        QFETCH(QString, query);
        connectAndChoose();
        control<QPlainTextEdit>("Memo1")->setPlainText(query);
        click("BitBtn2");
        QCOMPARE(m_prompter->errors, QStringList());
        auto *grid = control<QTableView>("DBGrid1");
        QStringList shown;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            shown << grid->model()->headerData(column, Qt::Horizontal).toString();
        QStringList expected;
        for (const CardList::Column &column : CardList::columns())
            expected << column.name;
        QCOMPARE(shown, expected);
        QCOMPARE(grid->columnWidth(1), 131);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("K1"));
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Kart 1"));
    }

    // Until a company is chosen, the connection is in the master database,
    // and so is the card list.
    void cardListBeforeACompanyIsChosenComesFromTheMaster()
    {
        DatabaseSeeder &master = m_server->db(masterDatabaseName(QStringLiteral("MASTERV8")));
        master.createTables(Tables::companyTables());
        master.insert(QStringLiteral("CARKART"),
                      { QStringLiteral("CARKOD"), QStringLiteral("CAROZKOD3") },
                      { { QStringLiteral("MASTERKART"), QStringLiteral("") } });
        click("BitBtn1");
        click("BitBtn2");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().cardList.rowCount(), 1);
        QCOMPARE(m_window->session().cardList.readText(QStringLiteral("CARKOD")),
                 QStringLiteral("MASTERKART"));
    }

    void choosingTheSameCompanyTwice()
    {
        connectAndChoose();
        choose();
        QCOMPARE(m_prompter->errors, QStringList());
        click("BitBtn2");
        QCOMPARE(m_window->session().cardList.rowCount(), 5);
    }

private:
    QStringList column(const QString &sql)
    {
        QStringList values;
        for (const auto &row : m_server->db().select(sql))
            values << row.first().toString();
        return values;
    }
};

QTEST_MAIN(TestCardHandlers)
#include "tst_cardhandlers.moc"
