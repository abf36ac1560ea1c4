#pragma once

#include "ops/RunReport.h"

#include <QDateTime>
#include <QString>

namespace zym {

struct AuditOutcome;

// Where and when a check ran, and who ran it.
struct AuditHeading
{
    QString server;
    QString company;
    QString user;
    QDateTime when;
};

// The report of a check, titled "Denetim": its heading, a summary row a
// check (findings in all and listed), then one row a finding (check, table,
// key, rows, explanation); it ends as finished, or as cancelled.
RunReport auditReport(const AuditOutcome &outcome, const AuditHeading &heading);

} // namespace zym
