#pragma once

#include "db/Connection.h"

#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

namespace zym::test {

// Makes an embedded connection refuse to commit any transaction in which a
// statement that `taints` picks out has run, as a server refusing a change
// at commit would. It observes the connection's statements until this object
// is gone.
//
// Through Qt's SQLite driver a commit hook refuses: SQLite rolls the
// transaction back and the COMMIT reports an error. Through ODBC, where no
// sqlite3 handle is at hand, the tainted transaction also writes a row that
// breaks a deferred foreign key: the COMMIT reports an error and the
// transaction stays open for the tool to roll back.
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
    void hookCommits();
    void deferBrokenKeys();
    static int onCommit(void *self);
    static void onRollback(void *self);

    Connection &m_connection;
    void *m_db = nullptr; // the sqlite3 handle, through Qt's SQLite driver only
    Taint m_taints;
    bool m_tainted = false;
    std::optional<Connection::Observation> m_observation;
};

} // namespace zym::test
