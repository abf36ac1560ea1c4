#include "SqliteFaults.h"

#include "db/Connection.h"

#include <sqlite3.h>

namespace zym::test {

namespace {
sqlite3 *handleOf(Connection &connection)
{
    const QVariant handle = connection.nativeHandle();
    Q_ASSERT(qstrcmp(handle.typeName(), "sqlite3*") == 0);
    return *static_cast<sqlite3 *const *>(handle.constData());
}
}

CommitRefusal::CommitRefusal(Connection &connection, int failing)
    : m_db(handleOf(connection))
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
