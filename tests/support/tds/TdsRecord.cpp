#include "TdsRecord.h"

namespace zym::test::tds {

void Record::add(const RecordedRequest &request)
{
    QMutexLocker lock(&m_mutex);
    m_requests << request;
}

void Record::add(const RecordedStatement &statement)
{
    QMutexLocker lock(&m_mutex);
    m_statements << statement;
}

QList<RecordedRequest> Record::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

QList<RecordedStatement> Record::statements() const
{
    QMutexLocker lock(&m_mutex);
    return m_statements;
}

void Record::clear()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_statements.clear();
}

} // namespace zym::test::tds
