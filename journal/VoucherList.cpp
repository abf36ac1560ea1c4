#include "VoucherList.h"

#include "ops/Session.h"

namespace zym {

const QString VoucherList::query = QStringLiteral("SELECT * FROM MUHFIS ORDER BY MUHFISREFNO ");

void VoucherList::load(Session &session)
{
    session.qMUHFIS.setText(query);
    session.qMUHFIS.open();
}

} // namespace zym
