#pragma once

#include "TdsLogin.h"

#include <QList>
#include <QMutex>
#include <QThread>

class QTcpServer;
class QTcpSocket;

namespace zym::test {

class TdsMessageReader;

// A stand-in for SQL Server on 127.0.0.1 that goes as far as the login: it
// answers PRELOGIN with "encryption not supported", keeps each LOGIN7 it
// reads and hangs up, so the client reports a failed login. It serves on a
// thread of its own because an ODBC connect blocks the thread that calls it.
class TdsLoginListener
{
public:
    TdsLoginListener();
    ~TdsLoginListener();

    TdsLoginListener(const TdsLoginListener &) = delete;
    TdsLoginListener &operator=(const TdsLoginListener &) = delete;

    // Starts listening on a free port.
    bool listen();
    quint16 port() const { return m_port; }

    // What arrived so far; safe to call while a client is being served.
    int connectionCount() const;
    QList<TdsLogin> logins() const;

private:
    // These run on the listener's thread.
    void accept();
    void serve(QTcpSocket *socket, TdsMessageReader &reader);

    QThread m_thread;
    QTcpServer *m_server;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    int m_connections = 0;
    QList<TdsLogin> m_logins;
};

} // namespace zym::test
