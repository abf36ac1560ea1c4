#include "CompanyTest.h"
#include "ErrorRaised.h"
#include "PayrollFixture.h"
#include "RecordingPrompter.h"

#include "payroll/PayrollList.h"
#include "payroll/WorkplaceCodeChange.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

namespace {

// Registry code -> workplace code; "<NULL>" for a row without one.
using Workplaces = QMap<QString, QString>;

const QString noValue = QStringLiteral("<NULL>");

} // namespace

// Moving registry rows from one workplace code to another.
class TestWorkplaceCodeChange : public CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_prompter = RecordingPrompter();
        // S2 has left: the change covers the whole registry all the same.
        seedRegistry(db(),
                     { { "S1" },
                       { "S2", 7 },
                       { "S3", 0, QStringLiteral("ŞUBE") },
                       { "S4", 0, QStringLiteral("") },
                       { "S5", 0, QVariant() } });
        m_server->connect(*m_session);
    }

    void cleanup() { stopServer(); }

    void rowsOfTheCodeMove_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<Workplaces>("after");
        const Workplaces before{ { "S1", "MERKEZ" },
                                 { "S2", "MERKEZ" },
                                 { "S3", "ŞUBE" },
                                 { "S4", "" },
                                 { "S5", noValue } };
        auto changed = [&](std::initializer_list<std::pair<QString, QString>> rows) {
            Workplaces after = before;
            for (const auto &[code, workplace] : rows)
                after.insert(code, workplace);
            return after;
        };
        QTest::newRow("two rows") << "MERKEZ"
                                  << "ŞUBE 2"
                                  << "2 Kart işlem gördü"
                                  << changed({ { "S1", "ŞUBE 2" }, { "S2", "ŞUBE 2" } });
        QTest::newRow("no match") << "YOK"
                                  << "ŞUBE 2"
                                  << "0 Kart işlem gördü" << before;
        QTest::newRow("case and blanks as typed") << "merkez "
                                                  << "X"
                                                  << "0 Kart işlem gördü" << before;
        QTest::newRow("same code on both sides") << "MERKEZ"
                                                 << "MERKEZ"
                                                 << "2 Kart işlem gördü" << before;
        QTest::newRow("empty current code") << ""
                                            << "BOŞ"
                                            << "1 Kart işlem gördü" << changed({ { "S4", "BOŞ" } });
        QTest::newRow("current code never typed")
                << QString() << "BOŞ"
                << "1 Kart işlem gördü" << changed({ { "S4", "BOŞ" } });
        QTest::newRow("empty new code") << "ŞUBE"
                                        << ""
                                        << "1 Kart işlem gördü" << changed({ { "S3", "" } });
        QTest::newRow("new code never typed")
                << "ŞUBE" << QString() << "1 Kart işlem gördü" << changed({ { "S3", "" } });
    }

    void rowsOfTheCodeMove()
    {
        QFETCH(QString, current);
        QFETCH(QString, replacement);
        QFETCH(QString, notice);
        QFETCH(Workplaces, after);
        PayrollList::load(*m_session, false);
        m_session->registryList.setCurrentRow(3);
        run({ .currentCode = current, .newCode = replacement });
        QCOMPARE(workplaces(), after);
        QCOMPARE(m_prompter.notices, QStringList{ notice });
        QVERIFY(m_prompter.questions.isEmpty());
        // Listed again, from the first row, with the new codes.
        QCOMPARE(m_session->registryList.currentRow(), 0);
        QCOMPARE(m_session->registryList.rowCount(), 5);
        QCOMPARE(m_session->registryList.readText(QStringLiteral("BORSCLISYKODU")),
                 after.value(QStringLiteral("S1")));
    }

    // The list need not be open; it is read again with the filter as ticked.
    void listsAgainWithTheFilter_data()
    {
        QTest::addColumn<bool>("employeesOnly");
        QTest::addColumn<int>("listed");
        QTest::newRow("everyone") << false << 5;
        QTest::newRow("Çalışanlar") << true << 4;
    }

    void listsAgainWithTheFilter()
    {
        QFETCH(bool, employeesOnly);
        QFETCH(int, listed);
        run({ .currentCode = QStringLiteral("MERKEZ"),
              .newCode = QStringLiteral("X"),
              .employeesOnly = employeesOnly });
        QCOMPARE(m_prompter.notices, QStringList{ "2 Kart işlem gördü" });
        QCOMPARE(m_session->registryList.rowCount(), listed);
        QCOMPARE(
                db().scalar(QStringLiteral("SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISYKODU='X'"))
                        .toInt(),
                2);
    }

    // A refused change leaves the registry as it was, says nothing and
    // leaves the list where it is.
    void failureChangesNothing()
    {
        db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON BORSICIL WHEN OLD.BORSCLKOD='S2' "
                "BEGIN SELECT RAISE(ABORT,'BORSICIL kilitli'); END"));
        PayrollList::load(*m_session, false);
        m_session->registryList.setCurrentRow(2);
        const Workplaces before = workplaces();
        const QString error = errorRaisedBy([&] {
            run({ .currentCode = QStringLiteral("MERKEZ"), .newCode = QStringLiteral("X") });
        });
        QVERIFY2(error.contains(QStringLiteral("kilitli")), qPrintable(error));
        QCOMPARE(workplaces(), before);
        QVERIFY(m_prompter.notices.isEmpty());
        QCOMPARE(m_session->registryList.currentRow(), 2);
        QVERIFY(!m_session->connection.inUnit());
    }

    // Only the workplace codes of the registry change.
    void otherTablesStay()
    {
        const auto codesOfEveryTable = [this] {
            QList<QStringList> codes;
            for (const auto &step : RegistryCodePropagation::steps())
                codes << firstColumn(db(),
                                     QStringLiteral("SELECT %2 FROM %1 ORDER BY %2")
                                             .arg(step.table, step.column));
            return codes;
        };
        const QList<QStringList> before = codesOfEveryTable();
        run({ .currentCode = QStringLiteral("MERKEZ"), .newCode = QStringLiteral("S1") });
        QCOMPARE(codesOfEveryTable(), before);
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }

    Workplaces workplaces()
    {
        Workplaces rows;
        for (const auto &row :
             db().select(QStringLiteral("SELECT BORSCLKOD, BORSCLISYKODU FROM BORSICIL")))
            rows.insert(row.at(0).toString(), row.at(1).isNull() ? noValue : row.at(1).toString());
        return rows;
    }

    void run(const WorkplaceChangeRequest &request)
    {
        SilentProgress progress;
        WorkplaceCodeChange({ *m_session, m_prompter, progress }).run(request);
    }

    RecordingPrompter m_prompter;
};

QTEST_GUILESS_MAIN(TestWorkplaceCodeChange)
#include "tst_workplacecodechange.moc"
