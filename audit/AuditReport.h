#pragma once

#include "ops/RunReport.h"

#include <QDateTime>
#include <QString>

namespace zym {

struct AuditOutcome;

// The report of a check, titled "Denetim": `heading` (where and when it ran,
// who ran it) named as the check, a summary row a check (findings in all and
// listed), then one row a finding (check, table, key, rows, explanation); it
// ends as finished, or as cancelled.
RunReport auditReport(const AuditOutcome &outcome, RunHeading heading);

} // namespace zym
