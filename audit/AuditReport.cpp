#include "AuditReport.h"

#include "CompanyAudit.h"

namespace zym {

namespace {

TextTable summary(const AuditOutcome &outcome)
{
    TextTable table{
        { QStringLiteral("Denetim"), QStringLiteral("Bulgu"), QStringLiteral("Listelenen") }, {}
    };
    for (const CheckOutcome &check : outcome.checks) {
        table.rows << QStringList{ check.title, QString::number(check.total),
                                   QString::number(check.findings.size()) };
    }
    return table;
}

TextTable findings(const AuditOutcome &outcome)
{
    TextTable table{ { QStringLiteral("Denetim"), QStringLiteral("Tablo"),
                       QStringLiteral("Anahtar"), QStringLiteral("Sayı"),
                       QStringLiteral("Açıklama") },
                     {} };
    for (const CheckOutcome &check : outcome.checks) {
        for (const AuditFinding &finding : check.findings) {
            table.rows << QStringList{ check.title, finding.table, finding.key,
                                       QString::number(finding.count), finding.explanation };
        }
    }
    return table;
}

} // namespace

RunReport auditReport(const AuditOutcome &outcome, RunHeading heading)
{
    RunReport report;
    report.kind = RunReport::Kind::Audit;
    heading.operation = QStringLiteral("Denetim");
    heading.backup = QStringLiteral("Denetimde yedek alınmaz");
    report.heading = std::move(heading);
    report.listing = Listing{ summary(outcome), findings(outcome) };
    report.end.reason = outcome.cancelled ? RunEnd::Reason::Cancelled : RunEnd::Reason::End;
    return report;
}

} // namespace zym
