#pragma once

#include "db/Command.h"

#include <QString>
#include <QStringList>

namespace zym {

class Connection;

// A card's customer and supplier account codes; empty for a side it has none.
struct AccountCodes
{
    QString customer;
    QString supplier;

    // The codes that are not empty, customer first.
    QStringList given() const;
};

// The chart-of-accounts steps of the card operations: remove an account row,
// insert one named after a card, and link a card to its customer ("120 ")
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
    static bool callsForAccounts(int type) { return type >= customerType && type <= bothTypes; }

    explicit CardAccounts(Connection &connection);

    void remove(const QString &accountCode) const;
    // Every text loses its trailing blanks on the server.
    void insert(const QString &accountCode, const QString &name) const;
    void insertWithTaxIds(const QString &accountCode, const QString &name, const QString &taxNumber,
                          const QString &identityNumber) const;
    // Whether an account row already holds the code `insert` would store.
    bool exists(const QString &accountCode) const;

    // A customer card keeps no supplier account code, and the other way round.
    // Each link raises CardList::cardNotFound where no card row
    // carries `cardCode`.
    void linkCustomer(const QString &cardCode, const QString &customerAccount) const;
    void linkSupplier(const QString &cardCode, const QString &supplierAccount) const;
    void linkBoth(const QString &cardCode, const QString &customerAccount,
                  const QString &supplierAccount) const;
    // The link the card's type calls for, of `codes`.
    void link(int type, const QString &cardCode, const AccountCodes &codes) const;
    // One account column alone; the other keeps what it holds.
    void setCustomer(const QString &cardCode, const QString &customerAccount) const;
    void setSupplier(const QString &cardCode, const QString &supplierAccount) const;

private:
    Command m_remove;
    Command m_insert;
    Command m_insertWithTaxIds;
    Command m_exists;
    Command m_customerLink;
    Command m_supplierLink;
    Command m_doubleLink;
    Command m_customerColumn;
    Command m_supplierColumn;
};

} // namespace zym
