#include "CompanyAudit.h"

#include "AuditChecks.h"

#include "db/Command.h"
#include "ops/Prompter.h"

#include <QScopeGuard>

namespace zym {

namespace {

// A key as the operator would type it: NULL and the empty code told apart.
QString keyText(const QVariant &key)
{
    if (key.isNull())
        return QStringLiteral("NULL");
    const QString text = key.toString();
    return text.isEmpty() ? QStringLiteral("''") : text;
}

QString explanation(const AuditCheck &check, int kind, const QVariant &detail)
{
    const QString text = check.explanations.value(kind - 1);
    if (!text.contains(QStringLiteral("%1")))
        return text;
    return text.arg(detail.isNull() ? QStringLiteral("NULL") : detail.toString());
}

CheckOutcome runCheck(Connection &connection, const AuditCheck &check)
{
    const ResultSet result =
            Command(connection, check.sql)
                    .fetch({ { QStringLiteral("pSinir"), qint32(AuditChecks::findingLimit) } });
    const qsizetype kind = result.columnIndex(QStringLiteral("TUR"));
    const qsizetype table = result.columnIndex(QStringLiteral("TABLO"));
    const qsizetype key = result.columnIndex(QStringLiteral("ANAHTAR"));
    const qsizetype detail = result.columnIndex(QStringLiteral("DETAY"));
    const qsizetype count = result.columnIndex(QStringLiteral("SAYI"));
    const qsizetype total = result.columnIndex(QStringLiteral("TOPLAM"));
    CheckOutcome outcome{ check.title, 0, {} };
    for (const QVariantList &row : result.rows) {
        outcome.total = row.at(total).toLongLong();
        outcome.findings << AuditFinding{
            row.at(table).toString(), keyText(row.at(key)), row.at(count).toLongLong(),
            explanation(check, row.at(kind).toInt(), row.at(detail))
        };
    }
    return outcome;
}

} // namespace

CompanyAudit::CompanyAudit(Connection &connection, Progress &progress)
    : m_connection(connection), m_progress(progress)
{
}

AuditOutcome CompanyAudit::run() const
{
    const QList<AuditCheck> &checks = AuditChecks::all();
    m_progress.start(int(checks.size()));
    const auto finish = qScopeGuard([this] { m_progress.finish(); });
    AuditOutcome outcome;
    for (const AuditCheck &check : checks) {
        outcome.checks << runCheck(m_connection, check);
        if (!m_progress.step(int(outcome.checks.size())) && outcome.checks.size() < checks.size()) {
            outcome.cancelled = true;
            break;
        }
    }
    return outcome;
}

} // namespace zym
