#include "WorkplaceCodeChange.h"

#include "PayrollList.h"

#include "db/Command.h"
#include "ops/Prompter.h"
#include "ops/Session.h"
#include "ops/SingleUnit.h"

namespace zym {

const QString WorkplaceCodeChange::countSuffix = QStringLiteral(" Kart işlem gördü");

namespace {

const QString workplaceUpdate =
        QStringLiteral("UPDATE BORSICIL SET BORSCLISYKODU=:pISKOD WHERE BORSCLISYKODU=:pEKOD");

} // namespace

void WorkplaceCodeChange::run(const WorkplaceChangeRequest &request)
{
    Session &session = m_context.session;
    const Command change(session.connection, workplaceUpdate);
    int changed = 0;
    runAsOneUnit(m_context, { .key = request.currentCode, .newCode = request.newCode }, [&] {
        changed = change.execute({ { QStringLiteral("pEKOD"), request.currentCode },
                                   { QStringLiteral("pISKOD"), request.newCode } });
    });
    m_context.prompter.notify(QString::number(changed) + countSuffix);
    PayrollList::load(session, request.employeesOnly);
}

} // namespace zym
