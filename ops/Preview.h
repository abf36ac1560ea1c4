#pragma once

#include <functional>

namespace zym {

struct Session;

// Runs `operation` exactly as it would run, its prompts included, inside
// one transaction that is rolled back at the end, whatever happens: nothing
// it does is kept, and every unit inside stays all or nothing. The preview
// holds the database's locks until it ends, also while it asks or tells the
// operator something. The session's lists are put back as they were before,
// so that a run that follows starts where the preview started.
void runAsPreview(Session &session, const std::function<void()> &operation);

} // namespace zym
