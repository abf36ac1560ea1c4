#include "ShownTexts.h"
#include "WindowTest.h"

#include "../journal/JournalFixture.h"

#include "app/NullableDateEdit.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace zym;
using namespace zym::test;
using ShownTexts::renumberingFinished;

namespace {

const QString listFirst = QStringLiteral("Önce Listele ile kayıtları listeleyin.");

} // namespace

// The two journal pages as the operator drives them: the description
// transfer over the voucher grid, and the renumbering of the vouchers the
// line listing selects. Both pages read the journal lines through one list.
class TestJournalHandlers : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        seedAccounts(m_server->db(),
                     { { QStringLiteral("103 01 001"), QStringLiteral("Çek Hesabı") },
                       { QStringLiteral("600 01"), QStringLiteral("Satışlar") } });
        // Vouchers 1 to 3 on 1 to 3 March, each with a 103 01 line of type 1
        // and a sales line of type 2; voucher 3 also has a line in February.
        seedJournal(m_server->db(), { 1, 2, 3 },
                    { { 1, 1, 1, "103 01 001", QDate(2024, 3, 1) },
                      { 1, 2, 2, "600 01", QDate(2024, 3, 1) },
                      { 2, 1, 1, "103 01 001", QDate(2024, 3, 2) },
                      { 2, 2, 2, "600 01", QDate(2024, 3, 2) },
                      { 3, 1, 1, "103 01 001", QDate(2024, 3, 3) },
                      { 3, 2, 2, "600 01", QDate(2024, 2, 20) } });
    }

    void cleanup() { closeWindow(); }

    // The voucher grid stays on the selected row while the transfer walks,
    // and follows the list past its end afterwards.
    void transferFromTheSelectedVoucher()
    {
        connectAndChoose();
        click("Button1");
        auto *vouchers = control<QTableView>("DBGrid2");
        QCOMPARE(vouchers->model()->rowCount(), 3);
        vouchers->selectRow(1);
        QList<int> gridRows;
        const Connection::Observation following = m_window->session().connection.observe(
                { .executed = [&](const QString &, const QVariantMap &, int) {
                    gridRows << vouchers->currentIndex().row();
                } });
        click("Button2");
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(m_prompter->notices.isEmpty());
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(descriptions(m_server->db(), 1),
                 (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
        QCOMPARE(descriptions(m_server->db(), 2),
                 (QStringList{ "1: 600 01| / Satışlar|", "2: 103 01 001| / Çek Hesabı|" }));
        QCOMPARE(descriptions(m_server->db(), 3),
                 (QStringList{ "1: 600 01| / Satışlar|", "2: 103 01 001| / Çek Hesabı|" }));
        QCOMPARE(gridRows, (QList<int>{ 1, 1, 1, 1 }));
        QVERIFY(vouchers->selectionModel()->selectedRows().isEmpty());
    }

    void gridFollowsTheListWhenAnErrorEndsTheTransfer()
    {
        m_server->db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON MUHHAR WHEN NEW.MUHHARREFNO=2 "
                "BEGIN SELECT RAISE(ABORT,'MUHHAR kilitli'); END"));
        connectAndChoose();
        click("Button1");
        click("Button2");
        QCOMPARE(m_prompter->errors.size(), 1);
        auto *vouchers = control<QTableView>("DBGrid2");
        QCOMPARE(vouchers->currentIndex().row(), 1);
        QCOMPARE(vouchers->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(descriptions(m_server->db(), 2),
                 (QStringList{ "1: eski / eski2", "2: eski / eski2" }));
    }

    // The renumbering page's grid shows the transfer's last reading, and its
    // "Başlat" then asks for a listing first and changes nothing.
    void transferLeavesItsReadingOnTheRenumberingPage()
    {
        connectAndChoose();
        click("Button3");
        QCOMPARE(journalGrid()->model()->rowCount(), 6);
        click("Button1");
        click("Button2");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(journalGrid()->model()->rowCount(), 1);
        QVERIFY(gridColumns().contains(QStringLiteral("MUHHARADI")));
        QCOMPARE(cell(0, QStringLiteral("MUHHARREFNO")), QStringLiteral("3"));
        QCOMPARE(cell(0, QStringLiteral("MUHHARSIRANO")), QStringLiteral("2"));

        click("Button4");
        QCOMPARE(m_prompter->notices, QStringList{ listFirst });
        QCOMPARE(documentNumbers(m_server->db()),
                 (QMap<int, QStringList>{
                         { 1, { "ESKI" } }, { 2, { "ESKI" } }, { 3, { "ESKI" } } }));
        QCOMPARE(cell(0, QStringLiteral("MUHHARADI")), QStringLiteral("Satışlar"));
    }

    void startBeforeAnyListingAsksForOne()
    {
        connectAndChoose();
        click("Button4");
        QCOMPARE(m_prompter->notices, QStringList{ listFirst });
        QVERIFY(m_prompter->errors.isEmpty());
        QCOMPARE(documentNumbers(m_server->db()).value(1), QStringList{ "ESKI" });
    }

    // The selection is the listing's: editors changed after "Listele" do not
    // change it. The grid then shows one row per voucher.
    void renumberingTakesTheListedSelection()
    {
        connectAndChoose();
        control<NullableDateEdit>("cxDateEdit1")->setDate(QDate(2024, 3, 2));
        click("Button3");
        QCOMPARE(gridValues(QStringLiteral("MUHHARREFNO")), (QStringList{ "2", "2", "3" }));

        control<NullableDateEdit>("cxDateEdit1")->setDate(QDate(2024, 1, 1));
        control<QLineEdit>("Edit12")->setText(QStringLiteral("600 %"));
        control<QLineEdit>("Edit13")->setText(QStringLiteral("MF"));
        control<QLineEdit>("Edit14")->setText(QStringLiteral("7"));
        click("Button4");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->notices, QStringList{ renumberingFinished });
        QCOMPARE(documentNumbers(m_server->db()),
                 (QMap<int, QStringList>{ { 1, { "ESKI" } }, { 2, { "MF7" } }, { 3, { "MF8" } } }));
        QCOMPARE(gridValues(QStringLiteral("MUHHARREFNO")), (QStringList{ "2", "3" }));
        QCOMPARE(gridValues(QStringLiteral("MUHHAREVRAKNO")), (QStringList{ "ESKI", "ESKI" }));
    }

    void emptyDateListsEveryDate()
    {
        connectAndChoose();
        click("Button3");
        QCOMPARE(gridValues(QStringLiteral("MUHHARREFNO")),
                 (QStringList{ "3", "1", "1", "2", "2", "3" }));
        click("Button4");
        QCOMPARE(documentNumbers(m_server->db()),
                 (QMap<int, QStringList>{
                         { 1, { "22FCB02" } }, { 2, { "22FCB03" } }, { 3, { "22FCB01" } } }));
    }

    void firstNumberThatIsNoNumberIsShown()
    {
        connectAndChoose();
        click("Button3");
        control<QLineEdit>("Edit14")->setText(QStringLiteral("x1"));
        click("Button4");
        QCOMPARE(m_prompter->errors, QStringList{ "'x1' is not a valid integer value" });
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(journalGrid()->model()->rowCount(), 3);
        QCOMPARE(documentNumbers(m_server->db()).value(1), QStringList{ "ESKI" });
    }

private:
    QTableView *journalGrid() const { return control<QTableView>("DBGrid3"); }

    QStringList gridColumns() const
    {
        QStringList names;
        for (int column = 0; column < journalGrid()->model()->columnCount(); ++column)
            names << journalGrid()->model()->headerData(column, Qt::Horizontal).toString();
        return names;
    }

    QString cell(int row, const QString &column) const
    {
        return journalGrid()
                ->model()
                ->index(row, int(gridColumns().indexOf(column)))
                .data()
                .toString();
    }

    QStringList gridValues(const QString &column) const
    {
        QStringList values;
        for (int row = 0; row < journalGrid()->model()->rowCount(); ++row)
            values << cell(row, column);
        return values;
    }
};

QTEST_MAIN(TestJournalHandlers)
#include "tst_journalhandlers.moc"
