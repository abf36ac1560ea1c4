#include "RegistryCodePropagation.h"

#include "db/Error.h"
#include "db/Tables.h"

#include <QStringList>

namespace zym {

namespace {

// A row of the step's table that carries :pKod and that the step would rename.
QString takenProbe(const RegistryCodePropagation::Step &step)
{
    return QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod%3)")
            .arg(step.table, step.column,
                 Tables::payrollRowsOnly({ step.table, step.column, step.moduleColumn }));
}

QList<RegistryCodePropagation::Step> makeSteps()
{
    QList<RegistryCodePropagation::Step> steps;
    for (const CodeColumn &carrier : Tables::payrollTables()) {
        steps << RegistryCodePropagation::Step{
            carrier.table, carrier.column, carrier.moduleColumn,
            QStringLiteral("UPDATE %1 SET %2=:pKod WHERE %2=:pBorKod%3;")
                    .arg(carrier.table, carrier.column, Tables::payrollRowsOnly(carrier))
        };
    }
    return steps;
}

// One statement that answers for all ten tables in a single trip.
QString takenQuery()
{
    QStringList probes;
    for (const RegistryCodePropagation::Step &step : RegistryCodePropagation::steps())
        probes << takenProbe(step);
    return QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN")
            .arg(probes.join(QStringLiteral(" OR ")));
}

} // namespace

const QList<RegistryCodePropagation::Step> &RegistryCodePropagation::steps()
{
    static const QList<Step> list = makeSteps();
    return list;
}

QString RegistryCodePropagation::registryNotFound(const QString &listedCode)
{
    return QStringLiteral("Sicil bulunamadı: %1. Listeyi Listele ile yeniden yükleyin.")
            .arg(listedCode);
}

RegistryCodePropagation::RegistryCodePropagation(Connection &connection)
    : m_probe(connection, takenQuery())
{
    for (const Step &step : steps())
        m_renames << Command(connection, step.sql);
}

void RegistryCodePropagation::run(const QString &newCode, const QString &oldCode) const
{
    const QVariantMap codes{ { QStringLiteral("pKod"), newCode },
                             { QStringLiteral("pBorKod"), oldCode } };
    if (m_renames.constFirst().executeOnOneRow(codes, oldCode) == 0)
        throw Error(registryNotFound(oldCode));
    for (qsizetype i = 1; i < m_renames.size(); ++i)
        m_renames.at(i).execute(codes);
}

bool RegistryCodePropagation::codeTaken(const QString &newCode) const
{
    const ResultSet result = m_probe.fetch({ { QStringLiteral("pKod"), newCode } });
    return !result.rows.isEmpty() && result.rows.constFirst().constFirst().toInt() != 0;
}

} // namespace zym
