#include "VoucherList.h"

#include "ops/Session.h"

namespace zym {

const QString VoucherList::query = QStringLiteral("SELECT * FROM MUHFIS ORDER BY MUHFISREFNO ");

void VoucherList::load(Session &session)
{
    session.voucherList.setText(query);
    session.voucherList.open();
}

} // namespace zym
