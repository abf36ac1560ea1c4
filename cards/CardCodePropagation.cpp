#include "CardCodePropagation.h"

#include "db/Error.h"
#include "db/Tables.h"

#include <QStringList>

namespace zym {

namespace {

constexpr qsizetype cardRowSteps = 3;

QList<CardCodePropagation::Step> makeSteps()
{
    QList<CardCodePropagation::Step> steps{
        {QStringLiteral("CARKART"), QStringLiteral("CARKOD"), {},
         QStringLiteral("UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;")},
        {QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL"),
         QStringLiteral("UPDATE KIMLIKLER SET KIMKOD=:pKod WHERE KIMKOD=:pCarKod AND (KIMMODUL IS NULL OR KIMMODUL<>8);")},
        {QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL"),
         QStringLiteral("UPDATE ADRESLER SET ADRKOD1=:pKod WHERE ADRKOD1=:pCarKod AND (ADRMODUL IS NULL OR ADRMODUL<>8);")},
    };
    for (const CodeColumn &carrier : Tables::movementTables()) {
        steps << CardCodePropagation::Step{carrier.table, carrier.column, {},
                                           QStringLiteral("UPDATE %1 SET %2=:pKod WHERE %2=:pCarKod;")
                                               .arg(carrier.table, carrier.column)};
    }
    return steps;
}

qsizetype stepCount(CardCodePropagation::Scope scope)
{
    return scope == CardCodePropagation::Scope::CardRows ? cardRowSteps : CardCodePropagation::steps().size();
}

// A row of the step's table, other than the card's own, carrying :pKod.
QString takenProbe(const CardCodePropagation::Step &step)
{
    QString probe = QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod AND %2<>:pCarKod").arg(step.table, step.column);
    if (!step.moduleColumn.isEmpty())
        probe += QStringLiteral(" AND (%1 IS NULL OR %1<>8)").arg(step.moduleColumn);
    return probe + u')';
}

// One statement that answers for every table of the scope in a single trip.
QString takenQuery(CardCodePropagation::Scope scope)
{
    QStringList probes;
    for (qsizetype i = 0; i < stepCount(scope); ++i)
        probes << takenProbe(CardCodePropagation::steps().at(i));
    return QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN").arg(probes.join(QStringLiteral(" OR ")));
}

} // namespace

const QList<CardCodePropagation::Step> &CardCodePropagation::steps()
{
    static const QList<Step> list = makeSteps();
    return list;
}

QString CardCodePropagation::cardNotFound(const QString &listedCode)
{
    return QStringLiteral("Kart bulunamadı: %1. Kart listesini CariKart ile yeniden yükleyin.").arg(listedCode);
}

CardCodePropagation::CardCodePropagation(Connection &connection, Scope scope)
    : m_probe(connection, takenQuery(scope))
{
    for (qsizetype i = 0; i < stepCount(scope); ++i)
        m_renames << Command(connection, steps().at(i).sql);
}

void CardCodePropagation::run(const QString &newCode, const QString &oldCode) const
{
    const QVariantMap codes{{QStringLiteral("pKod"), newCode}, {QStringLiteral("pCarKod"), oldCode}};
    if (m_renames.constFirst().execute(codes) == 0)
        throw Error(cardNotFound(oldCode));
    for (qsizetype i = 1; i < m_renames.size(); ++i)
        m_renames.at(i).execute(codes);
}

bool CardCodePropagation::codeTaken(const QString &newCode, const QString &oldCode) const
{
    const ResultSet result = m_probe.fetch({{QStringLiteral("pKod"), newCode}, {QStringLiteral("pCarKod"), oldCode}});
    return !result.rows.isEmpty() && result.rows.constFirst().constFirst().toInt() != 0;
}

} // namespace zym
