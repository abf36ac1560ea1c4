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

} // namespace zym
