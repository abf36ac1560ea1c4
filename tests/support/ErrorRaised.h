#pragma once

#include <QString>

#include <functional>

namespace zym::test {

// The text of the error that `run` raised; a null text when it raised none,
// an empty one for an error without text. Every test that expects an error
// reads it through here.
QString errorRaisedBy(const std::function<void()> &run);

} // namespace zym::test
