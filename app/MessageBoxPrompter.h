#pragma once

#include "ops/Prompter.h"

namespace zym {

// The window's three message conventions as modal message boxes: the Yes/No
// confirmation prompt, the notice box and the default error display. Each
// box is owned by a modal window that is up (a run's progress dialog), so
// it stands in front of it with the keyboard's focus.
class MessageBoxPrompter : public Prompter
{
public:
    // Yes and No, Yes the default, no icon; owned by the active window
    // when no modal window is up.
    bool confirm(const QString &text, const QString &title) override;
    // OK, no icon, titled with the application title, centred on the screen.
    void notify(const QString &text) override;
    // OK, error icon, titled with the application title; the text with the
    // full-stop rule applied.
    void showError(const QString &message) override;
};

} // namespace zym
