#pragma once

#include "ErrorRaised.h"
#include "SqliteFaults.h"

#include "db/Connection.h"

#include <functional>
#include <memory>
#include <optional>

namespace zym {
class Statement;
}

namespace zym::test {

// Makes one unit of work fail: right after the `position`-th statement
// (counted from 1) that `inUnit` picks out, or, for position 0, at the
// commit of the transaction holding such a statement, which the server then
// refuses (embedded backends only). Until this object is gone.
class InjectedFailure
{
public:
    // The text of the error raised at a statement.
    static const QString message;

    InjectedFailure(Connection &connection, int position, CommitRefusal::Taint inUnit);
    // Picks out the statements run while `list` is on `row`: those of that
    // row's unit.
    static CommitRefusal::Taint onRow(const Statement &list, int row);
    ~InjectedFailure();
    InjectedFailure(const InjectedFailure &) = delete;
    InjectedFailure &operator=(const InjectedFailure &) = delete;

private:
    std::unique_ptr<CommitRefusal> m_refusal;
    std::optional<Connection::Observation> m_failing;
    int m_seen = 0;
};

// Runs `run` with a failure injected at `position` into the unit that
// `inUnit` picks out, and checks that the run raised, with InjectedFailure's
// text where a statement failed, and left no unit open. A failed check ends
// the calling test as QTest::currentTestFailed() then tells.
void runFailingAt(Connection &connection, int position, CommitRefusal::Taint inUnit,
                  const std::function<void()> &run);

} // namespace zym::test
