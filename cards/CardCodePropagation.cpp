#include "CardCodePropagation.h"

#include "CardList.h"
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
    QList<CodeColumn> carriers{{QStringLiteral("CARKART"), QStringLiteral("CARKOD")}};
    carriers += Tables::sharedTables();
    carriers += Tables::movementTables();
    QList<CardCodePropagation::Step> steps;
    for (const CodeColumn &carrier : carriers) {
        steps << CardCodePropagation::Step{carrier.table, carrier.column, carrier.moduleColumn,
                                           QStringLiteral("UPDATE %1 SET %2=:pKod WHERE %2=:pCarKod%3;")
                                               .arg(carrier.table, carrier.column, Tables::outsidePayroll(carrier))};
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

QString CardCodePropagation::Step::outsidePayroll() const
{
    return Tables::outsidePayroll({table, column, moduleColumn});
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
    CardList::changeCard(m_renames.constFirst(), codes, oldCode);
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
