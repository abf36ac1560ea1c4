#pragma once

#include "db/Connection.h"
#include "db/Statement.h"

namespace zym {

// The connection and the four lists the operator sees on it, shared by the
// operations: the card list (ADOQuery1), the voucher list (qMUHFIS), the
// journal lines (qMUHHAR) and the payroll registry (qBor). The lists stay
// open between operations; every other statement is a command that the
// operation running it owns.
//
// A list belongs to the database it was loaded in: when the connection
// switches to another database or closes, every list closes, so no
// operation can walk one company's rows against another's tables.
struct Session
{
    Session();

    Connection connection;
    Statement cardList{ connection, QStringLiteral("ADOQuery1") };
    Statement voucherList{ connection, QStringLiteral("qMUHFIS") };
    Statement journalLines{ connection, QStringLiteral("qMUHHAR") };
    Statement registryList{ connection, QStringLiteral("qBor") };
};

} // namespace zym
