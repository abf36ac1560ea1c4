#include "demo/DemoData.h"

#include "audit/AuditChecks.h"
#include "audit/CompanyAudit.h"
#include "db/Connection.h"
#include "db/DatabaseSeeder.h"
#include "db/EmbeddedFolder.h"
#include "ops/Prompter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zym;

namespace {

// A digest of every row of every table, to compare two generated databases.
QByteArray contentDigest(DatabaseSeeder &db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto tables = db.select(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
    for (const auto &table : tables) {
        for (const auto &row : db.select(QStringLiteral("SELECT * FROM %1 ORDER BY rowid")
                                                 .arg(table.first().toString()))) {
            for (const QVariant &value : row)
                hash.addData(value.toString().toUtf8() + '\x1f');
        }
    }
    return hash.result();
}

// The rows of the first company at the default size, for the stamp's version.
const QByteArray rowsDigest = "6855b19148c26a21fc2b70e45ce7cc773fcae18f2b8b20c1d42d98bd25f327b0";

} // namespace

class TestDemoData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        DemoData::write(m_dir.path(), DemoSize{});
    }

    void masterListsTheCompanies()
    {
        DatabaseSeeder master(m_dir.path(), QStringLiteral("ZYM_MASTERV8"));
        QStringList names;
        for (const auto &row : master.select(QStringLiteral("SELECT SIRDBNAME FROM SIRKET")))
            names << row.first().toString();
        QVERIFY(names.size() >= 2);
        QCOMPARE(names, DemoData::companies());
        for (const QString &name : names)
            QVERIFY(QFile::exists(EmbeddedFolder::databaseFile(m_dir.path(), name)));
    }

    // Each row names a situation some operation must meet in the first company.
    void exercisesEveryOperation_data()
    {
        QTest::addColumn<QString>("countQuery");
        QTest::newRow("cards in the default list")
                << "SELECT COUNT(*) FROM CARKART WHERE CAROZKOD3<>'SK' AND CAROZKOD3<>'IHR'";
        QTest::newRow("type 0 card") << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=0";
        QTest::newRow("type 1 card") << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=1";
        QTest::newRow("type 2 card") << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=2";
        QTest::newRow("type 3 card") << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=3";
        QTest::newRow("customer without account")
                << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=1 AND IFNULL(CARMUHKODU,'')=''";
        QTest::newRow("supplier without account")
                << "SELECT COUNT(*) FROM CARKART WHERE CARMUHTIPI=2 AND IFNULL(CAREKCHAR1,'')=''";
        QTest::newRow("linked account exists")
                << "SELECT COUNT(*) FROM CARKART JOIN MUHHESAP ON MUHKOD=CARMUHKODU";
        QTest::newRow("shared tax number")
                << "SELECT COUNT(*) FROM (SELECT CARVERHESNO FROM CARKART WHERE CARVERHESNO<>'' "
                   "GROUP BY CARVERHESNO HAVING COUNT(*)>1)";
        QTest::newRow("empty tax number")
                << "SELECT COUNT(*) FROM CARKART WHERE IFNULL(CARVERHESNO,'')=''";
        QTest::newRow("SK card") << "SELECT COUNT(*) FROM CARKART WHERE CAROZKOD3='SK'";
        QTest::newRow("IHR card") << "SELECT COUNT(*) FROM CARKART WHERE CAROZKOD3='IHR'";
        QTest::newRow("card without identity") << "SELECT COUNT(*) FROM CARKART WHERE CARKOD NOT "
                                                  "IN (SELECT KIMKOD FROM KIMLIKLER)";
        QTest::newRow("card with two identities")
                << "SELECT COUNT(*) FROM (SELECT KIMKOD FROM KIMLIKLER WHERE KIMMODUL<>8 "
                   "GROUP BY KIMKOD HAVING COUNT(*)=2)";
        QTest::newRow("payroll identity on a card code")
                << "SELECT COUNT(*) FROM KIMLIKLER JOIN CARKART ON CARKOD=KIMKOD "
                   "WHERE KIMMODUL=8";
        QTest::newRow("title with trailing blanks")
                << "SELECT COUNT(*) FROM CARKART WHERE CARUNVAN LIKE '% '";
        QTest::newRow("stock without description")
                << "SELECT COUNT(*) FROM STKKART WHERE IFNULL(STKACIK1,'')=''";
        QTest::newRow("stock groups 0 to 9")
                << "SELECT COUNT(DISTINCT STKGENKDVNO)=10 FROM STKKART";
        QTest::newRow("type 1 lines") << "SELECT COUNT(*) FROM MUHHAR WHERE MUHHARBATIPI=1";
        QTest::newRow("type 2 lines") << "SELECT COUNT(*) FROM MUHHAR WHERE MUHHARBATIPI=2";
        QTest::newRow("several dates")
                << "SELECT COUNT(DISTINCT substr(MUHHARTAR,1,10))>3 FROM MUHHAR";
        QTest::newRow("103 01 lines")
                << "SELECT COUNT(*) FROM MUHHAR WHERE MUHHARMUHKOD LIKE '103 01 %'";
        QTest::newRow("employees at work")
                << "SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISCIKKOD=0";
        QTest::newRow("employees departed")
                << "SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISCIKKOD<>0";
        QTest::newRow("MERKEZ workplace")
                << "SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISYKODU='MERKEZ'";
        QTest::newRow("other workplace")
                << "SELECT COUNT(*) FROM BORSICIL WHERE BORSCLISYKODU<>'MERKEZ'";
        for (const char *table :
             { "CARFIS",    "CARHAR",    "CARMIZDEGER", "BANKAHAR",     "CSNFIS",   "CSNHAR",
               "FATFIS",    "FATHAR",    "IRSFIS",      "IRSHAR",       "KASAHAR",  "SATFIS",
               "SATHAR",    "SIPFIS",    "SIPHAR",      "STKFIS",       "STKHAR",   "BORPUANTAJ",
               "BORKUMULE", "BORGENDET", "BORDETAY",    "BORPUANDETAY", "RESIMLER", "SIRKETLOG" })
            QTest::newRow(table)
                    << QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table));
    }

    void exercisesEveryOperation()
    {
        QFETCH(QString, countQuery);
        DatabaseSeeder company(m_dir.path(), DemoData::companies().first());
        QVERIFY(company.scalar(countQuery).toInt() > 0);
    }

    // The second company gives "Denetle" something to show in every check
    // but the one for codes the server calls equal, which the demo's unique
    // card codes rule out.
    void secondCompanyHasFindingsForTheCheck()
    {
        Connection connection;
        connection.open({ m_dir.path(), QStringLiteral("sa"), QStringLiteral("vyx"),
                          DemoData::defaultMasterSuffix });
        connection.use(DemoData::companies().at(1));
        SilentProgress progress;
        const AuditOutcome outcome = CompanyAudit(connection, progress).run();
        QStringList withoutFindings;
        for (const CheckOutcome &check : outcome.checks) {
            if (check.total == 0)
                withoutFindings << check.title;
        }
        QCOMPARE(withoutFindings, QStringList{ AuditChecks::all().at(1).title });
    }

    void sameSizeGivesTheSameRows()
    {
        QTemporaryDir other;
        DemoData::write(other.path(), DemoSize{});
        DatabaseSeeder first(m_dir.path(), DemoData::companies().first());
        DatabaseSeeder second(other.path(), DemoData::companies().first());
        QCOMPARE(contentDigest(first), contentDigest(second));
    }

    // The stamp says which rows a folder holds: the demo command writes the
    // data again only when the stamp differs, so changed rows need a new
    // version in it.
    void stampNamesTheRowsWritten()
    {
        QCOMPARE(DemoData::writtenStamp(m_dir.path()), DemoData::stamp(DemoSize{}));
        QVERIFY(DemoData::stamp(DemoSize{}) != DemoData::stamp(DemoSize{ 500, 5000, 10, 5, 5 }));
        DatabaseSeeder company(m_dir.path(), DemoData::companies().first());
        QVERIFY2(contentDigest(company).toHex() == rowsDigest,
                 qPrintable(QStringLiteral("the rows changed (digest %1): raise the version in the "
                                           "demo stamp and "
                                           "pin the new digest here")
                                    .arg(QString::fromLatin1(contentDigest(company).toHex()))));
    }

    void sizeIsAParameter()
    {
        QTemporaryDir other;
        DemoData::write(other.path(), DemoSize{ 500, 5000, 10, 5, 5 });
        DatabaseSeeder company(other.path(), DemoData::companies().first());
        QCOMPARE(company.scalar(QStringLiteral("SELECT COUNT(*) FROM CARKART")).toInt(), 500);
        QCOMPARE(
                company
                        .scalar(QStringLiteral(
                                "SELECT (SELECT COUNT(*) FROM CARFIS)+(SELECT COUNT(*) FROM CARHAR)"
                                "+(SELECT COUNT(*) FROM CARMIZDEGER)+(SELECT COUNT(*) FROM "
                                "BANKAHAR)"
                                "+(SELECT COUNT(*) FROM CSNFIS)+(SELECT COUNT(*) FROM CSNHAR)"
                                "+(SELECT COUNT(*) FROM FATFIS)+(SELECT COUNT(*) FROM FATHAR)"
                                "+(SELECT COUNT(*) FROM IRSFIS)+(SELECT COUNT(*) FROM IRSHAR)"
                                "+(SELECT COUNT(*) FROM KASAHAR)+(SELECT COUNT(*) FROM SATFIS)"
                                "+(SELECT COUNT(*) FROM SATHAR)+(SELECT COUNT(*) FROM SIPFIS)"
                                "+(SELECT COUNT(*) FROM SIPHAR)+(SELECT COUNT(*) FROM STKFIS)"
                                "+(SELECT COUNT(*) FROM STKHAR)"))
                        .toInt(),
                5000);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
