#include "HandlerGuard.h"

#include "ops/Prompter.h"

#include "db/Error.h"

namespace zym {

void runGuarded(Prompter &prompter, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Error &error) {
        prompter.showError(error.text());
    } catch (const std::exception &error) {
        prompter.showError(QString::fromUtf8(error.what()));
    } catch (...) {
        prompter.showError(QString());
    }
}

} // namespace zym
