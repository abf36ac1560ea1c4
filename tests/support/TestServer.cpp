#include "TestServer.h"

#include "db/Error.h"
#include "db/SqlText.h"
#include "db/Tables.h"

namespace zym::test {

namespace {

const QString masterSuffix = QStringLiteral("MASTERV8");

} // namespace

const QString TestServer::company = QStringLiteral("FIRMA_A");
const QString TestServer::otherCompany = QStringLiteral("FIRMA_B");

TestServer::TestServer(TestBackend backend) : m_backend(backend)
{
    if (hasFiles())
        layOutEmbedded();
    else
        layOutSqlServer();
    db(settings().masterDatabase())
            .insert(QStringLiteral("SIRKET"), { QStringLiteral("SIRDBNAME") },
                    { { company }, { otherCompany } });
}

TestServer::~TestServer()
{
    m_databases.clear();
    m_seeding.close();
    m_standIn.reset();
}

void TestServer::layOutEmbedded()
{
    DatabaseSeeder(m_dir.path(), masterDatabaseName(masterSuffix))
            .createTables({ Tables::companyList() });
    for (const QString &name : { company, otherCompany })
        DatabaseSeeder(m_dir.path(), name).createTables(Tables::companyTables());
    m_made = { masterDatabaseName(masterSuffix), company, otherCompany };
    if (m_backend == TestBackend::FreeTds) {
        m_standIn = std::make_unique<tds::StandIn>(m_dir.path());
        if (!m_standIn->listen())
            throw Error(QStringLiteral("the TDS stand-in found no free port"));
    }
    open(m_seeding, settings());
}

// The configured server's master must exist; the company list and the two
// companies are made anew.
void TestServer::layOutSqlServer()
{
    const auto configured = configuredSqlServer();
    if (!configured)
        throw Error(QStringLiteral(
                "ZYM_TEST_SQLSERVER does not name a server as server|login|password|suffix"));
    m_sqlServer = *configured;
    m_made = { settings().masterDatabase() };
    open(m_seeding, settings());
    DatabaseSeeder &master = db(settings().masterDatabase());
    master.exec(QStringLiteral("IF OBJECT_ID(N'SIRKET') IS NOT NULL DROP TABLE SIRKET"));
    master.createTables({ Tables::companyList() });
    for (const QString &name : { company, otherCompany })
        db(name).createTables(Tables::companyTables());
}

void TestServer::makeDatabase(const QString &name)
{
    if (hasFiles()) {
        DatabaseSeeder(m_dir.path(), name);
    } else {
        DatabaseSeeder &master = db(settings().masterDatabase());
        const QString quoted = SqlText::bracketed(name);
        const QString literal = QString(name).replace(u'\'', QStringLiteral("''"));
        master.exec(QStringLiteral("IF DB_ID(N'%1') IS NOT NULL DROP DATABASE %2")
                            .arg(literal, quoted));
        master.exec(QStringLiteral("CREATE DATABASE ") + quoted);
    }
    m_made.insert(name);
}

ConnectionSettings TestServer::settings() const
{
    if (m_backend == TestBackend::SqlServer)
        return m_sqlServer;
    const QString server = m_standIn ? m_standIn->serverText() : m_dir.path();
    return { server, QStringLiteral("sa"), QStringLiteral("vyx"), masterSuffix };
}

DatabaseSeeder &TestServer::db(const QString &name)
{
    if (!m_made.contains(name))
        makeDatabase(name);
    auto &database = m_databases[name];
    if (!database)
        database = std::make_unique<DatabaseSeeder>(m_seeding, name);
    return *database;
}

void TestServer::relayCompany(const QString &textCollation, bool uniqueKeys)
{
    QList<TableSpec> tables = Tables::companyTables();
    for (TableSpec &table : tables) {
        db().exec(QStringLiteral("DROP TABLE %1").arg(table.name));
        if (!uniqueKeys)
            table.uniqueKeys.clear();
    }
    db().createTables(tables, textCollation);
}

void TestServer::open(Connection &connection, const ConnectionSettings &settings) const
{
    connection.setEmbeddedOdbcDriver(m_backend == TestBackend::EmbeddedOdbc ? sqliteOdbcDriver
                                                                            : QString());
    connection.open(settings);
}

void TestServer::connect(Session &session) const
{
    open(session.connection, settings());
    session.connection.use(company);
}

} // namespace zym::test
