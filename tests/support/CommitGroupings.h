#pragma once

#include "ops/Operation.h"
#include "ops/Prompter.h"
#include "ops/RecordedRun.h"
#include "ops/Session.h"

#include <functional>
#include <memory>

namespace zym::test {

class TestServer;

// Each unit of work committed on its own.
inline constexpr CommitGrouping eachUnitAlone{ .maxUnits = 1, .maxAgeMs = 0 };
// Every unit of a test's run in one transaction, however long it takes.
inline constexpr CommitGrouping allUnitsTogether{ .maxUnits = 1000000, .maxAgeMs = 3600000 };

// Runs an operation as its handler does, with its walk committing as
// `grouping` says.
template<typename Operation, typename Request>
void runOperation(Session &session, Prompter &prompter, const CommitGrouping &grouping,
                  const Request &request)
{
    SilentProgress progress;
    recordedRun(session, prompter, progress, { .grouping = grouping },
                [&request](const OperationContext &context) { Operation(context).run(request); })
            .rethrow();
}

// Runs `run` committing each unit alone, then, after `restart` has laid the
// test out afresh, with all units in one transaction, and checks that both
// leave the same rows in the company of `server`. `run` makes the checks of
// each run; a failed one ends this as QTest::currentTestFailed() then tells.
void compareGroupings(const std::unique_ptr<TestServer> &server,
                      const std::function<void()> &restart,
                      const std::function<void(const CommitGrouping &)> &run);

} // namespace zym::test
