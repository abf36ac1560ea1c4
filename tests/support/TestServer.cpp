#include "TestServer.h"

#include "db/Tables.h"

namespace zym::test {

const QString TestServer::company = QStringLiteral("FIRMA_A");
const QString TestServer::otherCompany = QStringLiteral("FIRMA_B");

TestServer::TestServer()
{
    db(masterDatabaseName(QStringLiteral("MASTERV8"))).createTables({Tables::companyList()});
    db(masterDatabaseName(QStringLiteral("MASTERV8"))).insert(QStringLiteral("SIRKET"), {QStringLiteral("SIRDBNAME")},
                                              {{company}, {otherCompany}});
    db(company).createTables(Tables::companyTables());
    db(otherCompany).createTables(Tables::companyTables());
}

ConnectionSettings TestServer::settings() const
{
    return {folder(), QStringLiteral("sa"), QStringLiteral("vyx"), QStringLiteral("MASTERV8")};
}

EmbeddedDatabase &TestServer::db(const QString &name)
{
    auto &file = m_files[name];
    if (!file)
        file = std::make_unique<EmbeddedDatabase>(folder(), name);
    return *file;
}

void TestServer::connect(Session &session) const
{
    session.connection.open(settings());
    session.connection.use(company);
}

} // namespace zym::test
