#include "Error.h"

#include <QSqlError>

namespace zym {

Error::Error(QString text, Cause cause)
    : m_text(std::move(text)), m_utf8(m_text.toUtf8()), m_cause(cause)
{
}

Error Error::fromSql(const QSqlError &error, Cause cause)
{
    QString text = error.databaseText().trimmed();
    // SQLite's text for a statement Qt's SQLite driver refuses by itself
    // (several statements in one text): the driver's text says what is wrong.
    if (text.isEmpty() || text == QStringLiteral("not an error"))
        text = error.driverText().trimmed();
    return Error(text, cause);
}

QString errorInFlight()
{
    try {
        throw;
    } catch (const Error &error) {
        return error.text();
    } catch (...) {
        return QString();
    }
}

Error::Cause causeOf(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Error &error) {
        return error.cause();
    } catch (...) {
        return Error::Cause::Other;
    }
}

} // namespace zym
