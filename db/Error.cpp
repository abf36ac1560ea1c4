#include "Error.h"

#include <QSqlError>

namespace zym {

Error::Error(QString text)
    : m_text(std::move(text))
    , m_utf8(m_text.toUtf8())
{
}

Error Error::fromSql(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    // SQLite's text for a statement Qt's SQLite driver refuses by itself
    // (several statements in one text): the driver's text says what is wrong.
    if (text.isEmpty() || text == QStringLiteral("not an error"))
        text = error.driverText().trimmed();
    return Error(text);
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

} // namespace zym
