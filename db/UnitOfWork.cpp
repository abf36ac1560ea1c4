#include "UnitOfWork.h"

#include "Connection.h"

namespace zym {

UnitOfWork::UnitOfWork(Connection &connection)
    : m_connection(connection)
{
    m_connection.beginUnit();
}

UnitOfWork::~UnitOfWork()
{
    if (!m_done)
        m_connection.rollbackUnit();
}

void UnitOfWork::commit()
{
    m_connection.commitUnit();
    m_done = true;
}

} // namespace zym
