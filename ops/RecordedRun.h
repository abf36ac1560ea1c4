#pragma once

#include "Operation.h"
#include "RunReport.h"

#include <exception>
#include <functional>

namespace zym {

// How a run is made: for real or as a preview, how its walk groups units
// into transactions, and what runs before its first change.
struct RunSettings
{
    bool preview = false;
    CommitGrouping grouping = {};
    std::function<void()> beforeChanges = {};
};

// What a run left: its report, kept however the run ended, and the error
// that ended it, if any.
struct RunOutcome
{
    RunReport report;
    // Whether the run got to its units; one that ended before them (No at
    // the prompt, a typed number that is no number) has no report.
    bool ran = false;
    std::exception_ptr failure;

    // The operator chose to end the run before anything changed.
    bool declined() const;
    // Raises the error that ended the run, if any.
    void rethrow() const;
};

// The one way an operation is run, by the window, the tests and the bench:
// with its report recorded, for real or as a preview (see runAsPreview).
RunOutcome recordedRun(Session &session, Prompter &prompter, Progress &progress,
                       const RunSettings &settings,
                       const std::function<void(const OperationContext &)> &operation);

} // namespace zym
