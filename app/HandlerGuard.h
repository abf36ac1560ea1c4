#pragma once

#include <functional>

namespace zym {

class Prompter;

// Runs one handler of the window. An error that ends it goes to the default
// error display and the tool goes on running: Qt carries no exception through
// its event loop, so every handler is entered through here. A thrown value
// that is no exception shows as an empty message.
void runGuarded(Prompter &prompter, const std::function<void()> &handler);

} // namespace zym
