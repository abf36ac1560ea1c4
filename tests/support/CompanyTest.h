#pragma once

#include "TestServer.h"

#include <QObject>

#include <memory>

namespace zym::test {

// A test on a fresh test server with a session that is not yet connected:
// each test seeds its rows, then connects.
class CompanyTest : public QObject
{
protected:
    void startServer()
    {
        m_server = std::make_unique<TestServer>();
        m_session = std::make_unique<Session>();
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
