#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed for making the missing accounts, as typed.
struct MissingAccountsRequest
{
    QString firstCustomerNumber; // first "120 " account number
    QString firstSupplierNumber; // first "320 " account number
    QString accountMask; // number picture of the account suffixes
};

// Makes the customer and supplier accounts that the cards of the card list,
// from its current row to its last, lack for their account type, numbered
// from two running numbers, and links them to the cards. A card that holds
// what its type calls for (as the list was loaded), or of no account type,
// is passed over and takes no number.
//
// Each card is one unit of work of the walk: its accounts and its link
// commit together. An account code already in the chart stops the run
// before that card with a notice. A card listed twice is handled once.
class MissingAccounts
{
public:
    static QString accountTaken(const QString &accountCode); // "Hesap kodu zaten mevcut: X"

    explicit MissingAccounts(const OperationContext &context) : m_context(context) { }

    void run(const MissingAccountsRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
