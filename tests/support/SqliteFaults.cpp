#include "SqliteFaults.h"

#include "SqliteHandle.h"

namespace zym::test {

CommitRefusal::CommitRefusal(Connection &connection, int failing)
    : m_db(sqliteHandle(connection))
    , m_countdown(failing)
{
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), &CommitRefusal::onCommit, this);
}

CommitRefusal::~CommitRefusal()
{
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), nullptr, nullptr);
}

int CommitRefusal::onCommit(void *self)
{
    auto *refusal = static_cast<CommitRefusal *>(self);
    return --refusal->m_countdown <= 0 ? 1 : 0;
}

} // namespace zym::test
