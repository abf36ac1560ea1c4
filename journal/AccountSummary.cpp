#include "AccountSummary.h"

#include "db/Statement.h"

namespace zym {

AccountSummary AccountSummary::of(Statement &lines)
{
    AccountSummary summary;
    for (; !lines.atEnd(); lines.next()) {
        summary.m_codes += lines.readText(QStringLiteral("MUHHARMUHKOD")) + u'|';
        summary.m_names += lines.readText(QStringLiteral("MUHHARADI")) + u'|';
    }
    return summary;
}

QString AccountSummary::cut(const QString &summary)
{
    QString kept = summary.left(descriptionWidth);
    if (kept.size() < summary.size() && !kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    return kept;
}

} // namespace zym
