#pragma once

#include <QPushButton>
#include <QWidget>

namespace zym::test {

// A control of the window by its name; a missing one ends the test run.
template<typename Widget>
Widget *control(const QWidget &window, const char *name)
{
    auto *widget = window.findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

inline void click(const QWidget &window, const char *button)
{
    control<QPushButton>(window, button)->click();
}

} // namespace zym::test
