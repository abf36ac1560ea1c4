#include "InjectedFailure.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"

#include <QTest>

namespace zym::test {

const QString InjectedFailure::message = QStringLiteral("kilitli");

InjectedFailure::InjectedFailure(Connection &connection, int position, CommitRefusal::Taint inUnit)
{
    if (position == 0) {
        m_refusal = std::make_unique<CommitRefusal>(connection, std::move(inUnit));
        return;
    }
    m_failing = connection.observe(
            { .executed = [this, position, inUnit](const QString &sql, const QVariantMap &values,
                                                   int) {
                if (inUnit(sql, values) && ++m_seen == position)
                    throw Error(message);
            } });
}

InjectedFailure::~InjectedFailure() = default;

CommitRefusal::Taint InjectedFailure::onRow(const Statement &list, int row)
{
    return [&list, row](const QString &, const QVariantMap &) { return list.currentRow() == row; };
}

void runFailingAt(Connection &connection, int position, CommitRefusal::Taint inUnit,
                  const std::function<void()> &run)
{
    QString error;
    {
        InjectedFailure failure(connection, position, std::move(inUnit));
        error = errorRaisedBy(run);
    }
    QVERIFY(!error.isEmpty());
    if (position != 0)
        QCOMPARE(error, InjectedFailure::message);
    QVERIFY(!connection.inUnit());
}

} // namespace zym::test
