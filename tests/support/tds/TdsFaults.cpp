#include "TdsFaults.h"

namespace zym::test::tds {

Fault Fault::failing(const QString &pattern, int error, int occurrence)
{
    Fault fault;
    fault.pattern = QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
    fault.occurrence = occurrence;
    fault.error = error;
    return fault;
}

Fault Fault::delaying(const QString &pattern, int milliseconds, int occurrence)
{
    Fault fault = failing(pattern, 0, occurrence);
    fault.delayMs = milliseconds;
    return fault;
}

Fault Fault::dropping(const QString &pattern, int occurrence)
{
    Fault fault = failing(pattern, 0, occurrence);
    fault.drop = true;
    return fault;
}

QString Fault::text() const
{
    switch (error) {
    case 1205:
        return QStringLiteral("Transaction (Process ID 52) was deadlocked on lock resources with "
                              "another process and has "
                              "been chosen as the deadlock victim. Rerun the transaction.");
    case 3609:
        return QStringLiteral("The transaction ended in the trigger. The batch has been aborted.");
    case 266:
        return QStringLiteral("Transaction count after EXECUTE indicates a mismatching number of "
                              "BEGIN and COMMIT "
                              "statements. Previous count = 1, current count = 0.");
    case 2627:
        return QStringLiteral("Violation of PRIMARY KEY constraint 'PK_STAND_IN'. Cannot insert "
                              "duplicate key in object "
                              "'dbo.STAND_IN'.");
    case 547:
        return QStringLiteral("The statement conflicted with a constraint of the stand-in.");
    case 8152:
        return QStringLiteral("String or binary data would be truncated.");
    case 1222:
        return QStringLiteral("Lock request time out period exceeded.");
    }
    return QStringLiteral("Error %1 played by the stand-in.").arg(error);
}

int Fault::severity() const
{
    return error == 1205 ? 13 : error == 2627 || error == 547 ? 14 : 16;
}

void FaultPlan::add(const Fault &fault)
{
    QMutexLocker lock(&m_mutex);
    m_pending.append({ fault, 0 });
}

void FaultPlan::clear()
{
    QMutexLocker lock(&m_mutex);
    m_pending.clear();
}

std::optional<Fault> FaultPlan::take(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    std::optional<Fault> due;
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        Pending &pending = m_pending[i];
        if (!pending.fault.pattern.match(text).hasMatch()
            || ++pending.seen != pending.fault.occurrence)
            continue;
        if (!due)
            due = pending.fault;
        m_pending.removeAt(i--);
    }
    return due;
}

} // namespace zym::test::tds
