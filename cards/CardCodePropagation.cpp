#include "CardCodePropagation.h"

#include "CardList.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Tables.h"
#include "ops/Prompter.h"

#include <QStringList>

namespace zym {

namespace {

constexpr qsizetype cardRowSteps = 3;

// The cards of the group in hand: their old codes and the new ones.
const TableSpec mapping{ QStringLiteral("KOD_ESLEME"),
                         { { QStringLiteral("ESKI"), QStringLiteral("VARCHAR(40)") },
                           { QStringLiteral("YENI"), QStringLiteral("VARCHAR(40)") } },
                         {},
                         {} };
const QString rememberSql =
        QStringLiteral("INSERT INTO #KOD_ESLEME(ESKI,YENI) VALUES(:pCarKod,:pKod)");
const QString clearSql = QStringLiteral("DELETE FROM #KOD_ESLEME");

// The table's column on the left of each comparison: it is compared under
// the column's own collation, as the card's rename compares it.
QList<CardCodePropagation::Step> makeSteps()
{
    QList<CodeColumn> carriers{ { QStringLiteral("CARKART"), QStringLiteral("CARKOD") } };
    carriers += Tables::sharedTables();
    carriers += Tables::movementTables();
    QList<CardCodePropagation::Step> steps;
    for (const CodeColumn &carrier : carriers) {
        const QString outside = Tables::outsidePayroll(carrier);
        steps << CardCodePropagation::Step{
            carrier.table, carrier.column, carrier.moduleColumn,
            QStringLiteral("UPDATE %1 SET %2=:pKod WHERE %2=:pCarKod%3;")
                    .arg(carrier.table, carrier.column, outside),
            QStringLiteral("UPDATE %1 SET %2=M.YENI FROM #KOD_ESLEME AS M WHERE %1.%2=M.ESKI%3;")
                    .arg(carrier.table, carrier.column, outside)
        };
    }
    return steps;
}

// A row of the step's table under :pKod, other than the card's own and
// those the group will rename.
QString takenProbe(const CardCodePropagation::Step &step)
{
    return QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod AND %2<>:pCarKod%3 "
                          "AND NOT EXISTS(SELECT 1 FROM #KOD_ESLEME AS M WHERE %1.%2=M.ESKI))")
            .arg(step.table, step.column, step.outsidePayroll());
}

// One statement that answers for every table of the propagation in a single
// trip, whatever the scope renames: a row of any of them under the new code
// would be adopted by the card. It also counts the rows each of the scope's
// group steps will rename.
QString takenQuery(qsizetype stepCount)
{
    QStringList probes;
    for (const CardCodePropagation::Step &step : CardCodePropagation::steps())
        probes << takenProbe(step);
    QString query = QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN")
                            .arg(probes.join(QStringLiteral(" OR ")));
    for (qsizetype i = 1; i < stepCount; ++i) {
        const CardCodePropagation::Step &step = CardCodePropagation::steps().at(i);
        query += QStringLiteral(",(SELECT COUNT(*) FROM %1 WHERE %2=:pCarKod%3)")
                         .arg(step.table, step.column, step.outsidePayroll());
    }
    return query;
}

QVariantMap codes(const QString &newCode, const QString &oldCode)
{
    return { { QStringLiteral("pKod"), newCode }, { QStringLiteral("pCarKod"), oldCode } };
}

} // namespace

const QList<CardCodePropagation::Step> &CardCodePropagation::steps()
{
    static const QList<Step> list = makeSteps();
    return list;
}

QString CardCodePropagation::Step::outsidePayroll() const
{
    return Tables::outsidePayroll({ table, column, moduleColumn });
}

CardCodePropagation::CardCodePropagation(Connection &connection, Scope scope)
    : m_stepCount(scope == Scope::CardRows ? cardRowSteps : steps().size()),
      m_cardRow(connection, steps().constFirst().sql),
      m_probe(connection, takenQuery(m_stepCount)),
      m_remember(connection, rememberSql),
      m_clear(connection, clearSql)
{
    connection.createTemporaryTable(mapping);
    m_clear.execute();
    for (qsizetype i = 1; i < m_stepCount; ++i)
        m_groupRenames << Command(connection, steps().at(i).groupSql);
    m_expected.fill(0, m_groupRenames.size());
}

bool CardCodePropagation::codeTaken(const QString &newCode, const QString &oldCode)
{
    const ResultSet result = m_probe.fetch(codes(newCode, oldCode));
    const QVariantList answer = result.rows.value(0);
    m_counted.clear();
    for (qsizetype i = 1; i < answer.size(); ++i)
        m_counted << answer.at(i).toInt();
    return answer.value(0).toInt() != 0;
}

QList<StatementEffect> CardCodePropagation::run(const QString &newCode, const QString &oldCode)
{
    const QVariantMap values = codes(newCode, oldCode);
    CardList::changeCard(m_cardRow, values, oldCode);
    m_remember.execute(values);
    m_pending = true;
    QList<StatementEffect> effects;
    for (qsizetype i = 0; i < m_groupRenames.size(); ++i) {
        const int rows = m_counted.value(i);
        m_expected[i] += rows;
        effects << StatementEffect{ SqlText::Change::Kind::Update, steps().at(i + 1).table, rows };
    }
    m_counted.clear();
    return effects;
}

void CardCodePropagation::startGroup()
{
    m_expected.fill(0);
    m_pending = false;
}

void CardCodePropagation::finishGroup(Progress &progress)
{
    if (!m_pending)
        return;
    for (qsizetype i = 0; i < m_groupRenames.size(); ++i) {
        const int changed = m_groupRenames.at(i).execute();
        if (changed != m_expected.at(i)) {
            throw Error(QStringLiteral("%1: kod değişikliği %2 satır yerine %3 satırı değiştirdi.")
                                .arg(steps().at(i + 1).table)
                                .arg(m_expected.at(i))
                                .arg(changed));
        }
        progress.busy();
    }
    m_clear.execute();
    startGroup();
}

} // namespace zym
