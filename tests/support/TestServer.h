#pragma once

#include "TestBackend.h"
#include "tds/TdsStandIn.h"

#include "db/DatabaseSeeder.h"
#include "ops/Session.h"

#include <QSet>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace zym::test {

// A throw-away server for one test: the master database ZYM_MASTERV8 listing
// two empty companies, FIRMA_A and FIRMA_B, each with every company table.
// Embedded, it is a temporary folder; on FreeTDS, the same folder served by
// a TDS stand-in; on SQL Server, the master of the configured server with its
// company list and the two companies laid out anew.
//
// Rows are seeded and read back through a connection of the tool's own on
// the same backend as the session under test.
class TestServer
{
public:
    static const QString company; // FIRMA_A
    static const QString otherCompany; // FIRMA_B

    explicit TestServer(TestBackend backend = TestBackend::EmbeddedSqlite);
    ~TestServer();

    TestBackend backend() const { return m_backend; }
    // Whether the tool reaches the databases as the embedded backend (SQLite
    // files through Qt's SQLite or ODBC driver): it takes its SQLite dialect,
    // and SQLite's own SQL (triggers, collations, rowid) works through it.
    bool isEmbedded() const
    {
        return m_backend == TestBackend::EmbeddedSqlite || m_backend == TestBackend::EmbeddedOdbc;
    }
    // Whether the databases are SQLite files in folder(): embedded, or
    // served by the TDS stand-in.
    bool hasFiles() const { return m_backend != TestBackend::SqlServer; }

    // The folder of the databases' files; empty on SQL Server.
    QString folder() const { return hasFiles() ? m_dir.path() : QString(); }
    // The TDS stand-in serving the folder on the FreeTDS row; none on the others.
    tds::StandIn *standIn() const { return m_standIn.get(); }
    ConnectionSettings settings() const;

    // A database of the server, to seed rows and read back results; one
    // the server lacks is made, empty.
    DatabaseSeeder &db(const QString &name = company);

    // Lays the company FIRMA_A out anew, empty, every text column under
    // `textCollation` (SQLite's NOCASE or RTRIM, as a server's collation
    // ignores case or trailing blanks); without the product's unique keys
    // where `uniqueKeys` is false, so that codes the server takes for the
    // same can stand in several rows. Only where the databases are SQLite files; no session
    // may be connected meanwhile.
    void relayCompany(const QString &textCollation, bool uniqueKeys = true);

    // Opens `connection` with `settings` on this server's backend.
    void open(Connection &connection, const ConnectionSettings &settings) const;
    // Connects `session` and makes FIRMA_A its current database.
    void connect(Session &session) const;

private:
    void layOutEmbedded();
    void layOutSqlServer();
    void makeDatabase(const QString &name);

    TestBackend m_backend;
    QTemporaryDir m_dir;
    std::unique_ptr<tds::StandIn> m_standIn;
    ConnectionSettings m_sqlServer;
    Connection m_seeding;
    QSet<QString> m_made;
    std::map<QString, std::unique_ptr<DatabaseSeeder>> m_databases;
};

} // namespace zym::test
