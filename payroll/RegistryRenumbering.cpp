#include "RegistryRenumbering.h"

#include "PayrollList.h"
#include "RegistryCodePropagation.h"

#include "ops/CodeMask.h"
#include "ops/IntegerText.h"
#include "ops/Prompter.h"
#include "ops/RunningNumber.h"
#include "ops/Session.h"
#include "ops/Walk.h"

#include <optional>

namespace zym {

const QString RegistryRenumbering::finished = QStringLiteral("İşlem Tamamlandı.");

namespace {

const QString codeColumn = QStringLiteral("BORSCLKOD");

} // namespace

void RegistryRenumbering::run(const RegistryRenumberingRequest &request)
{
    RunningNumber number(parseInteger(request.startNumber));
    if (!confirmStart(m_context.prompter))
        return;

    Session &session = m_context.session;
    const RegistryCodePropagation propagation(session.connection);
    Statement &list = session.registryList;
    const auto newCode = [&request](qint32 n) { return CodeMask::renderCode(request.codeMask, n); };

    Walk walk(m_context, list);
    // Where each change is shown, the grid follows the row shown; otherwise
    // it stays put while the walk runs.
    std::optional<Statement::ControlsHold> gridHeld;
    if (request.showConversion) {
        walk.beforeEachUnit([&] {
            m_context.prompter.notify(list.readKey(codeColumn) + QStringLiteral("->")
                                      + newCode(number.peek()));
        });
    } else {
        gridHeld.emplace(list);
    }
    walk.run(number, [&](RunningNumber &n) {
        const QString oldCode = list.readKey(codeColumn);
        const QString code = newCode(n.next());
        if (propagation.codeTaken(code))
            return UnitResult::stop(OperatorTexts::codeConflict);
        propagation.run(code, oldCode);
        return UnitResult::done({ .key = oldCode, .newCode = code });
    });
    gridHeld.reset();

    PayrollList::load(session, request.employeesOnly);
    m_context.prompter.notify(finished);
}

} // namespace zym
