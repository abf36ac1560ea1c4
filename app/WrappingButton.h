#pragma once

#include <QPushButton>

namespace zym {

// A push button whose caption wraps onto further lines when it is wider than
// the button, as a tall button with a long caption needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zym
