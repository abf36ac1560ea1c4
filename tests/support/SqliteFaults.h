#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>

namespace zym {
class Connection;
}

namespace zym::test {

// Makes an embedded connection refuse to commit any transaction in which a
// statement that `taints` picks out has run, as a server refusing a change
// at commit (a deferred constraint) would: SQLite then rolls the
// transaction back and the COMMIT reports an error. It watches through the
// connection's execution observer, until this object is gone.
class CommitRefusal
{
public:
    using Taint = std::function<bool(const QString &sql, const QVariantMap &values)>;

    CommitRefusal(Connection &connection, Taint taints);
    ~CommitRefusal();
    CommitRefusal(const CommitRefusal &) = delete;
    CommitRefusal &operator=(const CommitRefusal &) = delete;

    // Refuses transactions holding a statement with `value` among its values.
    static Taint binding(const QString &value);

private:
    static int onCommit(void *self);
    static void onRollback(void *self);

    Connection &m_connection;
    void *m_db;
    Taint m_taints;
    bool m_tainted = false;
};

} // namespace zym::test
