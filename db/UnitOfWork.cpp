#include "UnitOfWork.h"

#include "Connection.h"
#include "Error.h"

namespace zym {

UnitOfWork::UnitOfWork(Connection &connection) : m_connection(connection)
{
    m_connection.beginUnit();
}

UnitOfWork::~UnitOfWork()
{
    if (!m_open)
        return;
    try {
        m_connection.rollbackUnit();
    } catch (const Error &) {
        // The connection is closed by now; the error in flight is the one to show.
    }
}

void UnitOfWork::commit()
{
    m_open = false;
    m_connection.commitUnit();
}

void UnitOfWork::rollback()
{
    m_open = false;
    m_connection.rollbackUnit();
}

void UnitOfWork::rollbackAfter(const QString &cause)
{
    try {
        rollback();
    } catch (const Error &failure) {
        throw Error(cause.isEmpty() ? failure.text() : cause + u'\n' + failure.text());
    }
}

} // namespace zym
