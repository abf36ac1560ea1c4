#include "SqliteFaults.h"

#include "SqliteHandle.h"

namespace zym::test {

namespace {

const QString brokenKey = QStringLiteral("INSERT INTO ZYM_REFUSAL(K) VALUES(1)");

} // namespace

CommitRefusal::CommitRefusal(Connection &connection, Taint taints)
    : m_connection(connection), m_taints(std::move(taints))
{
    if (qstrcmp(connection.nativeHandle().typeName(), "sqlite3*") == 0)
        hookCommits();
    else
        deferBrokenKeys();
}

CommitRefusal::~CommitRefusal()
{
    m_observation.reset();
    if (!m_db)
        return;
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), nullptr, nullptr);
    sqlite3_rollback_hook(static_cast<sqlite3 *>(m_db), nullptr, nullptr);
}

void CommitRefusal::hookCommits()
{
    m_db = sqliteHandle(m_connection);
    sqlite3_commit_hook(static_cast<sqlite3 *>(m_db), &CommitRefusal::onCommit, this);
    sqlite3_rollback_hook(static_cast<sqlite3 *>(m_db), &CommitRefusal::onRollback, this);
    m_observation = m_connection.observe(
            { .executed = [this](const QString &sql, const QVariantMap &values, int) {
                m_tainted = m_tainted || m_taints(sql, values);
            } });
}

void CommitRefusal::deferBrokenKeys()
{
    m_connection.execute(QStringLiteral("PRAGMA foreign_keys=ON"), {});
    m_connection.execute(
            QStringLiteral("CREATE TABLE IF NOT EXISTS ZYM_REFUSAL_KEY(K INTEGER PRIMARY KEY)"),
            {});
    m_connection.execute(
            QStringLiteral("CREATE TABLE IF NOT EXISTS ZYM_REFUSAL(K INTEGER REFERENCES "
                           "ZYM_REFUSAL_KEY(K) DEFERRABLE INITIALLY DEFERRED)"),
            {});
    m_observation = m_connection.observe(
            { .executed = [this](const QString &sql, const QVariantMap &values, int) {
                if (sql != brokenKey && m_taints(sql, values))
                    m_connection.execute(brokenKey, {});
            } });
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
