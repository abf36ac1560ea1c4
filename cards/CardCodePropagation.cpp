#include "CardCodePropagation.h"

#include "PendingRenames.h"

#include "db/Connection.h"
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
    return QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod AND %2<>:pCarKod%3)")
        .arg(step.table, step.column, step.outsidePayroll());
}

// One statement that answers for every table of the propagation in a single
// trip, whatever the scope renames: a row of any of them under the new code
// would be adopted by the card. It also counts the rows each put-off step
// will rename.
QString takenQuery(CardCodePropagation::Scope scope, qsizetype immediate)
{
    QStringList probes;
    for (const CardCodePropagation::Step &step : CardCodePropagation::steps())
        probes << takenProbe(step);
    QString query = QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN").arg(probes.join(QStringLiteral(" OR ")));
    for (qsizetype i = immediate; i < stepCount(scope); ++i) {
        const CardCodePropagation::Step &step = CardCodePropagation::steps().at(i);
        query += QStringLiteral(",(SELECT COUNT(*) FROM %1 WHERE %2=:pCarKod%3)")
                     .arg(step.table, step.column, step.outsidePayroll());
    }
    return query;
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

QString CardCodePropagation::Step::outsidePayroll() const
{
    return moduleColumn.isEmpty() ? QString() : QStringLiteral(" AND (%1 IS NULL OR %1<>8)").arg(moduleColumn);
}

qsizetype CardCodePropagation::stepsInUnit(const Connection &connection, Scope scope)
{
    // Put off on the embedded backend only: there one statement a table for
    // many cards is tested.
    if (scope == Scope::AllTables && connection.backend() == Backend::Sqlite)
        return 1;
    return stepCount(scope);
}

CardCodePropagation::CardCodePropagation(Connection &connection, Scope scope)
    : m_connection(connection)
    , m_probe(connection, takenQuery(scope, stepsInUnit(connection, scope)))
{
    const qsizetype immediate = stepsInUnit(connection, scope);
    for (qsizetype i = 0; i < immediate; ++i)
        m_renames << Command(connection, steps().at(i).sql);
    if (immediate < stepCount(scope))
        m_pending = std::make_unique<PendingRenames>(connection, steps().mid(immediate, stepCount(scope) - immediate));
}

CardCodePropagation::~CardCodePropagation() = default;

QList<StatementEffect> CardCodePropagation::run(const QString &newCode, const QString &oldCode)
{
    const QVariantMap codes{{QStringLiteral("pKod"), newCode}, {QStringLiteral("pCarKod"), oldCode}};
    if (m_renames.constFirst().executeOnOneRow(codes, oldCode) == 0)
        throw Error(cardNotFound(oldCode));
    for (qsizetype i = 1; i < m_renames.size(); ++i)
        m_renames.at(i).execute(codes);
    if (!m_pending)
        return {};

    // The probe counts the rows; a caller that did not probe this card first
    // has it run here.
    if (m_counted.newCode != newCode || m_counted.oldCode != oldCode || m_counted.rows.isEmpty())
        codeTaken(newCode, oldCode);
    const QList<StatementEffect> effects = m_pending->add(newCode, oldCode, m_counted.rows);
    m_counted = {};
    if (!m_connection.inUnit())
        m_pending->flush();
    return effects;
}

bool CardCodePropagation::codeTaken(const QString &newCode, const QString &oldCode)
{
    // What this card reads must not depend on renames still pending.
    if (m_pending && m_pending->touches(newCode, oldCode))
        m_pending->flush();
    const ResultSet result = m_probe.fetch({{QStringLiteral("pKod"), newCode}, {QStringLiteral("pCarKod"), oldCode}});
    if (result.rows.isEmpty())
        return false;
    const QVariantList &answer = result.rows.constFirst();
    if (m_pending) {
        m_counted = {newCode, oldCode, {}};
        for (qsizetype i = 1; i < answer.size(); ++i)
            m_counted.rows << answer.at(i).toInt();
    }
    return answer.constFirst().toInt() != 0;
}

} // namespace zym
