#include "SequentialRecoding.h"

#include "CardAccounts.h"
#include "CardCodePropagation.h"
#include "CodeMask.h"

#include "db/Interaction.h"
#include "db/IntegerText.h"
#include "db/RunningNumber.h"
#include "db/Session.h"
#include "db/UnitOfWork.h"

#include <QSet>

namespace zym {

namespace {

enum AccountType { Customer = 1, Supplier = 2, Both = 3 };

struct AccountCodes
{
    QString customer; // empty when the card gets no customer account
    QString supplier;
};

// Removes any account row already holding the codes, inserts the card's
// accounts and links them to the card (already carrying its new code).
void replaceAccounts(CardAccounts &accounts, int type, const QString &cardCode, const QString &name,
                     const AccountCodes &codes)
{
    if (!codes.customer.isEmpty())
        accounts.remove(codes.customer);
    if (!codes.supplier.isEmpty())
        accounts.remove(codes.supplier);
    if (!codes.customer.isEmpty())
        accounts.insert(codes.customer, name);
    if (!codes.supplier.isEmpty())
        accounts.insert(codes.supplier, name);
    if (type == Customer)
        accounts.linkCustomer(cardCode, codes.customer);
    else if (type == Supplier)
        accounts.linkSupplier(cardCode, codes.supplier);
    else
        accounts.linkBoth(cardCode, codes.customer, codes.supplier);
}

} // namespace

const QString SequentialRecoding::conflictNotice = QStringLiteral("Kod Çakışması mevcut! \rFarklı bir KOD seçin.");

SequentialRecoding::SequentialRecoding(Session &session, Prompter &prompter, Progress &progress)
    : m_session(session)
    , m_prompter(prompter)
    , m_progress(progress)
{
}

void SequentialRecoding::run(const RecodingRequest &request)
{
    RunningNumber customerNumber(parseInteger(request.firstCustomerNumber));
    RunningNumber supplierNumber(parseInteger(request.firstSupplierNumber));
    RunningNumber sequence(parseInteger(request.startNumber));
    if (!m_prompter.confirm(QStringLiteral("İşlem Başlayacak Emin misiniz?"), QStringLiteral("Uyarı")))
        return;

    const bool sequential = request.sequentialMode;
    const auto scope = sequential ? CardCodePropagation::Scope::AllTables : CardCodePropagation::Scope::CardRows;
    CardCodePropagation propagation(m_session);
    CardAccounts accounts(m_session);
    Statement &list = m_session.ADOQuery1;
    QSet<QString> handled;
    ProgressRun progress(m_progress, list.rowCount() - list.currentRow());
    for (; !list.atEnd(); list.next()) {
        const QString oldCode = list.readText(QStringLiteral("CARKOD"));
        if (handled.contains(oldCode))
            continue;
        const QString newCode = CodeMask::render(request.codeMask, sequence.next());

        UnitOfWork unit(m_session.connection);
        if (newCode != oldCode && propagation.codeTaken(scope, newCode)) {
            m_prompter.notify(conflictNotice);
            return;
        }
        propagation.run(scope, newCode, oldCode);

        const int type = list.readInteger(QStringLiteral("CARMUHTIPI"));
        if ((!sequential || request.makeAccounts) && type >= Customer && type <= Both) {
            const auto suffix = [&](RunningNumber &number) {
                return sequential ? CodeMask::render(request.codeMask, number.next()) : newCode;
            };
            AccountCodes codes;
            if (type == Customer || type == Both)
                codes.customer = CardAccounts::customerPrefix + suffix(customerNumber);
            if (type == Supplier || type == Both)
                codes.supplier = CardAccounts::supplierPrefix + suffix(supplierNumber);
            replaceAccounts(accounts, type, newCode, list.readText(QStringLiteral("CARUNVAN")), codes);
        }
        unit.commit();
        handled.insert(oldCode);
        if (!progress.step()) {
            list.next();
            return;
        }
    }
}

} // namespace zym
