#include "CompanyTest.h"
#include "DriverCalls.h"

#include "db/Command.h"

#include <sql.h>
#include <sqlext.h>

using namespace zym;
using namespace zym::test;

namespace {

const QString insertCard =
        QStringLiteral("INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES (:pKod, :pUnvan)");

QList<DriverParameter> textParameters(const QList<DriverParameter> &parameters)
{
    QList<DriverParameter> texts;
    for (const DriverParameter &parameter : parameters) {
        if (parameter.isText())
            texts << parameter;
    }
    return texts;
}

} // namespace

// What the ODBC driver is handed for a statement's text parameters, on every
// row that reaches its databases through ODBC.
class TestOdbcBinding : public CompanyTest
{
    Q_OBJECT

private slots:
    void initTestCase_data()
    {
        addBackendColumn();
        for (const TestBackend backend : testBackends()) {
            if (backend != TestBackend::EmbeddedSqlite)
                QTest::newRow(backendName(backend)) << backend;
        }
    }

    void init()
    {
        startServer();
        m_server->connect(*m_session);
        DriverCalls::clear();
    }

    void cleanup() { stopServer(); }

    void textReachesTheDriverAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("three letters") << "C01";
        QTest::newRow("Turkish letters") << "ŞİŞLİ Ağaç";
        QTest::newRow("empty") << "";
    }

    // Qt hands a Unicode driver text with its terminating NUL counted in the
    // length: a driver that stores what it gets would end every code with
    // CHAR(0).
    void textReachesTheDriverAsWritten()
    {
        QFETCH(QString, text);
        Command(m_session->connection, insertCard)
                .execute({ { QStringLiteral("pKod"), text }, { QStringLiteral("pUnvan"), text } });
        const QList<QList<DriverParameter>> executions = DriverCalls::executions();
        QVERIFY(!executions.isEmpty());
        const QList<DriverParameter> texts = textParameters(executions.constLast());
        QCOMPARE(texts.size(), 2);
        for (const DriverParameter &parameter : texts) {
            QCOMPARE(parameter.text(), text);
            QVERIFY(!parameter.text().isNull());
        }
    }

    // A text parameter declared as long as its value gives the server a plan
    // per length, and a Unicode one, compared with a VARCHAR column, makes
    // it convert the column instead of seeking its index.
    void textDeclaredAlikeWhateverItsLength()
    {
        const Command command(m_session->connection, insertCard);
        for (const QString &code :
             { QStringLiteral("C1"), QStringLiteral("CARI-0000000000000001") })
            command.execute(
                    { { QStringLiteral("pKod"), code }, { QStringLiteral("pUnvan"), code } });
        QSet<std::pair<short, quint64>> declared;
        for (const QList<DriverParameter> &execution : DriverCalls::executions()) {
            for (const DriverParameter &parameter : textParameters(execution))
                declared.insert({ parameter.sqlType, parameter.columnSize });
        }
        QCOMPARE(declared, (QSet<std::pair<short, quint64>>{ { SQL_VARCHAR, 80 } }));
    }
};

QTEST_GUILESS_MAIN(TestOdbcBinding)
#include "tst_odbcbinding.moc"
