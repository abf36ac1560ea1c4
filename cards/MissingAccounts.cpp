#include "MissingAccounts.h"

#include "CardAccounts.h"
#include "CardList.h"

#include "ops/CodeMask.h"
#include "ops/IntegerText.h"
#include "ops/RunningNumber.h"
#include "ops/Session.h"
#include "ops/Walk.h"

namespace zym {

namespace {

// The card's account columns as the database holds them now: another user
// may have linked an account since the list was loaded, or an earlier run.
const QString cardAccountsSql =
        QStringLiteral("SELECT CARMUHKODU,CAREKCHAR1 FROM CARKART WHERE CARKOD=:pCarKod");

struct Numbers
{
    RunningNumber customer;
    RunningNumber supplier;
};

} // namespace

QString MissingAccounts::accountTaken(const QString &accountCode)
{
    return QStringLiteral("Hesap kodu zaten mevcut: ") + accountCode;
}

void MissingAccounts::run(const MissingAccountsRequest &request)
{
    const qint32 firstCustomer = parseInteger(request.firstCustomerNumber);
    const qint32 firstSupplier = parseInteger(request.firstSupplierNumber);
    if (!confirmStart(m_context.prompter))
        return;

    const CardAccounts accounts(m_context.session.connection);
    const Command cardAccounts(m_context.session.connection, cardAccountsSql);
    const Statement &list = m_context.session.cardList;
    Numbers numbers{ RunningNumber(firstCustomer), RunningNumber(firstSupplier) };
    CardList::walk(m_context).run(numbers, [&](Numbers &n) {
        const QString cardCode = list.readKey(QStringLiteral("CARKOD"));
        const int type = readInteger(list, QStringLiteral("CARMUHTIPI"));
        const QVariantList held = CardList::readCard(
                cardAccounts, { { QStringLiteral("pCarKod"), cardCode } }, cardCode);
        const bool customerMissing = held.at(0).toString().isEmpty();
        const bool supplierMissing = held.at(1).toString().isEmpty();
        const auto code = [&](const QString &prefix, RunningNumber &number) {
            return prefix + CodeMask::renderCode(request.accountMask, number.next());
        };
        AccountCodes made;
        if (type == CardAccounts::customerType && customerMissing) {
            made.customer = code(CardAccounts::customerPrefix, n.customer);
        } else if (type == CardAccounts::supplierType && supplierMissing) {
            made.supplier = code(CardAccounts::supplierPrefix, n.supplier);
        } else if (type == CardAccounts::bothTypes && customerMissing && supplierMissing) {
            made.customer = code(CardAccounts::customerPrefix, n.customer);
            made.supplier = code(CardAccounts::supplierPrefix, n.supplier);
        }
        const QStringList codes = made.given();
        if (codes.isEmpty())
            return UnitResult::done({ .key = cardCode });

        for (const QString &account : codes) {
            if (accounts.exists(account))
                return UnitResult::stop(accountTaken(account));
        }
        const QString name = list.readText(QStringLiteral("CARUNVAN"));
        const QString taxNumber = list.readText(QStringLiteral("CARVERHESNO"));
        const QString identityNumber = list.readText(QStringLiteral("KIMLIKNO"));
        for (const QString &account : codes)
            accounts.insertWithTaxIds(account, name, taxNumber, identityNumber);
        accounts.link(type, cardCode, made);
        return UnitResult::done({ .key = cardCode, .accounts = codes });
    });
}

} // namespace zym
