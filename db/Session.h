#pragma once

#include "Connection.h"
#include "Statement.h"

namespace zym {

// The connection and the window's statement objects on it, shared by every
// operation. The three lists (ADOQuery1 cards, qMUHFIS vouchers, qBor payroll
// registry) stay open between operations; the others are reused by replacing
// their text.
struct Session
{
    Connection connection;
    Statement ADOQuery1{connection, QStringLiteral("ADOQuery1")};
    Statement ADOQuery2{connection, QStringLiteral("ADOQuery2")};
    Statement ADOQuery3{connection, QStringLiteral("ADOQuery3")};
    Statement ADOQuery4{connection, QStringLiteral("ADOQuery4")};
    Statement ADOQuery5{connection, QStringLiteral("ADOQuery5")};
    Statement ADOQuery6{connection, QStringLiteral("ADOQuery6")};
    Statement qMUHFIS{connection, QStringLiteral("qMUHFIS")};
    Statement qMUHHAR{connection, QStringLiteral("qMUHHAR")};
    Statement qBor{connection, QStringLiteral("qBor")};
};

} // namespace zym
