#include "ErrorRaised.h"

#include "db/Error.h"

namespace zym::test {

QString errorRaisedBy(const std::function<void()> &run)
{
    try {
        run();
    } catch (const Error &error) {
        return error.text().isNull() ? QStringLiteral("") : error.text();
    }
    return {};
}

} // namespace zym::test
