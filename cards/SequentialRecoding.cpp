#include "SequentialRecoding.h"

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

struct Numbers
{
    RunningNumber sequence;
    RunningNumber customer;
    RunningNumber supplier;
};

// Removes any account row already holding the codes, inserts the card's
// accounts and links them to the card (already carrying its new code).
void replaceAccounts(const CardAccounts &accounts, int type, const QString &cardCode,
                     const QString &name, const AccountCodes &codes)
{
    for (const QString &code : codes.given())
        accounts.remove(code);
    for (const QString &code : codes.given())
        accounts.insert(code, name);
    accounts.link(type, cardCode, codes);
}

} // namespace

void SequentialRecoding::run(const RecodingRequest &request)
{
    const qint32 firstCustomer = parseInteger(request.firstCustomerNumber);
    const qint32 firstSupplier = parseInteger(request.firstSupplierNumber);
    const qint32 start = parseInteger(request.startNumber);
    if (!confirmStart(m_context.prompter))
        return;

    const bool sequential = request.sequentialMode;
    Connection &connection = m_context.session.connection;
    CardCodePropagation propagation(connection,
                                    sequential ? CardCodePropagation::Scope::AllTables
                                               : CardCodePropagation::Scope::CardRows);
    const CardAccounts accounts(connection);
    const Statement &list = m_context.session.cardList;
    Numbers numbers{ RunningNumber(start), RunningNumber(firstCustomer),
                     RunningNumber(firstSupplier) };
    CardList::walk(m_context).groupWork(propagation).run(numbers, [&](Numbers &n) {
        const QString oldCode = list.readKey(QStringLiteral("CARKOD"));
        const QString newCode = CodeMask::renderCode(request.codeMask, n.sequence.next());
        if (propagation.codeTaken(newCode, oldCode))
            return UnitResult::stop(OperatorTexts::codeConflict);
        UnitNote note{ .key = oldCode,
                       .newCode = newCode,
                       .atGroupEnd = propagation.run(newCode, oldCode) };
        const int type = readInteger(list, QStringLiteral("CARMUHTIPI"));
        if ((!sequential || request.makeAccounts) && CardAccounts::callsForAccounts(type)) {
            const auto suffix = [&](RunningNumber &number) {
                return sequential ? CodeMask::renderCode(request.codeMask, number.next()) : newCode;
            };
            AccountCodes codes;
            if (type != CardAccounts::supplierType)
                codes.customer = CardAccounts::customerPrefix + suffix(n.customer);
            if (type != CardAccounts::customerType)
                codes.supplier = CardAccounts::supplierPrefix + suffix(n.supplier);
            replaceAccounts(accounts, type, newCode, list.readText(QStringLiteral("CARUNVAN")),
                            codes);
            note.accounts = codes.given();
        }
        return UnitResult::done(note);
    });
}

} // namespace zym
