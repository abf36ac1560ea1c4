#include "ControlledCodeChange.h"

#include "CardAccounts.h"
#include "CardCodePropagation.h"
#include "CardList.h"

#include "ops/CodeMask.h"
#include "ops/IntegerText.h"
#include "ops/RunningNumber.h"
#include "ops/Session.h"
#include "ops/Walk.h"

namespace zym {

namespace {

const QString taxNumberMatchSql =
        QStringLiteral("SELECT * FROM CARKART WHERE CARVERHESNO=:pVno AND CARVERHESNO<>'' ");

// The account codes of the first card the server returns with a tax
// number; empty where there is no such card or it has none.
struct MatchedAccounts
{
    QString customer;
    QString supplier;
};

MatchedAccounts firstMatch(const Command &match, const QString &taxNumber)
{
    const ResultSet result = match.fetch({ { QStringLiteral("pVno"), taxNumber } });
    if (result.rows.isEmpty())
        return {};
    const QVariantList &first = result.rows.constFirst();
    return { first.at(result.columnIndex(QStringLiteral("CARMUHKODU"))).toString(),
             first.at(result.columnIndex(QStringLiteral("CAREKCHAR1"))).toString() };
}

// Writes the matched codes the card's type uses and empties the column it
// does not use; a column whose matched code is empty keeps the card's own.
void align(const CardAccounts &accounts, int type, const QString &cardCode,
           const MatchedAccounts &match)
{
    const bool customer = !match.customer.isEmpty();
    const bool supplier = !match.supplier.isEmpty();
    if (type == CardAccounts::customerType) {
        if (customer)
            accounts.linkCustomer(cardCode, match.customer);
        else
            accounts.setSupplier(cardCode, QString());
    } else if (type == CardAccounts::supplierType) {
        if (supplier)
            accounts.linkSupplier(cardCode, match.supplier);
        else
            accounts.setCustomer(cardCode, QString());
    } else if (customer && supplier) {
        accounts.linkBoth(cardCode, match.customer, match.supplier);
    } else if (customer) {
        accounts.setCustomer(cardCode, match.customer);
    } else if (supplier) {
        accounts.setSupplier(cardCode, match.supplier);
    }
}

} // namespace

void ControlledCodeChange::run(const ControlledChangeRequest &request)
{
    const qint32 start = parseInteger(request.startNumber);
    if (!confirmStart(m_context.prompter))
        return;

    Connection &connection = m_context.session.connection;
    CardCodePropagation propagation(connection, CardCodePropagation::Scope::CardRows);
    const CardAccounts accounts(connection);
    const Command match(connection, taxNumberMatchSql);
    const Statement &list = m_context.session.cardList;
    RunningNumber sequence(start);
    CardList::walk(m_context).groupWork(propagation).run(sequence, [&](RunningNumber &number) {
        const QString oldCode = list.readKey(QStringLiteral("CARKOD"));
        const QString newCode = CodeMask::renderCode(request.codeMask, number.next());
        if (propagation.codeTaken(newCode, oldCode))
            return UnitResult::stop(OperatorTexts::codeConflict);
        const QList<StatementEffect> atGroupEnd = propagation.run(newCode, oldCode);

        const int type = readInteger(list, QStringLiteral("CARMUHTIPI"));
        if (CardAccounts::callsForAccounts(type))
            align(accounts, type, newCode,
                  firstMatch(match, list.readText(QStringLiteral("CARVERHESNO"))));
        return UnitResult::done({ .key = oldCode, .newCode = newCode, .atGroupEnd = atGroupEnd });
    });
}

} // namespace zym
