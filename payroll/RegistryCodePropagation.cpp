#include "RegistryCodePropagation.h"

#include "db/Error.h"

#include <QStringList>

namespace zym {

namespace {

RegistryCodePropagation::Step step(const QString &table, const QString &column, const QString &moduleColumn = {})
{
    QString sql = QStringLiteral("UPDATE %1 SET %2=:pKod WHERE %2=:pBorKod").arg(table, column);
    if (!moduleColumn.isEmpty())
        sql += QStringLiteral(" AND %1=%2").arg(moduleColumn).arg(RegistryCodePropagation::payrollModule);
    return {table, column, moduleColumn, sql + u';'};
}

// A row of the step's table that carries :pKod and that the step would rename.
QString takenProbe(const RegistryCodePropagation::Step &step)
{
    QString probe = QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod").arg(step.table, step.column);
    if (!step.moduleColumn.isEmpty())
        probe += QStringLiteral(" AND %1=%2").arg(step.moduleColumn).arg(RegistryCodePropagation::payrollModule);
    return probe + u')';
}

// One statement that answers for all ten tables in a single trip.
QString takenQuery()
{
    QStringList probes;
    for (const RegistryCodePropagation::Step &step : RegistryCodePropagation::steps())
        probes << takenProbe(step);
    return QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN").arg(probes.join(QStringLiteral(" OR ")));
}

} // namespace

const QList<RegistryCodePropagation::Step> &RegistryCodePropagation::steps()
{
    static const QList<Step> list{
        step(QStringLiteral("BORSICIL"), QStringLiteral("BORSCLKOD")),
        step(QStringLiteral("BORPUANTAJ"), QStringLiteral("BORPNPERKOD")),
        step(QStringLiteral("BORKUMULE"), QStringLiteral("BORKMPERKOD")),
        step(QStringLiteral("BORGENDET"), QStringLiteral("BORGENKOD")),
        step(QStringLiteral("BORDETAY"), QStringLiteral("BORDETKOD")),
        step(QStringLiteral("BORPUANDETAY"), QStringLiteral("BORPNDETPERKOD")),
        step(QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL")),
        step(QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL")),
        step(QStringLiteral("RESIMLER"), QStringLiteral("RESIMKOD"), QStringLiteral("RESIMMODUL")),
        step(QStringLiteral("SIRKETLOG"), QStringLiteral("SIRLOGKYTKODU"), QStringLiteral("SIRLOGMODUL")),
    };
    return list;
}

QString RegistryCodePropagation::registryNotFound(const QString &listedCode)
{
    return QStringLiteral("Sicil bulunamadı: %1. Listeyi Listele ile yeniden yükleyin.").arg(listedCode);
}

RegistryCodePropagation::RegistryCodePropagation(Connection &connection)
    : m_probe(connection, takenQuery())
{
    for (const Step &step : steps())
        m_renames << Command(connection, step.sql);
}

void RegistryCodePropagation::run(const QString &newCode, const QString &oldCode) const
{
    const QVariantMap codes{{QStringLiteral("pKod"), newCode}, {QStringLiteral("pBorKod"), oldCode}};
    if (m_renames.constFirst().executeOnOneRow(codes, oldCode) == 0)
        throw Error(registryNotFound(oldCode));
    for (qsizetype i = 1; i < m_renames.size(); ++i)
        m_renames.at(i).execute(codes);
}

bool RegistryCodePropagation::codeTaken(const QString &newCode) const
{
    const ResultSet result = m_probe.fetch({{QStringLiteral("pKod"), newCode}});
    return !result.rows.isEmpty() && result.rows.constFirst().constFirst().toInt() != 0;
}

} // namespace zym
