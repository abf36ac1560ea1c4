#include "TdsLoginListener.h"

#include "TdsMessageReader.h"
#include "tds/TdsWire.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace zym::test {

namespace {

constexpr quint8 preLogin = 0x12;
constexpr quint8 login7 = 0x10;

} // namespace

TdsLoginListener::TdsLoginListener() : m_server(new QTcpServer) { }

TdsLoginListener::~TdsLoginListener()
{
    m_thread.quit();
    m_thread.wait();
    if (!m_thread.isFinished())
        delete m_server; // the thread never ran
}

bool TdsLoginListener::listen()
{
    if (!m_server->listen(QHostAddress::LocalHost))
        return false;
    m_port = m_server->serverPort();
    QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] { accept(); });
    QObject::connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    m_server->moveToThread(&m_thread);
    m_thread.start();
    return true;
}

int TdsLoginListener::connectionCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_connections;
}

QList<TdsLogin> TdsLoginListener::logins() const
{
    QMutexLocker lock(&m_mutex);
    return m_logins;
}

void TdsLoginListener::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        {
            QMutexLocker lock(&m_mutex);
            ++m_connections;
        }
        auto reader = std::make_shared<TdsMessageReader>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, reader] {
            reader->append(socket->readAll());
            serve(socket, *reader);
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TdsLoginListener::serve(QTcpSocket *socket, TdsMessageReader &reader)
{
    while (socket->state() == QAbstractSocket::ConnectedState) {
        const auto message = reader.next();
        if (!message) {
            if (reader.isBroken())
                socket->abort();
            return;
        }
        if (message->type == preLogin) {
            socket->write(tds::preLoginReply());
            continue;
        }
        // A LOGIN7 is kept; anything else, such as an older TDS login, only
        // ends the connection, as a refused login would.
        if (message->type == login7) {
            if (const auto login = TdsLogin::decode(message->payload)) {
                QMutexLocker lock(&m_mutex);
                m_logins << *login;
            }
        }
        socket->disconnectFromHost();
    }
}

} // namespace zym::test
