#pragma once

#include <QList>
#include <QString>

namespace zym {

class Connection;
class Progress;

// A finding of a check: where it lies, its key as the table holds it, the
// rows it stands for and what an operation would do with it.
struct AuditFinding
{
    QString table;
    QString key;
    qint64 count = 0;
    QString explanation;
};

// What one check found: its first findings and how many it found in all.
struct CheckOutcome
{
    QString title;
    qint64 total = 0;
    QList<AuditFinding> findings;
};

// The checks run, in order; a cancel leaves out those after it.
struct AuditOutcome
{
    QList<CheckOutcome> checks;
    bool cancelled = false;
};

// "Denetle": runs the fixed list of read-only checks on the current company,
// one query each, in autocommit with the connection's lock time-out, and
// changes nothing. Progress counts the checks; a cancel takes effect
// between two of them. A failing query raises zym::Error.
class CompanyAudit
{
public:
    CompanyAudit(Connection &connection, Progress &progress);

    AuditOutcome run() const;

private:
    Connection &m_connection;
    Progress &m_progress;
};

} // namespace zym
