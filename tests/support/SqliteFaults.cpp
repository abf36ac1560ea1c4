#include "SqliteFaults.h"

#include "SqliteHandle.h"

namespace zym::test {

CommitRefusal::CommitRefusal(Connection &connection, Taint taints)
    : m_connection(connection)
    , m_db(sqliteHandle(connection))
    , m_taints(std::move(taints))
{
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), &CommitRefusal::onCommit, this);
    sqlite3_rollback_hook(static_cast<sqlite3 *>(m_db), &CommitRefusal::onRollback, this);
    m_connection.setExecutionObserver([this](const QString &sql, const QVariantMap &values, int) {
        m_tainted = m_tainted || m_taints(sql, values);
    });
}

CommitRefusal::~CommitRefusal()
{
    m_connection.setExecutionObserver({});
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), nullptr, nullptr);
    sqlite3_rollback_hook(static_cast<sqlite3 *>(m_db), nullptr, nullptr);
}

CommitRefusal::Taint CommitRefusal::binding(const QString &value)
{
    return [value](const QString &, const QVariantMap &values) {
        for (const QVariant &bound : values) {
            if (bound.toString() == value)
                return true;
        }
        return false;
    };
}

int CommitRefusal::onCommit(void *self)
{
    auto *refusal = static_cast<CommitRefusal *>(self);
    const bool refuse = refusal->m_tainted;
    refusal->m_tainted = false;
    return refuse ? 1 : 0;
}

void CommitRefusal::onRollback(void *self)
{
    static_cast<CommitRefusal *>(self)->m_tainted = false;
}

} // namespace zym::test
