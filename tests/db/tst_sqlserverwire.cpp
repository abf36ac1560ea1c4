#include "ErrorRaised.h"
#include "TestServer.h"
#include "db/Command.h"
#include "db/OdbcConnectionString.h"
#include "db/UnitOfWork.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QTest>

#include <sql.h>
#include <sqlext.h>

#include <functional>

using namespace zym;
using zym::test::TestBackend;
using zym::test::TestServer;
using zym::test::tds::Fault;
using zym::test::tds::Latin1;
using zym::test::tds::RecordedRequest;
using zym::test::tds::Request;
using zym::test::tds::Turkish;

namespace {

using Work = std::function<void(Connection &)>;
using zym::test::errorRaisedBy;

const QString insertCard =
        QStringLiteral("INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES (:pKod, :pUnvan)");
const QString renameCard = QStringLiteral("UPDATE CARKART SET CARKOD=:pYeni WHERE CARKOD=:pEski");

void insert(Connection &connection, const QString &code)
{
    Command(connection, insertCard)
            .execute({ { QStringLiteral("pKod"), code }, { QStringLiteral("pUnvan"), code } });
}

// The SQLSTATE of the first diagnostic the driver left on a failed query.
QString sqlState(const QSqlQuery &query)
{
    const QVariant handle = query.result()->handle();
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRec(SQL_HANDLE_STMT,
                                     *static_cast<const SQLHANDLE *>(handle.constData()), 1, state,
                                     &native, nullptr, 0, &length)))
        return {};
    return QString::fromLatin1(reinterpret_cast<const char *>(state));
}

bool isTransactionOrUse(const QString &text)
{
    static const QRegularExpression statement(
            QStringLiteral(R"(^\s*(USE|BEGIN|COMMIT|ROLLBACK|SAVE|IF\s+@@TRANCOUNT)\b)"),
            QRegularExpression::CaseInsensitiveOption);
    return statement.match(text).hasMatch();
}

QStringList described(const QList<RecordedRequest> &requests)
{
    QStringList texts;
    for (const RecordedRequest &request : requests)
        texts << request.procedure + QStringLiteral(": ") + request.text;
    return texts;
}

} // namespace

