#pragma once

#include <QCoreApplication>

#include <chrono>
#include <future>

namespace zym {

// Runs `work` on a thread of its own and waits for it with the window still
// repainted; the operator's input waits until it is done. Returns what `work`
// returns and raises what it raises. `work` must touch nothing the window
// uses meanwhile.
template<typename Work>
auto whileRepainting(Work work)
{
    auto done = std::async(std::launch::async, std::move(work));
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return done.get();
}

} // namespace zym
