#include "CardFixture.h"
#include "CompanyTest.h"

#include "ops/Prompter.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

using Scope = CardCodePropagation::Scope;

class TestCardCodePropagation : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        DatabaseSeeder &db = m_server->db();
        seedCards(db, { { QStringLiteral("ESKI"), QStringLiteral("Eski Kart"), 1 } });
        // A second row of the old code in a movement table, an account named
        // like the card, and payroll rows of the same code.
        db.insert(QStringLiteral("FATHAR"), { QStringLiteral("FATHARCARKOD") },
                  { { QStringLiteral("ESKI") } });
        db.insert(QStringLiteral("MUHHESAP"), { QStringLiteral("MUHKOD") },
                  { { QStringLiteral("ESKI") } });
        db.insert(QStringLiteral("KIMLIKLER"),
                  { QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL") },
                  { { QStringLiteral("ESKI"), 8 }, { QStringLiteral("ESKI"), QVariant() } });
        db.insert(QStringLiteral("ADRESLER"),
                  { QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") },
                  { { QStringLiteral("ESKI"), 8 } });
        m_server->connect(*m_session);
    }

    void cleanup() { stopServer(); }

    void statementsInOrder()
    {
        const auto &steps = CardCodePropagation::steps();
        QCOMPARE(steps.size(), 20);
        QCOMPARE(steps.at(0).sql,
                 QStringLiteral("UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"));
        QCOMPARE(steps.at(3).sql,
                 QStringLiteral(
                         "UPDATE CARFIS SET CARFISCARKOD=:pKod WHERE CARFISCARKOD=:pCarKod;"));
        QCOMPARE(steps.at(5).sql,
                 QStringLiteral("UPDATE CARMIZDEGER SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"));
        QCOMPARE(steps.at(19).sql,
                 QStringLiteral(
                         "UPDATE STKHAR SET STKHARCARKOD=:pKod WHERE STKHARCARKOD=:pCarKod;"));
    }

    void renamesEveryCarrier_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<int>("renamedSteps");
        QTest::newRow("all tables") << int(Scope::AllTables) << 20;
        QTest::newRow("card rows") << int(Scope::CardRows) << 3;
    }

    void renamesEveryCarrier()
    {
        QFETCH(int, scope);
        QFETCH(int, renamedSteps);
        CardCodePropagation propagation(m_session->connection, Scope(scope));
        QVERIFY(!propagation.codeTaken(QStringLiteral("YENI"), QStringLiteral("ESKI")));
        propagation.run(QStringLiteral("YENI"), QStringLiteral("ESKI"));
        SilentProgress progress;
        propagation.finishGroup(progress);
        DatabaseSeeder &db = m_server->db();
        const auto &steps = CardCodePropagation::steps();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            QString condition;
            if (!step.moduleColumn.isEmpty())
                condition = QStringLiteral(" AND (%1 IS NULL OR %1<>8)").arg(step.moduleColumn);
            const int oldRows =
                    db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2='ESKI'%3")
                                      .arg(step.table, step.column, condition))
                            .toInt();
            const int newRows = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2='YENI'")
                                                  .arg(step.table, step.column))
                                        .toInt();
            const bool renamed = i < renamedSteps;
            QVERIFY2(renamed ? oldRows == 0 && newRows > 0 : oldRows > 0 && newRows == 0,
                     qPrintable(step.table));
            QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2='DIGER'")
                                       .arg(step.table, step.column))
                             .toInt(),
                     step.table == QStringLiteral("CARKART") ? 0 : 1);
        }
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM FATHAR WHERE FATHARCARKOD='YENI'"))
                         .toInt(),
                 renamedSteps == 20 ? 2 : 0);
        QCOMPARE(codesIn(db, QStringLiteral("MUHHESAP"), QStringLiteral("MUHKOD")),
                 QStringList{ "ESKI" });
        // Payroll rows keep the code; an identity row with no module is the card's.
        QCOMPARE(payrollRowsOf(db, QStringLiteral("ESKI")), (QList<int>{ 1, 1 }));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM KIMLIKLER WHERE KIMKOD='YENI' AND "
                                          "KIMMODUL IS NULL"))
                         .toInt(),
                 1);
    }

    void takenCodes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("module");
        QTest::addColumn<bool>("taken");
        QTest::newRow("movement") << "CARHAR"
                                  << "CARHARCARKOD" << QVariant() << true;
        QTest::newRow("last movement") << "STKHAR"
                                       << "STKHARCARKOD" << QVariant() << true;
        QTest::newRow("card") << "CARKART"
                              << "CARKOD" << QVariant() << true;
        QTest::newRow("identity") << "KIMLIKLER"
                                  << "KIMKOD" << QVariant(1) << true;
        QTest::newRow("address") << "ADRESLER"
                                 << "ADRKOD1" << QVariant(1) << true;
        QTest::newRow("payroll identity") << "KIMLIKLER"
                                          << "KIMKOD" << QVariant(8) << false;
        QTest::newRow("account") << "MUHHESAP"
                                 << "MUHKOD" << QVariant() << false;
    }

    // Whatever the scope renames, a row of any of the twenty tables under the
    // new code is taken: the renamed card would adopt it.
    void takenCodes()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, module);
        QFETCH(bool, taken);
        DatabaseSeeder &db = m_server->db();
        if (module.isValid())
            db.insert(table,
                      { column,
                        table == QStringLiteral("KIMLIKLER") ? QStringLiteral("KIMMODUL")
                                                             : QStringLiteral("ADRMODUL") },
                      { { QStringLiteral("YENI"), module } });
        else
            db.insert(table, { column }, { { QStringLiteral("YENI") } });
        CardCodePropagation all(m_session->connection, Scope::AllTables);
        CardCodePropagation cardRows(m_session->connection, Scope::CardRows);
        QCOMPARE(all.codeTaken(QStringLiteral("YENI"), QStringLiteral("ESKI")), taken);
        QCOMPARE(cardRows.codeTaken(QStringLiteral("YENI"), QStringLiteral("ESKI")), taken);
        QVERIFY(!all.codeTaken(QStringLiteral("BOS"), QStringLiteral("ESKI")));
        // The card's own rows are no conflict.
        QVERIFY(!all.codeTaken(QStringLiteral("ESKI"), QStringLiteral("ESKI")));
    }

private:
    using Step = CardCodePropagation::Step;
};

QTEST_GUILESS_MAIN(TestCardCodePropagation)
#include "tst_cardcodepropagation.moc"
