#pragma once

#include <QString>

namespace zym {

struct Session;

// The chart-of-accounts steps of re-coding a card: remove an account row,
// insert one named after the card, and link a card to its customer ("120 ")
// and supplier ("320 ") accounts.
class CardAccounts
{
public:
    static const QString customerPrefix; // "120 "
    static const QString supplierPrefix; // "320 "

    explicit CardAccounts(Session &session) : m_session(session) {}

    void remove(const QString &accountCode);
    // Code and name lose their trailing blanks on the server.
    void insert(const QString &accountCode, const QString &name);

    // A customer card keeps no supplier account code, and the other way round.
    void linkCustomer(const QString &cardCode, const QString &customerAccount);
    void linkSupplier(const QString &cardCode, const QString &supplierAccount);
    void linkBoth(const QString &cardCode, const QString &customerAccount, const QString &supplierAccount);

private:
    void linkOne(const QString &sql, const QString &cardCode, const QString &account);

    Session &m_session;
};

} // namespace zym
