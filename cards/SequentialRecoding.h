#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed and ticked for a re-coding run, as typed.
struct RecodingRequest
{
    QString startNumber; // first new card number
    QString codeMask; // number picture of the new codes
    QString firstCustomerNumber; // first "120 " account number (sequential mode)
    QString firstSupplierNumber; // first "320 " account number (sequential mode)
    bool sequentialMode =
            true; // all twenty tables and numbered accounts; else card rows and code-named accounts
    bool makeAccounts = false; // sequential mode only: whether accounts are made
};

// Gives every card of the card list, from its current row to its last, a new
// code from a running number, rewrites it wherever the product keeps it, and
// makes and links the card's customer and supplier accounts.
//
// Each card is one unit of work of the walk: its renames and account steps
// commit together. A new code that a row of the renamed tables already
// carries stops the run before that card with a notice. A card listed twice
// is handled once.
class SequentialRecoding
{
public:
    explicit SequentialRecoding(const OperationContext &context) : m_context(context) { }

    void run(const RecodingRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
