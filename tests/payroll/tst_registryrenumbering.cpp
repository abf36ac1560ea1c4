#include "CommitGroupings.h"
#include "CompanyTest.h"
#include "InjectedFailure.h"
#include "PayrollFixture.h"
#include "RecordingPrompter.h"
#include "ScriptedProgress.h"
#include "ShownTexts.h"

#include "payroll/PayrollList.h"
#include "payroll/RegistryRenumbering.h"

#include <QTest>

using namespace zym;
using namespace zym::test;
using ShownTexts::codeConflict;
using ShownTexts::confirmation;
using ShownTexts::registryFinished;

namespace {

// A prompter that also notes whether a transaction was open when it spoke.
class WatchingPrompter : public RecordingPrompter
{
public:
    explicit WatchingPrompter(const Connection &connection) : m_connection(connection) { }

    int spokeInUnit = 0;

    void notify(const QString &text) override
    {
        spokeInUnit += m_connection.inUnit() ? 1 : 0;
        RecordingPrompter::notify(text);
    }

private:
    const Connection &m_connection;
};

QList<Employee> employees(const QStringList &codes)
{
    QList<Employee> list;
    for (const QString &code : codes)
        list << Employee{ code };
    return list;
}

} // namespace

// The renumbering of registry codes over the payroll list, from its current
// row, across the ten payroll tables.
class TestRegistryRenumbering : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = std::make_unique<WatchingPrompter>(m_session->connection);
        m_progress = ScriptedProgress();
    }

    void cleanup()
    {
        m_prompter.reset();
        stopServer();
    }

    // Each listed row from the current one gets the next code; the rows
    // above keep theirs. The list is read again and the run says it is done.
    void numbersFromTheCurrentRow_data()
    {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("newCodes"); // per listed row; empty where it keeps its code
        QTest::newRow("first row, defaults")
                << 0 << "1"
                << "0000" << QStringList{ "0001", "0002", "0003", "0004" };
        QTest::newRow("row in the middle") << 2 << "1"
                                           << "0000" << QStringList{ "", "", "0001", "0002" };
        QTest::newRow("other start and mask")
                << 1 << "99"
                << "C0000" << QStringList{ "", "C0099", "C0100", "C0101" };
        QTest::newRow("typed with blanks and sign, no mask")
                << 3 << " +12"
                << "" << QStringList{ "", "", "", "12" };
    }

    void numbersFromTheCurrentRow()
    {
        QFETCH(int, startRow);
        QFETCH(QString, start);
        QFETCH(QString, mask);
        QFETCH(QStringList, newCodes);
        const QStringList old{ "S1", "S2", "S3", "S4" };
        seedAndList(employees(old));
        const QMap<QString, QStringList> others = otherModuleRows();
        list().setCurrentRow(startRow);

        run({ .startNumber = start, .codeMask = mask });

        QCOMPARE(m_prompter->questions, QStringList{ confirmation });
        QCOMPARE(m_prompter->notices, QStringList{ registryFinished });
        QStringList listed;
        for (qsizetype i = 0; i < old.size(); ++i) {
            const QString code = newCodes.at(i).isEmpty() ? old.at(i) : newCodes.at(i);
            QVERIFY2(renamedEverywhere(db(), old.at(i), code), qPrintable(code));
            listed << code;
        }
        QCOMPARE(otherModuleRows(), others);
        for (const auto &step : RegistryCodePropagation::steps().mid(1))
            QVERIFY2(payrollCodes(db(), step).contains(QStringLiteral("DIGER")),
                     qPrintable(step.table));
        // Read again: the new codes, from the first row.
        QCOMPARE(list().currentRow(), 0);
        QCOMPARE(listedCodes(), listed);
    }

    // "Çevrim Göster": each change is shown before it is made, with no
    // transaction open.
    void conversionShownBeforeEachRow()
    {
        seedAndList(employees({ "15", "S2", "S3" }));
        run({ .startNumber = QStringLiteral("1"),
              .codeMask = QStringLiteral("0000"),
              .showConversion = true });
        QCOMPARE(m_prompter->notices,
                 (QStringList{ "15->0001", "S2->0002", "S3->0003", registryFinished }));
        QCOMPARE(m_prompter->spokeInUnit, 0);
        QCOMPARE(registryCodes(db()), (QStringList{ "0001", "0002", "0003" }));
    }

    void noAtThePromptChangesNothing()
    {
        seedAndList(employees({ "S1", "S2", "S3" }));
        list().setCurrentRow(1);
        m_prompter->answers = { false };
        run({ .startNumber = QStringLiteral("1"),
              .codeMask = QStringLiteral("0000"),
              .showConversion = true });
        QCOMPARE(m_prompter->questions, QStringList{ confirmation });
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(registryCodes(db()), (QStringList{ "S1", "S2", "S3" }));
        QCOMPARE(list().currentRow(), 1);
    }

    void startThatIsNoNumberStopsBeforeThePrompt_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("out of range") << "2147483648";
    }

    void startThatIsNoNumberStopsBeforeThePrompt()
    {
        QFETCH(QString, start);
        seedAndList(employees({ "S1", "S2" }));
        QCOMPARE(errorRaisedBy([&] {
                     run({ .startNumber = start, .codeMask = QStringLiteral("0000") });
                 }),
                 QStringLiteral("'%1' is not a valid integer value").arg(start));
        QVERIFY(m_prompter->questions.isEmpty());
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(registryCodes(db()), (QStringList{ "S1", "S2" }));
    }

    // A new code that a row of any of the ten tables carries stops the run
    // before the row that would get it: the rows before it keep their new
    // codes, it and the rows after it their old ones. Rows of other modules
    // in the shared tables are no conflict.
    void leftoverRowStopsTheRun_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QVariant>("module");
        QTest::addColumn<bool>("conflicts");
        QTest::addColumn<bool>("shown");
        for (const bool shown : { false, true }) {
            const char *how = shown ? "shown" : "not shown";
            for (const auto &step : RegistryCodePropagation::steps()) {
                const QVariant module = step.moduleColumn.isEmpty() ? QVariant() : QVariant(8);
                QTest::addRow("%s, %s", qPrintable(step.table), how)
                        << step.table << module << true << shown;
                if (step.moduleColumn.isEmpty())
                    continue;
                QTest::addRow("%s, other module, %s", qPrintable(step.table), how)
                        << step.table << QVariant(otherModule) << false << shown;
                QTest::addRow("%s, no module, %s", qPrintable(step.table), how)
                        << step.table << QVariant(QMetaType::fromType<int>()) << false << shown;
            }
        }
    }

    void leftoverRowStopsTheRun()
    {
        QFETCH(QString, table);
        QFETCH(QVariant, module);
        QFETCH(bool, conflicts);
        QFETCH(bool, shown);
        seedAndList(employees({ "S1", "S2", "S3" }));
        // Left by an employee no longer listed: after the listing.
        const RegistryCodePropagation::Step step = stepOf(table);
        if (step.moduleColumn.isEmpty())
            db().insert(table, { step.column }, { { QStringLiteral("0002") } });
        else
            db().insert(table, { step.column, step.moduleColumn },
                        { { QStringLiteral("0002"), module } });

        run({ .startNumber = QStringLiteral("1"),
              .codeMask = QStringLiteral("0000"),
              .showConversion = shown });

        if (!conflicts) {
            QCOMPARE(registryCodes(db()), (QStringList{ "0001", "0002", "0003" }));
            QCOMPARE(m_prompter->notices.last(), registryFinished);
            return;
        }
        QStringList notices = shown ? QStringList{ "S1->0001", "S2->0002" } : QStringList();
        notices << codeConflict << registryFinished;
        QCOMPARE(m_prompter->notices, notices);
        QCOMPARE(m_prompter->spokeInUnit, 0);
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S2"), QStringLiteral("S2")));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S3"), QStringLiteral("S3")));
        QCOMPARE(payrollCodes(db(), step).count(QStringLiteral("0002")), 1);
        QCOMPARE(list().currentRow(), 0);
        QStringList listed{ "0001", "S2", "S3" };
        if (table == QStringLiteral("BORSICIL"))
            listed << QStringLiteral("0002");
        QCOMPARE(listedCodes(), listed);
    }

    // Conflicts with registry rows: a later listed row, the row itself, and
    // an employee the "Çalışanlar" list leaves out.
    void registryRowStopsTheRun_data()
    {
        QTest::addColumn<QList<Employee>>("registry");
        QTest::addColumn<bool>("employeesOnly");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<QStringList>("listedAfter");
        QTest::newRow("a later row's code")
                << QList<Employee>{ { "S1" }, { "S2" }, { "S3" }, { "0002" } } << false
                << QStringList{ "S1->0001", "S2->0002", codeConflict, registryFinished }
                << QStringList{ "0001", "S2", "S3", "0002" };
        QTest::newRow("the row's own code")
                << QList<Employee>{ { "S1" }, { "0002" }, { "S3" } } << false
                << QStringList{ "S1->0001", "0002->0002", codeConflict, registryFinished }
                << QStringList{ "0001", "0002", "S3" };
        QTest::newRow("an employee who left, not listed")
                << QList<Employee>{ { "S1" }, { "0002", 3 }, { "S2" }, { "S3" } } << true
                << QStringList{ "S1->0001", "S2->0002", codeConflict, registryFinished }
                << QStringList{ "0001", "S2", "S3" };
    }

    void registryRowStopsTheRun()
    {
        QFETCH(QList<Employee>, registry);
        QFETCH(bool, employeesOnly);
        QFETCH(QStringList, notices);
        QFETCH(QStringList, listedAfter);
        seedAndList(registry, employeesOnly);
        run({ .startNumber = QStringLiteral("1"),
              .codeMask = QStringLiteral("0000"),
              .employeesOnly = employeesOnly,
              .showConversion = true });
        QCOMPARE(m_prompter->notices, notices);
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
        for (const Employee &employee : registry.mid(1))
            QVERIFY2(renamedEverywhere(db(), employee.code, employee.code),
                     qPrintable(employee.code));
        QCOMPARE(listedCodes(), listedAfter);
    }

    // "Çalışanlar" lists and renumbers only those still at work.
    void employeesOnly()
    {
        seedAndList({ { "S1" }, { "S2", 4 }, { "S3" } }, true);
        QCOMPARE(listedCodes(), (QStringList{ "S1", "S3" }));
        run({ .startNumber = QStringLiteral("1"),
              .codeMask = QStringLiteral("0000"),
              .employeesOnly = true });
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S2"), QStringLiteral("S2")));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S3"), QStringLiteral("0002")));
        QCOMPARE(listedCodes(), (QStringList{ "0001", "0002" }));
        QCOMPARE(m_prompter->notices, QStringList{ registryFinished });
    }

    // Right after a complete run, the same start and mask give codes in use.
    void secondIdenticalRunStopsAtItsFirstRow()
    {
        seedAndList(employees({ "S1", "S2", "S3" }));
        const RegistryRenumberingRequest request{ .startNumber = QStringLiteral("1"),
                                                  .codeMask = QStringLiteral("0000") };
        run(request);
        run(request);
        QCOMPARE(m_prompter->questions.size(), 2);
        QCOMPARE(m_prompter->notices,
                 (QStringList{ registryFinished, codeConflict, registryFinished }));
        QCOMPARE(registryCodes(db()), (QStringList{ "0001", "0002", "0003" }));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
    }

    // A failure at any statement of a row's unit, or at its commit, leaves
    // that row wholly on its old code, the rows before it wholly renumbered
    // and the rows after it untouched. The error goes on to the default
    // error display; the run neither lists again nor says it is done.
    // Committed row by row or all in one transaction, the run leaves the
    // same rows.
    void failurePartWayThroughARowLeavesItWhole_data()
    {
        QTest::addColumn<int>("position"); // 1-based statement of the unit; 0 for the commit
        QTest::addColumn<bool>("shown");
        for (const bool shown : { false, true }) {
            const char *how = shown ? "shown" : "not shown";
            for (qsizetype i = 0; i < RegistryCodePropagation::steps().size(); ++i)
                QTest::addRow("%s, %s", qPrintable(RegistryCodePropagation::steps().at(i).table),
                              how)
                        << int(i + 1) << shown;
            QTest::addRow("commit, %s", how) << 0 << shown;
        }
    }

    void failurePartWayThroughARowLeavesItWhole()
    {
        QFETCH(int, position);
        QFETCH(bool, shown);
        if (position == 0 && !m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        const int failingRow = 1;
        compareGroupings(
                m_server, [this] { restart(); },
                [&](const CommitGrouping &grouping) {
                    seedAndList(employees({ "S1", "S2", "S3" }));
                    runFailingAt(m_session->connection, position,
                                 InjectedFailure::onRow(list(), failingRow), [&] {
                                     run({ .startNumber = QStringLiteral("1"),
                                           .codeMask = QStringLiteral("0000"),
                                           .showConversion = shown },
                                         grouping);
                                 });
                    if (QTest::currentTestFailed())
                        return;

                    QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
                    QVERIFY(renamedEverywhere(db(), QStringLiteral("S2"), QStringLiteral("S2")));
                    QVERIFY(renamedEverywhere(db(), QStringLiteral("S3"), QStringLiteral("S3")));
                    for (const auto &step : RegistryCodePropagation::steps())
                        QVERIFY2(!payrollCodes(db(), step).contains(QStringLiteral("0002")),
                                 qPrintable(step.table));
                    QCOMPARE(m_prompter->notices,
                             shown ? (QStringList{ "S1->0001", "S2->0002" }) : QStringList());
                    QCOMPARE(list().currentRow(), failingRow);
                });
    }

    // A list read before its rows changed names a code the registry no
    // longer has: that row fails whole, with a message saying what to do.
    void staleListFailsTheRow()
    {
        seedAndList(employees({ "S1", "S2", "S3" }));
        db().exec(QStringLiteral("UPDATE BORSICIL SET BORSCLKOD='X2' WHERE BORSCLKOD='S2'"));
        QCOMPARE(
                errorRaisedBy([&] {
                    run({ .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
                }),
                QStringLiteral("Sicil bulunamadı: S2. Listeyi Listele ile yeniden yükleyin."));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S1"), QStringLiteral("0001")));
        for (const auto &step : RegistryCodePropagation::steps().mid(1))
            QVERIFY2(payrollCodes(db(), step).contains(QStringLiteral("S2")),
                     qPrintable(step.table));
        QCOMPARE(registryCodes(db()), (QStringList{ "0001", "S3", "X2" }));
        QVERIFY(m_prompter->notices.isEmpty());
        QCOMPARE(list().currentRow(), 1);
    }

    // A cancel ends the run between rows like the end of the list does.
    void cancelBetweenRowsListsAgain()
    {
        seedAndList(employees({ "S1", "S2", "S3", "S4" }));
        m_progress.cancelAfter = 2;
        run({ .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
        QCOMPARE(m_progress.total, 4);
        QCOMPARE(m_progress.steps, (QList<int>{ 1, 2 }));
        QCOMPARE(registryCodes(db()), (QStringList{ "0001", "0002", "S3", "S4" }));
        QVERIFY(renamedEverywhere(db(), QStringLiteral("S2"), QStringLiteral("0002")));
        QCOMPARE(m_prompter->notices, QStringList{ registryFinished });
        QCOMPARE(listedCodes(), (QStringList{ "0001", "0002", "S3", "S4" }));
    }

    // Nothing to walk: no code changes, the list is read (also for the first
    // time) and the run says it is done.
    void listNotWalked_data()
    {
        QTest::addColumn<bool>("listed");
        QTest::newRow("never listed") << false;
        QTest::newRow("past its last row") << true;
    }

    void listNotWalked()
    {
        QFETCH(bool, listed);
        seedAndList(employees({ "S1", "S2" }));
        if (listed)
            list().setCurrentRow(list().rowCount());
        else
            list().close();
        run({ .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
        QCOMPARE(m_prompter->questions, QStringList{ confirmation });
        QCOMPARE(m_prompter->notices, QStringList{ registryFinished });
        QCOMPARE(registryCodes(db()), (QStringList{ "S1", "S2" }));
        QVERIFY(list().isOpen());
        QCOMPARE(list().currentRow(), 0);
    }

    // The ten statements of a row run in their order, with their texts, the
    // new code and the listed code.
    void rowRunsTheTenStatementsInOrder()
    {
        seedAndList(employees({ "S1", "S2" }));
        list().setCurrentRow(1);
        QStringList texts;
        {
            const Connection::Observation recording = m_session->connection.observe(
                    { .executed = [&](const QString &sql, const QVariantMap &values, int) {
                        QCOMPARE(values, (QVariantMap{ { "pKod", "0001" }, { "pBorKod", "S2" } }));
                        texts << sql;
                    } });
            run({ .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
        }
        QCOMPARE(texts,
                 (QStringList{
                         "UPDATE BORSICIL SET BORSCLKOD=:pKod WHERE BORSCLKOD=:pBorKod;",
                         "UPDATE BORPUANTAJ SET BORPNPERKOD=:pKod WHERE BORPNPERKOD=:pBorKod;",
                         "UPDATE BORKUMULE SET BORKMPERKOD=:pKod WHERE BORKMPERKOD=:pBorKod;",
                         "UPDATE BORGENDET SET BORGENKOD=:pKod WHERE BORGENKOD=:pBorKod;",
                         "UPDATE BORDETAY SET BORDETKOD=:pKod WHERE BORDETKOD=:pBorKod;",
                         "UPDATE BORPUANDETAY SET BORPNDETPERKOD=:pKod WHERE "
                         "BORPNDETPERKOD=:pBorKod;",
                         "UPDATE ADRESLER SET ADRKOD1=:pKod WHERE ADRKOD1=:pBorKod AND ADRMODUL=8;",
                         "UPDATE KIMLIKLER SET KIMKOD=:pKod WHERE KIMKOD=:pBorKod AND KIMMODUL=8;",
                         "UPDATE RESIMLER SET RESIMKOD=:pKod WHERE RESIMKOD=:pBorKod AND "
                         "RESIMMODUL=8;",
                         "UPDATE SIRKETLOG SET SIRLOGKYTKODU=:pKod WHERE SIRLOGKYTKODU=:pBorKod "
                         "AND SIRLOGMODUL=8;",
                 }));
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }
    Statement &list() { return m_session->registryList; }

    void seedAndList(const QList<Employee> &registry, bool employeesOnly = false)
    {
        seedRegistry(db(), registry);
        m_server->connect(*m_session);
        PayrollList::load(*m_session, employeesOnly);
    }

    static RegistryCodePropagation::Step stepOf(const QString &table)
    {
        for (const auto &step : RegistryCodePropagation::steps()) {
            if (step.table == table)
                return step;
        }
        qFatal("no step for %s", qPrintable(table));
    }

    // The codes the list holds, in its order; the list stays where it is.
    QStringList listedCodes()
    {
        QStringList codes;
        const int index = int(list().result().columnIndex(QStringLiteral("BORSCLKOD")));
        for (const QVariantList &row : list().result().rows)
            codes << row.at(index).toString();
        return codes;
    }

    // Table -> codes of the rows of other modules, or none, in each shared table.
    QMap<QString, QStringList> otherModuleRows()
    {
        QMap<QString, QStringList> rows;
        for (const auto &step : RegistryCodePropagation::steps()) {
            if (!step.moduleColumn.isEmpty())
                rows.insert(step.table, otherModuleCodes(db(), step));
        }
        return rows;
    }

    void run(const RegistryRenumberingRequest &request, const CommitGrouping &grouping = {})
    {
        RegistryRenumbering({ *m_session, *m_prompter, m_progress, grouping }).run(request);
    }

    // Starts again on a fresh server, with nothing seeded.
    void restart()
    {
        cleanup();
        init();
    }

    std::unique_ptr<WatchingPrompter> m_prompter;
    ScriptedProgress m_progress;
};

QTEST_GUILESS_MAIN(TestRegistryRenumbering)
#include "tst_registryrenumbering.moc"
