#pragma once

#include <QStringList>

namespace zym {
class Connection;
}

namespace zym::test {

// Records every statement an embedded connection runs, queries included, as
// SQLite received it, until this object is gone.
class StatementTrace
{
public:
    // Only a connection through Qt's SQLite driver has the handle to trace.
    static bool canTrace(Connection &connection);

    explicit StatementTrace(Connection &connection);
    ~StatementTrace();
    StatementTrace(const StatementTrace &) = delete;
    StatementTrace &operator=(const StatementTrace &) = delete;

    // How many of the statements run contain `fragment`.
    int count(const QString &fragment) const;

private:
    static int onStatement(unsigned event, void *self, void *statement, void *text);

    void *m_db;
    QStringList m_statements;
};

} // namespace zym::test
