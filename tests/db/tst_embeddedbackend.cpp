#include "CompanyTest.h"
#include "ErrorRaised.h"

#include "db/Error.h"
#include "db/Command.h"
#include "db/EmbeddedFolder.h"
#include "db/OdbcDrivers.h"
#include "db/CompanyList.h"
#include "db/SqliteText.h"

#include <QDir>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>

using namespace zym;
using zym::test::errorRaisedBy;
using zym::test::TestServer;

namespace {
const QString cardListQuery =
        QStringLiteral("SELECT "
                       "CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,ISNULL(KIMMERNISNO,'')KIMLIKNO,"
                       "CARMUHTIPI,CARMUHKODU,"
                       "ISNULL((SELECT MUHADI1 FROM MUHHESAP \nWHERE MUHKOD=CARMUHKODU),'')AS "
                       "HESALICI,CAREKCHAR1,ISNULL((SELECT "
                       "MUHADI1 FROM MUHHESAP WHERE MUHKOD=CAREKCHAR1),'')AS HESSATICI  FROM "
                       "CARKART \nLEFT JOIN KIMLIKLER ON "
                       "CARKART.CARKOD=KIMLIKLER.KIMKOD WHERE CARKART.CAROZKOD3<>'SK' AND "
                       "CARKART.CAROZKOD3<>'IHR' ORDER BY CARKOD");
}

