#pragma once

#include "ops/Prompter.h"

namespace zym {

// The window's three message conventions as modal message boxes: the Yes/No
// confirmation prompt, the notice box and the default error display.
class MessageBoxPrompter : public Prompter
{
public:
    // Yes and No, Yes the default, no icon; owned by the active window.
    bool confirm(const QString &text, const QString &title) override;
    // OK, no icon, titled with the application title, centred on the screen.
    void notify(const QString &text) override;
    // OK, error icon, titled with the application title; the text with the
    // full-stop rule applied.
    void showError(const QString &message) override;
};

} // namespace zym
