#pragma once

#include "Operation.h"

#include <functional>

namespace zym {

// Runs the change of an operation that changes one thing (one card deleted,
// one registry statement) as one unit of work: committed when `work`
// returns, rolled back when it raises, and the error raised again. The run
// report lists it with `note`.
void runAsOneUnit(const OperationContext &context, const UnitNote &note,
                  const std::function<void()> &work);

} // namespace zym
