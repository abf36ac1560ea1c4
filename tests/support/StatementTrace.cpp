#include "StatementTrace.h"

#include "SqliteHandle.h"

namespace zym::test {

bool StatementTrace::canTrace(Connection &connection)
{
    return qstrcmp(connection.nativeHandle().typeName(), "sqlite3*") == 0;
}

StatementTrace::StatementTrace(Connection &connection) : m_db(sqliteHandle(connection))
{
    sqlite3_trace_v2(static_cast<sqlite3 *>(m_db), SQLITE_TRACE_STMT, &StatementTrace::onStatement,
                     this);
}

StatementTrace::~StatementTrace()
{
    sqlite3_trace_v2(static_cast<sqlite3 *>(m_db), 0, nullptr, nullptr);
}

int StatementTrace::count(const QString &fragment) const
{
    return int(
            std::count_if(m_statements.begin(), m_statements.end(),
                          [&](const QString &statement) { return statement.contains(fragment); }));
}

int StatementTrace::onStatement(unsigned, void *self, void *, void *text)
{
    static_cast<StatementTrace *>(self)->m_statements
            << QString::fromUtf8(static_cast<const char *>(text));
    return 0;
}

} // namespace zym::test
