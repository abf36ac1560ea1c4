#pragma once

#include "db/Interaction.h"

namespace zym {

// Everything the window says to the operator: the questions and notices of
// the operations, and the default error display for whatever ends a handler.
// The application answers with message boxes; tests answer and record.
class WindowPrompter : public Prompter
{
public:
    // Shows the message of an error that ended a handler.
    virtual void showError(const QString &message) = 0;
};

} // namespace zym
