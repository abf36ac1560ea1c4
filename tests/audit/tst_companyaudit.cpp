#include "CompanyTest.h"
#include "ScriptedProgress.h"
#include "TableDigest.h"

#include "audit/AuditChecks.h"
#include "audit/CompanyAudit.h"
#include "cards/CardCodePropagation.h"
#include "db/Tables.h"
#include "payroll/RegistryCodePropagation.h"
#include "stock/StockAccountSets.h"

#include <QTest>

using namespace zym;
using namespace zym::test;

namespace {

// The checks in the order they run.
enum Check {
    EmptyCards,
    AlikeCards,
    CardlessCodes,
    AccountLinks,
    CardTypes,
    Registry,
    Stock,
    Journal
};

const QString noCollation;

} // namespace

// The checks on a company with nothing to find, and the same company with
// one fault added at a time: each fault is exactly one finding of the check
// that looks for it, and none of the others.
class TestCompanyAudit : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init() { startServer(); }
    void cleanup() { stopServer(); }

    // Codes that the server compares as equal to an owner's code are held by
    // it: rows under 'k1' or 'K1 ' belong to the card K1 where the columns
    // ignore case or trailing blanks.
    void cleanCompanyHasNoFindings_data()
    {
        QTest::addColumn<QString>("collation");
        QTest::addColumn<QStringList>("seed");
        QTest::newRow("exact") << noCollation << QStringList{};
        QTest::newRow("case ignored")
                << "NOCASE"
                << QStringList{ "INSERT INTO CARHAR (CARHARCARKOD) VALUES ('k1')",
                                "INSERT INTO BORDETAY (BORDETKOD) VALUES ('p1')" };
        QTest::newRow("trailing blanks ignored")
                << "RTRIM"
                << QStringList{ "INSERT INTO CARHAR (CARHARCARKOD) VALUES ('K1 ')",
                                "INSERT INTO BORDETAY (BORDETKOD) VALUES ('P1 ')" };
    }

    void cleanCompanyHasNoFindings()
    {
        QFETCH(QString, collation);
        QFETCH(QStringList, seed);
        seedCleanCompany(collation);
        for (const QString &statement : seed)
            db().exec(statement);
        const AuditOutcome outcome = audit();
        QVERIFY(!outcome.cancelled);
        QCOMPARE(outcome.checks.size(), AuditChecks::all().size());
        for (const CheckOutcome &check : outcome.checks) {
            QVERIFY2(check.findings.isEmpty(),
                     qPrintable(check.title + u' ' + check.findings.value(0).key));
            QCOMPARE(check.total, qint64(0));
        }
    }

    void eachFaultIsOneFindingOfItsCheck_data()
    {
        QTest::addColumn<QString>("collation");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("keys"); // the finding's key is one of them
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("named"); // what its explanation names

        const auto row = [](const char *name, const QString &collation, const QStringList &seed,
                            Check check, const char *table, const QStringList &keys, int count,
                            const char *named = "") {
            QTest::newRow(name) << collation << seed << int(check) << QString::fromLatin1(table)
                                << keys << count << QString::fromUtf8(named);
        };
        row("card code NULL", noCollation,
            { "INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES (NULL, 'Boş')" }, EmptyCards,
            "CARKART", { "NULL" }, 1, "Kodu NULL");
        row("card code empty", noCollation,
            { "INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES ('', 'Boş')" }, EmptyCards, "CARKART",
            { "''" }, 1, "Kodu boş ('')");
        row("card codes alike by case", "NOCASE",
            { "INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES ('k1', 'İkiz')" }, AlikeCards,
            "CARKART", { "K1", "k1" }, 2);
        row("card codes alike by trailing blanks", "RTRIM",
            { "INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES ('K1  ', 'İkiz')" }, AlikeCards,
            "CARKART", { "K1", "K1  " }, 2);
        row("movement rows of a deleted card", noCollation,
            { "INSERT INTO FATHAR (FATHARCARKOD) VALUES ('SILINDI')",
              "INSERT INTO FATHAR (FATHARCARKOD) VALUES ('SILINDI')" },
            CardlessCodes, "FATHAR", { "SILINDI" }, 2, "Hiçbir kartın");
        row("address row of a deleted card", noCollation,
            { "INSERT INTO ADRESLER (ADRKOD1, ADRMODUL) VALUES ('SILINDI', 1)" }, CardlessCodes,
            "ADRESLER", { "SILINDI" }, 1);
        row("identity row without a module", noCollation,
            { "INSERT INTO KIMLIKLER (KIMKOD, KIMMODUL) VALUES ('SILINDI', NULL)" }, CardlessCodes,
            "KIMLIKLER", { "SILINDI" }, 1);
        row("customer account missing", noCollation, { "UPDATE CARKART SET CARMUHKODU='120 YOK'" },
            AccountLinks, "CARKART", { "K1" }, 1, "120 YOK");
        row("supplier account missing", noCollation, { "UPDATE CARKART SET CAREKCHAR1='320 YOK'" },
            AccountLinks, "CARKART", { "K1" }, 1, "320 YOK");
        row("account of two cards", noCollation,
            { "INSERT INTO CARKART (CARKOD, CARUNVAN, CARMUHTIPI, CARMUHKODU, CAREKCHAR1) "
              "VALUES ('K2', 'İkinci', 2, '', '320 K1')" },
            AccountLinks, "MUHHESAP", { "320 K1" }, 2, "Birden çok kart");
        row("card type 7", noCollation, { "UPDATE CARKART SET CARMUHTIPI=7" }, CardTypes, "CARKART",
            { "K1" }, 1, "7");
        row("registry codes alike by case", "NOCASE",
            { "INSERT INTO BORSICIL (BORSCLKOD, BORSCLISCIKKOD, BORSCLISYKODU) VALUES ('p1', 0, "
              "'MERKEZ')" },
            Registry, "BORSICIL", { "P1", "p1" }, 2, "eş sayar");
        row("payroll rows of a departed employee", noCollation,
            { "INSERT INTO BORDETAY (BORDETKOD) VALUES ('P9')" }, Registry, "BORDETAY", { "P9" }, 1,
            "Hiçbir çalışanın");
        row("payroll picture of a departed employee", noCollation,
            { "INSERT INTO RESIMLER (RESIMKOD, RESIMMODUL) VALUES ('P9', 8)" }, Registry,
            "RESIMLER", { "P9" }, 1);
        row("registry code empty", noCollation,
            { "INSERT INTO BORSICIL (BORSCLKOD, BORSCLISCIKKOD, BORSCLISYKODU) VALUES ('', 0, "
              "'MERKEZ')" },
            Registry, "BORSICIL", { "''" }, 1, "Sicil kodu boş");
        row("stock code NULL", noCollation,
            { "INSERT INTO STKKART (STKKOD, STKACIK1, STKGENKDVNO) VALUES (NULL, 'Somun', 2)" },
            Stock, "STKKART", { "NULL" }, 1, "Stok kodu NULL");
        row("link rows of a deleted stock card", noCollation,
            { "INSERT INTO STKMUHBAGLANTI (SMBSTKKOD, SMBITEMNO, SMBFTNO, SMBMUHKOD1) VALUES "
              "('S9', 1, 1, '153 03 05')" },
            Stock, "STKMUHBAGLANTI", { "S9" }, 1, "stok kartının");
        row("stock group without a set", noCollation, { "UPDATE STKKART SET STKGENKDVNO=7" }, Stock,
            "STKKART", { "S1" }, 1, "Grup 7");
        row("journal lines without a header", noCollation,
            { "INSERT INTO MUHHAR (MUHHARREFNO, MUHHARSIRANO, MUHHARBATIPI) VALUES (9, 1, 1)",
              "INSERT INTO MUHHAR (MUHHARREFNO, MUHHARSIRANO, MUHHARBATIPI) VALUES (9, 2, 2)" },
            Journal, "MUHHAR", { "9" }, 2, "başlığı yok");
        row("journal header without lines", noCollation,
            { "INSERT INTO MUHFIS (MUHFISREFNO) VALUES (8)" }, Journal, "MUHFIS", { "8" }, 1,
            "satırı yok");
    }

    // The check also reads without writing: every table is as it was.
    void eachFaultIsOneFindingOfItsCheck()
    {
        QFETCH(QString, collation);
        QFETCH(QStringList, seed);
        QFETCH(int, check);
        QFETCH(QString, table);
        QFETCH(QStringList, keys);
        QFETCH(int, count);
        QFETCH(QString, named);
        seedCleanCompany(collation);
        for (const QString &statement : seed)
            db().exec(statement);
        const auto before = tableDigests(*m_server);

        const AuditOutcome outcome = audit();

        for (qsizetype i = 0; i < outcome.checks.size(); ++i) {
            const CheckOutcome &checked = outcome.checks.at(i);
            QCOMPARE(checked.total, qint64(i == check ? 1 : 0));
            QCOMPARE(checked.findings.size(), qsizetype(i == check ? 1 : 0));
        }
        const AuditFinding &finding = outcome.checks.at(check).findings.constFirst();
        QCOMPARE(finding.table, table);
        QVERIFY2(keys.contains(finding.key), qPrintable(finding.key));
        QCOMPARE(finding.count, qint64(count));
        QVERIFY2(finding.explanation.contains(named), qPrintable(finding.explanation));
        QVERIFY(!finding.explanation.contains(QStringLiteral("%1")));
        QCOMPARE(tableDigests(*m_server), before);
    }

    // A check lists its first findings only, and counts them all.
    void findingsAreCutAtTheLimitAndCounted()
    {
        seedCleanCompany(noCollation);
        QList<QVariantList> orphans;
        for (int i = 0; i < AuditChecks::findingLimit + 5; ++i)
            orphans << QVariantList{ QStringLiteral("YOK%1").arg(i, 5, 10, QLatin1Char('0')) };
        db().insert(QStringLiteral("KASAHAR"), { QStringLiteral("KASHARCARKOD") }, orphans);
        const CheckOutcome checked = audit().checks.at(CardlessCodes);
        QCOMPARE(checked.total, qint64(AuditChecks::findingLimit + 5));
        QCOMPARE(checked.findings.size(), qsizetype(AuditChecks::findingLimit));
        QCOMPARE(checked.findings.constFirst().key, QStringLiteral("YOK00000"));
    }

    // A cancel lands between two checks; one during the last check comes too
    // late to leave anything out.
    void cancelStopsBetweenChecks_data()
    {
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<int>("checksRun");
        QTest::addColumn<bool>("cancelled");
        const int all = int(AuditChecks::all().size());
        QTest::newRow("after the first") << 1 << 1 << true;
        QTest::newRow("after the third") << 3 << 3 << true;
        QTest::newRow("during the last") << all << all << false;
    }

    void cancelStopsBetweenChecks()
    {
        QFETCH(int, cancelAfter);
        QFETCH(int, checksRun);
        QFETCH(bool, cancelled);
        seedCleanCompany(noCollation);
        m_server->connect(*m_session);
        ScriptedProgress progress;
        progress.cancelAfter = cancelAfter;
        const AuditOutcome outcome = CompanyAudit(m_session->connection, progress).run();
        QCOMPARE(outcome.checks.size(), qsizetype(checksRun));
        QCOMPARE(outcome.cancelled, cancelled);
        QCOMPARE(progress.total, int(AuditChecks::all().size()));
        QCOMPARE(progress.finished, 1);
    }

