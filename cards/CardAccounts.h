#pragma once

#include "db/Command.h"

#include <QString>

namespace zym {

class Connection;

// The chart-of-accounts steps of re-coding a card: remove an account row,
// insert one named after the card, and link a card to its customer ("120 ")
// and supplier ("320 ") accounts.
class CardAccounts
{
public:
    static const QString customerPrefix; // "120 "
    static const QString supplierPrefix; // "320 "

    // A card's account type (CARMUHTIPI); any other value calls for no account.
    static constexpr int customerType = 1;
    static constexpr int supplierType = 2;
    static constexpr int bothTypes = 3;

    explicit CardAccounts(Connection &connection);

    void remove(const QString &accountCode) const;
    // Code and name lose their trailing blanks on the server.
    void insert(const QString &accountCode, const QString &name) const;

    // A customer card keeps no supplier account code, and the other way round.
    void linkCustomer(const QString &cardCode, const QString &customerAccount) const;
    void linkSupplier(const QString &cardCode, const QString &supplierAccount) const;
    void linkBoth(const QString &cardCode, const QString &customerAccount, const QString &supplierAccount) const;

private:
    Command m_remove;
    Command m_insert;
    Command m_customerLink;
    Command m_supplierLink;
    Command m_doubleLink;
};

} // namespace zym
