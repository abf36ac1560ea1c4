#pragma once

#include <QString>

namespace zym {

struct Session;
class Prompter;
class Progress;

// What the operator typed and ticked for a re-coding run, as typed.
struct RecodingRequest
{
    QString startNumber;         // first new card number
    QString codeMask;            // number picture of the new codes
    QString firstCustomerNumber; // first "120 " account number (sequential mode)
    QString firstSupplierNumber; // first "320 " account number (sequential mode)
    bool sequentialMode = true;  // all twenty tables and numbered accounts; else card rows and code-named accounts
    bool makeAccounts = false;   // sequential mode only: whether accounts are made
};

// Gives every card of the card list, from its current row to its last, a new
// code from a running number, rewrites it wherever the product keeps it, and
// makes and links the card's customer and supplier accounts.
//
// Each card is one unit of work: its renames and account steps commit
// together. A failure rolls that card back whole, leaves the list on it and
// raises; the cards before it keep their new codes. A new code that a row of
// the renamed tables already carries stops the run before that card with a
// notice. A card listed twice is handled once.
class SequentialRecoding
{
public:
    static const QString conflictNotice;

    SequentialRecoding(Session &session, Prompter &prompter, Progress &progress);

    void run(const RecodingRequest &request);

private:
    Session &m_session;
    Prompter &m_prompter;
    Progress &m_progress;
};

} // namespace zym