private:
    DatabaseSeeder &db() { return m_server->db(); }

    AuditOutcome audit()
    {
        m_server->connect(*m_session);
        SilentProgress progress;
        return CompanyAudit(m_session->connection, progress).run();
    }

    // One card, employee, stock card and voucher, each with everything that
    // belongs to it and nothing that does not. Where the server must find
    // codes alike the tables are laid out again under `collation` and, as in
    // the product's own databases, without unique keys; a SQL Server
    // compares with its own collation, which ignores case and trailing blanks.
    void seedCleanCompany(const QString &collation)
    {
        if (!collation.isEmpty()) {
            QList<TableSpec> tables = Tables::companyTables();
            for (TableSpec &table : tables) {
                db().exec(QStringLiteral("DROP TABLE ") + table.name);
                table.uniqueKeys.clear();
            }
            db().createTables(tables, m_server->hasFiles() ? collation : QString());
        }
        db().insert(QStringLiteral("CARKART"),
                    { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                      QStringLiteral("CARMUHTIPI"), QStringLiteral("CARMUHKODU"),
                      QStringLiteral("CAREKCHAR1"), QStringLiteral("CAROZKOD3") },
                    { { QStringLiteral("K1"), QStringLiteral("Ağaç Ltd."), 3,
                        QStringLiteral("120 K1"), QStringLiteral("320 K1"), QStringLiteral("") } });
        db().insert(QStringLiteral("MUHHESAP"),
                    { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
                    { { QStringLiteral("120 K1"), QStringLiteral("Ağaç Ltd.") },
                      { QStringLiteral("320 K1"), QStringLiteral("Ağaç Ltd.") } });
        const auto &cardSteps = CardCodePropagation::steps();
        for (qsizetype i = 1; i < cardSteps.size(); ++i) {
            if (cardSteps.at(i).moduleColumn.isEmpty())
                db().insert(cardSteps.at(i).table, { cardSteps.at(i).column },
                            { { QStringLiteral("K1") } });
        }
        const auto &payrollSteps = RegistryCodePropagation::steps();
        db().insert(QStringLiteral("BORSICIL"),
                    { QStringLiteral("BORSCLKOD"), QStringLiteral("BORSCLISCIKKOD"),
                      QStringLiteral("BORSCLISYKODU") },
                    { { QStringLiteral("P1"), 0, QStringLiteral("MERKEZ") } });
        for (qsizetype i = 1; i < payrollSteps.size(); ++i) {
            const auto &step = payrollSteps.at(i);
            if (step.moduleColumn.isEmpty()) {
                db().insert(step.table, { step.column }, { { QStringLiteral("P1") } });
                continue;
            }
            // The shared tables hold both modules' rows: each is left to its own check.
            db().insert(step.table, { step.column, step.moduleColumn },
                        { { QStringLiteral("P1"), Tables::payrollModule },
                          { QStringLiteral("K1"), 1 } });
        }
        db().insert(QStringLiteral("STKKART"),
                    { QStringLiteral("STKKOD"), QStringLiteral("STKACIK1"),
                      QStringLiteral("STKGENKDVNO") },
                    { { QStringLiteral("S1"), QStringLiteral("Vida M6"), 1 } });
        QList<QVariantList> links;
        for (const StockAccountSets::Item &item : StockAccountSets::items(1))
            links << QVariantList{ QStringLiteral("S1"), item.number, item.number, item.account };
        db().insert(QStringLiteral("STKMUHBAGLANTI"),
                    { QStringLiteral("SMBSTKKOD"), QStringLiteral("SMBITEMNO"),
                      QStringLiteral("SMBFTNO"), QStringLiteral("SMBMUHKOD1") },
                    links);
        db().insert(QStringLiteral("MUHFIS"), { QStringLiteral("MUHFISREFNO") }, { { 1 } });
        db().insert(QStringLiteral("MUHHAR"),
                    { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARSIRANO"),
                      QStringLiteral("MUHHARBATIPI") },
                    { { 1, 1, 1 }, { 1, 2, 2 } });
    }
};

QTEST_GUILESS_MAIN(TestCompanyAudit)
#include "tst_companyaudit.moc"
