#include "TdsStandIn.h"

#include "TdsSession.h"

#include <QTcpServer>

#include <functional>

namespace zym::test::tds {

// Hands each accepted socket to a session thread instead of a QTcpSocket of
// its own thread.
class Listener : public QTcpServer
{
public:
    explicit Listener(std::function<void(qintptr)> accepted) : m_accepted(std::move(accepted)) { }

protected:
    void incomingConnection(qintptr socketDescriptor) override { m_accepted(socketDescriptor); }

private:
    std::function<void(qintptr)> m_accepted;
};

StandIn::StandIn(const QString &folder)
    : m_folder(folder), m_listener(new Listener([this](qintptr socket) { accept(socket); }))
{
}

StandIn::~StandIn()
{
    m_stopping = true;
    m_thread.quit();
    m_thread.wait();
    if (!m_thread.isFinished())
        delete m_listener; // the thread never ran
    std::lock_guard lock(m_sessionsMutex);
    for (std::thread &session : m_sessions)
        session.join();
}

bool StandIn::listen()
{
    if (!m_listener->listen(QHostAddress::LocalHost))
        return false;
    m_port = m_listener->serverPort();
    QObject::connect(&m_thread, &QThread::finished, m_listener, &QObject::deleteLater);
    m_listener->moveToThread(&m_thread);
    m_thread.start();
    return true;
}

QString StandIn::serverText() const
{
    return QStringLiteral("127.0.0.1,%1").arg(m_port);
}

void StandIn::accept(qintptr socketDescriptor)
{
    std::lock_guard lock(m_sessionsMutex);
    const int id = ++m_lastSession;
    m_sessions.emplace_back([this, id, socketDescriptor] {
        Session session(id, m_folder, m_faults, m_collations, m_record, m_scopingCalls);
        session.setNoCount(m_noCountByDefault);
        session.serve(socketDescriptor, m_stopping);
    });
}

} // namespace zym::test::tds