// The embedded backend: a folder of database files behaves as a server.
class TestEmbeddedBackend : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init() { startServer(); }

    void cleanup() { stopServer(); }

    void connectsToTheMasterAndSignals()
    {
        QSignalSpy connected(&m_session->connection, &Connection::connected);
        QSignalSpy disconnected(&m_session->connection, &Connection::disconnected);
        m_server->open(m_session->connection, m_server->settings());
        QCOMPARE(m_session->connection.dialect().kind(),
                 m_server->isEmbedded() ? Dialect::Kind::Sqlite : Dialect::Kind::SqlServer);
        QCOMPARE(m_session->connection.currentDatabase(), QStringLiteral("ZYM_MASTERV8"));
        QCOMPARE(connected.count(), 1);
        // The row's driver is the one connected, and behind ODBC the dialect
        // came from the database the driver names.
        const QVariant handle = m_session->connection.nativeHandle();
        const bool qtSqlite = m_server->backend() == zym::test::TestBackend::EmbeddedSqlite;
        QCOMPARE(QByteArray(handle.typeName()), QByteArray(qtSqlite ? "sqlite3*" : "void*"));
        QCOMPARE(odbcDbmsName(handle),
                 qtSqlite                         ? QString()
                         : m_server->isEmbedded() ? QStringLiteral("SQLite")
                                                  : QStringLiteral("Microsoft SQL Server"));
        m_session->connection.close();
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!m_session->connection.isOpen());
    }

    void missingMasterIsRefusedInTheServersWords()
    {
        if (!m_server->isEmbedded())
            QSKIP("SQL Server words it itself");
        ConnectionSettings settings = m_server->settings();
        settings.masterSuffix = QStringLiteral("YOK");
        const QString error =
                errorRaisedBy([&] { m_server->open(m_session->connection, settings); });
        QCOMPARE(error,
                 QStringLiteral("Database 'ZYM_YOK' does not exist. "
                                "Make sure that the name is entered correctly."));
        QVERIFY(!m_session->connection.isOpen());
    }

    void companyListThroughAThreePartBracketedName()
    {
        m_server->open(m_session->connection, m_server->settings());
        m_session->connection.use(TestServer::company); // the list must work from any company
        QCOMPARE(companyList(m_session->connection),
                 (QStringList{ TestServer::company, TestServer::otherCompany }));
    }

    void useSwitchesTheFileForEveryStatement()
    {
        m_server->db(TestServer::otherCompany)
                .insert(QStringLiteral("CARKART"), { QStringLiteral("CARKOD") },
                        { { QStringLiteral("B1") } });
        Connection &connection = m_session->connection;
        m_server->open(connection, m_server->settings());
        const Command count(connection, QStringLiteral("SELECT COUNT(*) AS N FROM CARKART"));
        connection.use(TestServer::otherCompany);
        QCOMPARE(connection.currentDatabase(), TestServer::otherCompany);
        QCOMPARE(count.fetch().rows.constFirst().constFirst().toInt(), 1);

        const QString error = errorRaisedBy([&] { connection.use(QStringLiteral("FIRMA_C")); });
        QVERIFY2(error.contains(QStringLiteral("Database 'FIRMA_C' does not exist.")),
                 qPrintable(error));
        QCOMPARE(connection.currentDatabase(), TestServer::otherCompany);
        QCOMPARE(count.fetch().rows.constFirst().constFirst().toInt(), 1);
    }

    // A database another connection holds locked is waited for, not
    // refused at once.
    void lockedDatabaseIsWaitedFor()
    {
        if (!m_server->isEmbedded())
            QSKIP("the lock is taken through SQLite");
        m_server->connect(*m_session);
        QSemaphore locked;
        std::thread holder([&] {
            DatabaseSeeder direct(m_server->folder(), TestServer::company);
            direct.exec(QStringLiteral("BEGIN IMMEDIATE"));
            direct.exec(QStringLiteral("INSERT INTO CARKART(CARKOD) VALUES('KILIT')"));
            locked.release();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            direct.exec(QStringLiteral("COMMIT"));
        });
        locked.acquire();
        int inserted = 0;
        try {
            inserted = Command(m_session->connection,
                               QStringLiteral("INSERT INTO CARKART(CARKOD) VALUES('BEKLEYEN')"))
                               .execute();
        } catch (const Error &error) {
            holder.join();
            QFAIL(qPrintable(error.text()));
        }
        holder.join();
        QCOMPARE(inserted, 1);
        QCOMPARE(m_server->db().scalar(QStringLiteral("SELECT COUNT(*) FROM CARKART")).toInt(), 2);
    }

    // Only the path of an existing folder, absolute or starting with "./" or
    // "../", is the embedded backend; SQL Server's names for the local
    // instance and other relative texts are not, even when a folder of that
    // name exists where the tool runs.
    void embeddedOnlyForAnAbsoluteFolder_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("embedded");
        QTest::newRow("the test folder") << QString() << true;
        QTest::newRow("a missing folder") << "/yok/boyle/bir/klasor" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("local") << "(local)" << false;
        QTest::newRow("named instance") << "HOST\\SQLEXPRESS" << false;
        QTest::newRow("relative folder") << "altklasor" << false;
        QTest::newRow("from the working folder") << "./altklasor" << true;
        QTest::newRow("from the folder above") << "../%1" << true; // %1: the test folder's name
        QTest::newRow("a missing relative folder") << "./yok" << false;
    }

    void embeddedOnlyForAnAbsoluteFolder()
    {
        if (!m_server->isEmbedded())
            QSKIP("needs the embedded folder");
        QFETCH(QString, server);
        QFETCH(bool, embedded);
        QDir(m_server->folder()).mkdir(QStringLiteral("altklasor"));
        QDir(m_server->folder()).mkdir(QStringLiteral("(local)"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_server->folder());
        const bool result = EmbeddedFolder::isEmbedded(
                server.isEmpty() ? m_server->folder()
                        : server.contains(u'%')
                        ? server.arg(QFileInfo(m_server->folder()).fileName())
                        : server);
        QDir::setCurrent(previous);
        QCOMPARE(result, embedded);
    }

    void cardListQueryWithIsNull()
    {
        DatabaseSeeder &db = m_server->db();
        db.insert(QStringLiteral("CARKART"),
                  { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                    QStringLiteral("CARMUHTIPI"), QStringLiteral("CARMUHKODU"),
                    QStringLiteral("CAROZKOD3") },
                  { { QStringLiteral("A"), QStringLiteral("Ağaç"), 1, QStringLiteral("120 1"),
                      QString("") },
                    { QStringLiteral("B"), QStringLiteral("Bahçe"), 2, QStringLiteral("120 9"),
                      QString("") },
                    { QStringLiteral("C"), QStringLiteral("Çiçek"), 1, QString(),
                      QStringLiteral("SK") } });
        db.insert(QStringLiteral("KIMLIKLER"),
                  { QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO") },
                  { { QStringLiteral("A"), QStringLiteral("111") } });
        db.insert(QStringLiteral("MUHHESAP"),
                  { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
                  { { QStringLiteral("120 1"), QStringLiteral("Ağaç Hesabı") } });
        m_server->connect(*m_session);
        Statement &list = m_session->cardList;
        list.setText(cardListQuery);
        list.open();
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.readText(QStringLiteral("KIMLIKNO")), QStringLiteral("111"));
        QCOMPARE(list.readText(QStringLiteral("HESALICI")), QStringLiteral("Ağaç Hesabı"));
        list.next();
        QCOMPARE(list.readText(QStringLiteral("KIMLIKNO")), QString());
        QCOMPARE(list.readText(QStringLiteral("HESALICI")), QString());
    }

    void dateParameterMatchesTheSameDay()
    {
        m_server->db().insert(QStringLiteral("MUHHAR"),
                              { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARTAR") },
                              { { 1, QDateTime(QDate(2024, 1, 5), QTime(10, 0)) },
                                { 2, QDateTime(QDate(2024, 1, 4), QTime(23, 59)) },
                                { 3, QDateTime(QDate(2024, 1, 5), QTime(0, 0)) } });
        m_server->connect(*m_session);
        Statement &lines = m_session->journalLines;
        lines.setText(QStringLiteral(
                "SELECT MUHHARREFNO FROM MUHHAR WHERE MUHHARTAR>=:pTar ORDER BY MUHHARREFNO"));
        lines.bindDateTime(QStringLiteral("pTar"), QDateTime(QDate(2024, 1, 5), QTime(0, 0)));
        lines.open();
        QCOMPARE(lines.rowCount(), 2);
        QCOMPARE(lines.readText(QStringLiteral("MUHHARREFNO")), QStringLiteral("1"));
    }

    void adaptation_data()
    {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("sqlite");
        QTest::addColumn<QStringList>("databases");
        QTest::newRow("isnull") << "SELECT ISNULL(A,'') , isnull (B,0) FROM T"
                                << "SELECT IFNULL(A,'') , IFNULL (B,0) FROM T" << QStringList();
        QTest::newRow("not a word") << "SELECT XISNULL(A) FROM T"
                                    << "SELECT XISNULL(A) FROM T" << QStringList();
        QTest::newRow("literal untouched") << "SELECT 'ISNULL(x) M.dbo.T' FROM T"
                                           << "SELECT 'ISNULL(x) M.dbo.T' FROM T" << QStringList();
        QTest::newRow("three-part") << "SELECT * FROM ZYM_M.dbo.SIRKET"
                                    << "SELECT * FROM \"ZYM_M\".SIRKET" << QStringList{ "ZYM_M" };
        QTest::newRow("bracketed")
                << "SELECT * FROM [ZYM_a]]b].dbo.SIRKET    "
                << "SELECT * FROM \"ZYM_a]b\".SIRKET    " << QStringList{ "ZYM_a]b" };
        QTest::newRow("current database") << "SELECT * FROM [CUR].dbo.CARKART"
                                          << "SELECT * FROM CARKART" << QStringList();
        QTest::newRow("apostrophe in a line comment")
                << "SELECT ISNULL(A,'') -- the card's code\nFROM T WHERE ISNULL(B,0)=0"
                << "SELECT IFNULL(A,'') -- the card's code\nFROM T WHERE IFNULL(B,0)=0"
                << QStringList();
        QTest::newRow("block comment")
                << "SELECT /* it's ISNULL(x) */ ISNULL(A,'') FROM T"
                << "SELECT /* it's ISNULL(x) */ IFNULL(A,'') FROM T" << QStringList();
        QTest::newRow("temporary table")
                << "UPDATE T SET A=M.B FROM #MAP AS M WHERE T.A=M.A AND [x#y]='#z'"
                << "UPDATE T SET A=M.B FROM temp.MAP AS M WHERE T.A=M.A AND [x#y]='#z'"
                << QStringList();
    }

    void adaptation()
    {
        QFETCH(QString, tsql);
        QFETCH(QString, sqlite);
        QFETCH(QStringList, databases);
        const auto adapted = SqliteText::adapt(tsql, QStringLiteral("CUR"));
        QCOMPARE(adapted.text, sqlite);
        QCOMPARE(adapted.databases, databases);
    }
};

QTEST_GUILESS_MAIN(TestEmbeddedBackend)
#include "tst_embeddedbackend.moc"
