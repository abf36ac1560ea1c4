#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed for a controlled code change, as typed.
struct ControlledChangeRequest
{
    QString startNumber; // first new card number
    QString codeMask; // number picture of the new codes
};

// Gives every card of the card list, from its current row to its last, a new
// code from a running number in its card row, identity rows and address
// rows, then gives a card of an account type the account codes of the first
// card the server returns with the same tax number.
//
// Each card is one unit of work of the walk: its renames and its accounts
// commit together. A new code that a card, identity or address row already
// carries stops the run before that card with a notice. A card listed twice
// is handled once. Where the match has no code for a column the card's type
// uses (no match, or an empty value), the card keeps its own.
class ControlledCodeChange
{
public:
    explicit ControlledCodeChange(const OperationContext &context) : m_context(context) { }

    void run(const ControlledChangeRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
