#include "RecordedRun.h"

#include "Preview.h"

#include "ops/Session.h"

namespace zym {

bool RunOutcome::declined() const
{
    if (!failure)
        return false;
    try {
        std::rethrow_exception(failure);
    } catch (const RunDeclined &) {
        return true;
    } catch (...) {
        return false;
    }
}

void RunOutcome::rethrow() const
{
    if (failure)
        std::rethrow_exception(failure);
}

RunOutcome recordedRun(Session &session, Prompter &prompter, Progress &progress,
                       const RunSettings &settings,
                       const std::function<void(const OperationContext &)> &operation)
{
    ReportRecorder recorder(session.connection,
                            settings.preview ? RunReport::Kind::Preview : RunReport::Kind::Run);
    const OperationContext context{ session,           prompter, progress,
                                    settings.grouping, recorder, settings.beforeChanges };
    RunOutcome outcome;
    try {
        if (settings.preview)
            runAsPreview(session, [&] { operation(context); });
        else
            operation(context);
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    outcome.ran = recorder.hasRun();
    outcome.report = recorder.report();
    return outcome;
}

} // namespace zym
