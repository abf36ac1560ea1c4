#include "ShownTexts.h"
#include "WindowTest.h"

#include "../payroll/PayrollFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

using namespace zym;
using namespace zym::test;
using ShownTexts::codeConflict;
using ShownTexts::confirmation;
using ShownTexts::registryFinished;

// The payroll page as the operator drives it: the listing, the renumbering
// from the row selected in the grid, and the workplace code change.
class TestPayrollHandlers : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        // S3 has left.
        seedRegistry(m_server->db(),
                     { { "S1" }, { "S2" }, { "S3", 2, QStringLiteral("ŞUBE") }, { "S4" } });
    }

    void cleanup() { closeWindow(); }

    void listingFillsTheGrid_data()
    {
        QTest::addColumn<bool>("employeesOnly");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("everyone") << false << QStringList{ "S1", "S2", "S3", "S4" };
        QTest::newRow("Çalışanlar") << true << QStringList{ "S1", "S2", "S4" };
    }

    void listingFillsTheGrid()
    {
        QFETCH(bool, employeesOnly);
        QFETCH(QStringList, listed);
        connectAndChoose();
        control<QCheckBox>("CheckBox4")->setChecked(employeesOnly);
        click("Button5");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")), listed);
        QCOMPARE(grid()->model()->columnCount(), 3);
        QCOMPARE(grid()->currentIndex().row(), 0);
    }

    // The memo only shows a query: the listing is fixed.
    void memoIsDisplayOnly()
    {
        auto *memo = control<QPlainTextEdit>("Memo2");
        QVERIFY(memo->isReadOnly());
        memo->setPlainText(QStringLiteral("SELECT * FROM CARKART"));
        connectAndChoose();
        click("Button5");
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")), (QStringList{ "S1", "S2", "S3", "S4" }));
    }

    void renumberingFromTheRowSelectedInTheGrid()
    {
        connectAndChoose();
        click("Button5");
        grid()->selectRow(1);
        control<QLineEdit>("Edit5")->setText(QStringLiteral("5"));
        control<QCheckBox>("CheckBox3")->setChecked(true);
        click("Button6");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->questions, QStringList{ confirmation });
        QCOMPARE(m_prompter->notices,
                 (QStringList{ "S2->0005", "S3->0006", "S4->0007", registryFinished }));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("S1"), QStringLiteral("S1")));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("S3"), QStringLiteral("0006")));
        // Listed again: the grid shows the new codes from its first row.
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")),
                 (QStringList{ "S1", "0005", "0006", "0007" }));
        QCOMPARE(grid()->currentIndex().row(), 0);
    }

    void conflictEndsTheRunAndListsAgain()
    {
        m_server->db().insert(QStringLiteral("SIRKETLOG"),
                              { QStringLiteral("SIRLOGKYTKODU"), QStringLiteral("SIRLOGMODUL") },
                              { { QStringLiteral("0002"), Tables::payrollModule } });
        connectAndChoose();
        click("Button5");
        click("Button6");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_prompter->notices, (QStringList{ codeConflict, registryFinished }));
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")),
                 (QStringList{ "0001", "S2", "S3", "S4" }));
    }

    // A database error is shown, and nothing follows it: no listing, no notice.
    void errorEndsTheRunOnItsRow()
    {
        m_server->db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON BORKUMULE WHEN OLD.BORKMPERKOD='S2' "
                "BEGIN SELECT RAISE(ABORT,'BORKUMULE kilitli'); END"));
        connectAndChoose();
        click("Button5");
        click("Button6");
        QCOMPARE(m_prompter->errors.size(), 1);
        QVERIFY2(m_prompter->errors.first().contains(QStringLiteral("kilitli")),
                 qPrintable(m_prompter->errors.first()));
        QVERIFY(m_prompter->notices.isEmpty());
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("S1"), QStringLiteral("0001")));
        QVERIFY(renamedEverywhere(m_server->db(), QStringLiteral("S2"), QStringLiteral("S2")));
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")), (QStringList{ "S1", "S2", "S3", "S4" }));
        QCOMPARE(grid()->currentIndex().row(), 1);
    }

    void startBeforeAnyListingListsAndSaysItIsDone()
    {
        connectAndChoose();
        click("Button6");
        QCOMPARE(m_prompter->questions, QStringList{ confirmation });
        QCOMPARE(m_prompter->notices, QStringList{ registryFinished });
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")), (QStringList{ "S1", "S2", "S3", "S4" }));
    }

    void workplaceChangeCountsAndListsAgain()
    {
        connectAndChoose();
        control<QCheckBox>("CheckBox4")->setChecked(true);
        control<QLineEdit>("Edit11")->setText(QStringLiteral("ŞUBE"));
        control<QLineEdit>("Edit10")->setText(QStringLiteral("MERKEZ"));
        click("Button7");
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(m_prompter->questions.isEmpty());
        QCOMPARE(m_prompter->notices, QStringList{ "1 Kart işlem gördü" });
        QCOMPARE(m_server->db()
                         .scalar(QStringLiteral(
                                 "SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISYKODU='MERKEZ'"))
                         .toInt(),
                 4);
        QCOMPARE(gridValues(QStringLiteral("BORSCLKOD")), (QStringList{ "S1", "S2", "S4" }));
        QCOMPARE(grid()->currentIndex().row(), 0);
    }

private:
    QTableView *grid() const { return control<QTableView>("DBGrid4"); }

    QStringList gridValues(const QString &column) const
    {
        int index = -1;
        for (int c = 0; c < grid()->model()->columnCount(); ++c) {
            if (grid()->model()->headerData(c, Qt::Horizontal).toString() == column)
                index = c;
        }
        QStringList values;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            values << grid()->model()->index(row, index).data().toString();
        return values;
    }
};

QTEST_MAIN(TestPayrollHandlers)
#include "tst_payrollhandlers.moc"
