#pragma once

#include <QList>
#include <QMutex>
#include <QRegularExpression>

#include <optional>

namespace zym::test::tds {

// A bad day of the server's, played at the n-th statement whose text
// matches `pattern`: an error of SQL Server's numbering (1205, 3609 and 266
// end the transaction, as the server does), a wait before the statement
// runs, or a connection dropped instead of an answer.
struct Fault
{
    QRegularExpression pattern;
    int occurrence = 1;
    int error = 0;
    int delayMs = 0;
    bool drop = false;

    static Fault failing(const QString &pattern, int error, int occurrence = 1);
    static Fault delaying(const QString &pattern, int milliseconds, int occurrence = 1);
    static Fault dropping(const QString &pattern, int occurrence = 1);

    // Whether the server ends the open transaction with this error.
    bool endsTransaction() const { return error == 1205 || error == 3609 || error == 266; }
    // SQL Server's text and severity for the error.
    QString text() const;
    int severity() const;
};

// The faults a test asked for, shared by every connection of the stand-in.
class FaultPlan
{
public:
    void add(const Fault &fault);
    void clear();
    // The fault due at a statement with `text`, counting it for every
    // fault it matches; a fault is played once.
    std::optional<Fault> take(const QString &text);

private:
    struct Pending
    {
        Fault fault;
        int seen = 0;
    };
    QMutex m_mutex;
    QList<Pending> m_pending;
};

} // namespace zym::test::tds
