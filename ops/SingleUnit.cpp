#include "SingleUnit.h"

#include "db/Error.h"
#include "db/UnitOfWork.h"
#include "ops/Session.h"

namespace zym {

void runAsOneUnit(const OperationContext &context, const UnitNote &note,
                  const std::function<void()> &work)
{
    if (context.beforeChanges)
        context.beforeChanges();
    RunRecorder &recorder = context.recorder;
    recorder.begin();
    try {
        UnitOfWork unit(context.session.connection);
        try {
            work();
        } catch (...) {
            unit.rollbackAfter(errorInFlight());
            throw;
        }
        recorder.unitDone(-1, note);
        unit.commit();
    } catch (...) {
        recorder.failed(-1);
        throw;
    }
    recorder.end({});
}

} // namespace zym
