#pragma once

#include "TestServer.h"

#include <QObject>
#include <QTest>

#include <memory>

namespace zym::test {

// A test on a fresh test server with a session that is not yet connected:
// each test seeds its rows, then connects.
//
// Every test function runs once per backend (the global rows "QSQLITE",
// "QODBC", "SQL Server" and "FreeTDS"); the session and the seeding reach the
// server the row names. The SQL Server row is skipped unless
// ZYM_TEST_SQLSERVER names a server. A test with global rows of its own defines
// initTestCase_data() itself: addBackendColumn(), then its rows crossed with
// testBackends(), each row's first value the backend.
class CompanyTest : public QObject
{
    Q_OBJECT

protected slots:
    void initTestCase_data() { addBackendRows(); }

protected:
    static void addBackendColumn() { QTest::addColumn<TestBackend>("backend"); }

    static void addBackendRows()
    {
        addBackendColumn();
        for (const TestBackend backend : testBackends())
            QTest::newRow(backendName(backend)) << backend;
    }

    // A backend this machine lacks (no configured SQL Server, no FreeTDS)
    // skips its row, on an embedded server so that the rest of the test's
    // init still has one to work on.
    void startServer()
    {
        QFETCH_GLOBAL(TestBackend, backend);
        const QString unavailable = unavailability(backend);
        m_server = std::make_unique<TestServer>(
                unavailable.isEmpty() ? backend : TestBackend::EmbeddedSqlite);
        m_session = std::make_unique<Session>();
        if (!unavailable.isEmpty())
            QSKIP(qPrintable(unavailable));
    }

    void stopServer()
    {
        m_session.reset();
        m_server.reset();
    }

    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<Session> m_session;
};

} // namespace zym::test