// What reaches SQL Server from the tool, read off the TDS stand-in's record
// of the FreeTDS row: how statements travel, and where they run.
class TestSqlServerWire : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (const QString unavailable = zym::test::unavailability(TestBackend::FreeTds);
            !unavailable.isEmpty())
            QSKIP(qPrintable(unavailable));
        m_server = std::make_unique<TestServer>(TestBackend::FreeTds);
        m_server->connect(m_session);
        m_server->standIn()->record().clear();
    }

    void cleanup()
    {
        m_session.connection.close();
        m_server.reset();
    }

    void statementsTravelOutsideCursors_data()
    {
        QTest::addColumn<Work>("work");
        QTest::newRow("use") << Work([](Connection &c) { c.use(TestServer::otherCompany); });
        QTest::newRow("unit of work") << Work([](Connection &c) {
            UnitOfWork unit(c);
            insert(c, QStringLiteral("C1"));
            unit.commit();
        });
        QTest::newRow("preview") << Work([](Connection &c) {
            c.beginPreview();
            c.beginUnit();
            insert(c, QStringLiteral("C1"));
            c.rollbackUnit();
            c.endPreview();
        });
        QTest::newRow("preview kept") << Work([](Connection &c) {
            c.beginPreview();
            c.beginUnit();
            insert(c, QStringLiteral("C1"));
            c.commitUnit();
            c.endPreview();
        });
        QTest::newRow("fetch") << Work([](Connection &c) {
            Command(c, QStringLiteral("SELECT CARKOD FROM CARKART")).fetch();
        });
    }

    // A statement inside a cursor procedure is a procedure call of SQL
    // Server's: a USE or a transaction begun there may end with the call.
    // The tool reads rows forward only, so nothing of it needs a cursor.
    void statementsTravelOutsideCursors()
    {
        QFETCH(Work, work);
        work(m_session.connection);
        QList<RecordedRequest> inCursors, controlInProcedures;
        for (const RecordedRequest &request : m_server->standIn()->record().requests()) {
            if (request.inCursor())
                inCursors << request;
            if (request.kind == Request::Kind::Rpc && isTransactionOrUse(request.text))
                controlInProcedures << request;
        }
        QVERIFY2(inCursors.isEmpty(), qPrintable(described(inCursors).join(u'\n')));
        QVERIFY2(controlInProcedures.isEmpty(),
                 qPrintable(described(controlInProcedures).join(u'\n')));
    }

    // With the USE scoped to its call as SQL Server scopes it, the company's
    // statements must still run in the company.
    void statementsRunInTheDatabaseUsed()
    {
        m_server->standIn()->setScopingCalls(true);
        Connection &connection = m_session.connection;
        connection.use(TestServer::otherCompany);
        m_server->standIn()->record().clear();
        // Run in the wrong database the statement may fail: the record tells.
        errorRaisedBy([&] { insert(connection, QStringLiteral("C1")); });
        QStringList elsewhere;
        for (const auto &statement : m_server->standIn()->record().statements()) {
            if (statement.database != TestServer::otherCompany)
                elsewhere << statement.database + QStringLiteral(": ") + statement.text;
        }
        QVERIFY2(elsewhere.isEmpty(), qPrintable(elsewhere.join(u'\n')));
    }

    // On a server whose user options include NOCOUNT a plain client gets no
    // row counts; the tool's connection still gets them, so a statement
    // meant for one record can tell whether it found it.
    void rowCountsReportedUnderServerNoCount()
    {
        m_server->standIn()->setNoCountByDefault(true);
        m_session.connection.close();
        m_server->connect(m_session);
        insert(m_session.connection, QStringLiteral("A1"));
        const Command rename(m_session.connection, renameCard);
        QCOMPARE(rename.executeOnOneRow({ { QStringLiteral("pYeni"), QStringLiteral("B1") },
                                          { QStringLiteral("pEski"), QStringLiteral("A1") } },
                                        QStringLiteral("A1")),
                 1);
        QCOMPARE(rename.executeOnOneRow({ { QStringLiteral("pYeni"), QStringLiteral("B2") },
                                          { QStringLiteral("pEski"), QStringLiteral("A1") } },
                                        QStringLiteral("A1")),
                 0);

        const QString name = QStringLiteral("plain");
        {
            QSqlDatabase db = plainConnection(name);
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            query.setForwardOnly(true);
            QVERIFY(query.exec(QStringLiteral("UPDATE [FIRMA_A].dbo.CARKART SET CARUNVAN='x'")));
            QCOMPARE(query.numRowsAffected(), -1);
        }
        QSqlDatabase::removeDatabase(name);
    }

    void connectOptionsAskForOdbc3_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("missingTable");
        QTest::newRow("Qt's default") << QString() << "S0002";
        QTest::newRow("the tool's") << OdbcConnectionString::connectOptions() << "42S02";
    }

    // The SQLSTATE the driver reports for a missing table is ODBC 3's under
    // the options the tool connects with.
    void connectOptionsAskForOdbc3()
    {
        QFETCH(QString, options);
        QFETCH(QString, missingTable);
        const QString name = QStringLiteral("odbc3");
        {
            QSqlDatabase db = plainConnection(name);
            db.setConnectOptions(options);
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            query.setForwardOnly(true);
            QVERIFY(!query.exec(QStringLiteral("SELECT * FROM [FIRMA_A].dbo.YOK")));
            QCOMPARE(sqlState(query), missingTable);
        }
        QSqlDatabase::removeDatabase(name);
    }

    // FreeTDS prepares anew after any binding: bound once, a statement is
    // prepared at its first execution and each later one is one request.
    void eachExecutionIsOneRequest()
    {
        Connection &connection = m_session.connection;
        const Command command(connection, insertCard);
        for (const QString &code :
             { QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3") })
            command.execute(
                    { { QStringLiteral("pKod"), code }, { QStringLiteral("pUnvan"), code } });
        QStringList procedures;
        for (const RecordedRequest &request : m_server->standIn()->record().requests())
            procedures << request.procedure;
        QCOMPARE(procedures, (QStringList{ "sp_prepexec", "sp_execute", "sp_execute" }));
        const RecordedRequest last = m_server->standIn()->record().requests().constLast();
        QCOMPARE(last.values.size(), 2);
        QCOMPARE(last.values.at(0).name, QStringLiteral("@P1"));
        QCOMPARE(last.values.at(0).value, QVariant(QStringLiteral("C3")));
    }

    // The declaration the server sees for each parameter: text as VARCHAR
    // of one size, whatever its value's length, so the statement keeps one
    // plan and compares with its VARCHAR columns as they stand.
    void textDeclaredAlikeOnTheWire()
    {
        const Command command(m_session.connection, insertCard);
        for (const QString &code :
             { QStringLiteral("C1"), QStringLiteral("CARI-0000000000000001") })
            command.execute(
                    { { QStringLiteral("pKod"), code }, { QStringLiteral("pUnvan"), code } });
        QStringList declarations;
        for (const RecordedRequest &request : m_server->standIn()->record().requests())
            declarations << request.declaration;
        QCOMPARE(declarations, QStringList(2, QStringLiteral("@P1 VARCHAR(80),@P2 VARCHAR(80)")));
    }

    void textOutsideTheCodePage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("held");
        QTest::newRow("Turkish letters, Latin1 database")
                << int(Latin1) << "Şişli Ağaç İnşaat" << false;
        QTest::newRow("Turkish letters, Turkish database")
                << int(Turkish) << "Şişli Ağaç İnşaat" << true;
        QTest::newRow("Latin1 letters, Latin1 database") << int(Latin1) << "Café Ärzte" << true;
        QTest::newRow("Greek letter, Turkish database") << int(Turkish) << "Ω Yapı" << false;
    }

    // A text the database's code page cannot hold would fail inside the
    // driver, or be stored with "?" in its place; the tool refuses it before
    // the statement is sent, naming the value and the column. A text the
    // code page holds is stored as written.
    void textOutsideTheCodePage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, title);
        QFETCH(bool, held);
        m_server->standIn()->setCodePage(TestServer::otherCompany, codePage);
        Connection &connection = m_session.connection;
        connection.use(TestServer::otherCompany);
        m_server->standIn()->record().clear();
        const QVariantMap values{ { QStringLiteral("pKod"), QStringLiteral("C1") },
                                  { QStringLiteral("pUnvan"), title } };
        if (held) {
            Command(connection, insertCard).execute(values);
            const Command titles(connection, QStringLiteral("SELECT CARUNVAN FROM CARKART"));
            QCOMPARE(titles.fetch().rows, (QList<QVariantList>{ { title } }));
            return;
        }
        try {
            UnitOfWork unit(connection);
            Command(connection, insertCard).execute(values);
            unit.commit();
            QFAIL("the unit committed");
        } catch (const Error &refused) {
            QCOMPARE(refused.text(),
                     QStringLiteral(
                             "'%1' metni veritabanının kod sayfasında yazılamıyor (CARUNVAN).")
                             .arg(title));
        }
        QStringList sent;
        for (const RecordedRequest &request : m_server->standIn()->record().requests()) {
            if (request.text.contains(QStringLiteral("CARKART")))
                sent << request.text;
        }
        QVERIFY2(sent.isEmpty(), qPrintable(sent.join(u'\n')));
    }

    void serverFaultsFailTheUnit_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("deadlock victim") << 1205 << "deadlock victim";
        QTest::newRow("transaction ended in a trigger") << 3609 << "ended in the trigger";
        QTest::newRow("transaction count mismatch") << 266 << "Transaction count";
        QTest::newRow("duplicate key") << 2627 << "duplicate key";
        QTest::newRow("constraint") << 547 << "conflicted";
        QTest::newRow("truncation") << 8152 << "truncated";
    }

    // Whether the server ended the transaction itself or left it open, a
    // unit that fails keeps nothing and leaves the connection usable.
    void serverFaultsFailTheUnit()
    {
        QFETCH(int, error);
        QFETCH(QString, text);
        Connection &connection = m_session.connection;
        insert(connection, QStringLiteral("A1"));
        m_server->standIn()->faults().add(
                Fault::failing(QStringLiteral("^UPDATE CARKART"), error, 2));
        const Command rename(connection, renameCard);
        const QString failure = errorRaisedBy([&] {
            UnitOfWork unit(connection);
            insert(connection, QStringLiteral("A2"));
            rename.execute({ { QStringLiteral("pYeni"), QStringLiteral("B1") },
                             { QStringLiteral("pEski"), QStringLiteral("A1") } });
            rename.execute({ { QStringLiteral("pYeni"), QStringLiteral("B2") },
                             { QStringLiteral("pEski"), QStringLiteral("A2") } });
            unit.commit();
        });
        QVERIFY2(failure.contains(text), qPrintable(failure));
        QVERIFY(!connection.inUnit());
        const Command codes(connection,
                            QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
        QCOMPARE(codes.fetch().rows, (QList<QVariantList>{ { QStringLiteral("A1") } }));
    }

    void delayedStatementWaits()
    {
        m_server->standIn()->faults().add(
                Fault::delaying(QStringLiteral("^INSERT INTO CARKART"), 300));
        QElapsedTimer timer;
        timer.start();
        insert(m_session.connection, QStringLiteral("A1"));
        QVERIFY(timer.elapsed() >= 300);
    }

    void droppedConnectionFailsTheStatement()
    {
        m_server->standIn()->faults().add(Fault::dropping(QStringLiteral("^INSERT INTO CARKART")));
        QVERIFY(!errorRaisedBy([&] {
                     insert(m_session.connection, QStringLiteral("A1"));
                 }).isNull());
    }

    // Qt reads a query that is not forward-only through a server cursor:
    // the stand-in serves its rows at the fetches.
    void serverCursorServesRows()
    {
        for (const QString &code :
             { QStringLiteral("C2"), QStringLiteral("C1"), QStringLiteral("C3") })
            insert(m_session.connection, code);
        const QString name = QStringLiteral("cursor");
        {
            QSqlDatabase db = plainConnection(name);
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            QVERIFY(query.exec(
                    QStringLiteral("SELECT CARKOD FROM [FIRMA_A].dbo.CARKART ORDER BY CARKOD")));
            QStringList codes;
            while (query.next())
                codes << query.value(0).toString();
            QCOMPARE(codes, (QStringList{ "C1", "C2", "C3" }));
        }
        QSqlDatabase::removeDatabase(name);
        QStringList procedures;
        for (const RecordedRequest &request : m_server->standIn()->record().requests())
            procedures << request.procedure;
        QVERIFY(procedures.contains(QStringLiteral("sp_cursoropen")));
        QVERIFY(procedures.contains(QStringLiteral("sp_cursorfetch")));
    }

private:
    // A connection of Qt's alone to the stand-in, not yet opened: what a
    // client gets without the tool's settings.
    QSqlDatabase plainConnection(const QString &name) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(
                OdbcConnectionString::build(m_server->settings(), QStringLiteral("FreeTDS")));
        return db;
    }

    std::unique_ptr<TestServer> m_server;
    Session m_session;
};

QTEST_GUILESS_MAIN(TestSqlServerWire)
#include "tst_sqlserverwire.moc"
