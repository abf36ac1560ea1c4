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
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return Error(text);
}

} // namespace zym
