#include "PayrollList.h"

#include "ops/Session.h"

namespace zym {

const QString PayrollList::allQuery = QStringLiteral("SELECT * FROM BORSICIL ");
const QString PayrollList::employeesQuery =
        QStringLiteral("SELECT * FROM BORSICIL Where BORSCLISCIKKOD=0");

void PayrollList::load(Session &session, bool employeesOnly)
{
    session.registryList.setText(employeesOnly ? employeesQuery : allQuery);
    session.registryList.open();
}

} // namespace zym
