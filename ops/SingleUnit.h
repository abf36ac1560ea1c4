#pragma once

#include <functional>

namespace zym {

class Connection;

// Runs the change of an operation that changes one thing (one card deleted,
// one registry statement) as one unit of work: committed when `work`
// returns, rolled back when it raises, and the error raised again.
void runAsOneUnit(Connection &connection, const std::function<void()> &work);

} // namespace zym
