#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

class QSqlError;

namespace zym {

// The one error type the tool raises. It carries the text the operator sees:
// the server's or driver's own message, or a Turkish message of the tool.
// The window's default error display shows it; nothing below app/ catches it
// except to roll back a unit of work and raise it again.
class Error : public std::exception
{
public:
    // Why the server refused, where it passes: a unit that failed for it may
    // run again.
    enum class Cause {
        Other,
        Locked, // another user holds what the statement waited for
        DeadlockVictim, // the server rolled the transaction back to end a deadlock
        NoTransaction, // the server holds no transaction to end
        ConnectionLost, // the connection to the server is gone
    };

    explicit Error(QString text, Cause cause = Cause::Other);

    // The server's own message where there is one, else the driver's.
    static Error fromSql(const QSqlError &error, Cause cause = Cause::Other);

    const QString &text() const noexcept { return m_text; }
    Cause cause() const noexcept { return m_cause; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
    Cause m_cause;
};

// The server refused the login because the driver could not verify the
// server's certificate; connecting again with trustServerCertificate set
// would pass that check.
class UntrustedCertificate : public Error
{
public:
    using Error::Error;
};

// The text of the error being handled: an Error's text, empty for any other
// exception. Call it only from a catch block.
QString errorInFlight();
// The cause of the error `failure` holds; Other for anything but an Error.
Error::Cause causeOf(const std::exception_ptr &failure);

} // namespace zym
