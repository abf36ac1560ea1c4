#include "PendingRenames.h"

#include "db/Error.h"

namespace zym {

namespace {

// About a twentieth of a second of renames on the embedded backend: a row
// costs a few microseconds, a card a seek in every table.
constexpr int flushRows = 10000;
constexpr int flushCards = 1000;

const QString createSql = QStringLiteral(
    "CREATE TEMP TABLE IF NOT EXISTS KOD_ESLEME(ESKI TEXT PRIMARY KEY, YENI TEXT NOT NULL)");
const QString rememberSql = QStringLiteral("INSERT INTO temp.KOD_ESLEME(ESKI,YENI) VALUES(:pCarKod,:pKod)");
const QString clearSql = QStringLiteral("DELETE FROM temp.KOD_ESLEME");

// The table's column on the left: both comparisons use its collation, as the
// card-by-card statement's does.
QString renameSql(const CardCodePropagation::Step &step)
{
    return QStringLiteral("UPDATE %1 SET %2=(SELECT YENI FROM temp.KOD_ESLEME WHERE %1.%2=ESKI) "
                          "WHERE %2 IN (SELECT ESKI FROM temp.KOD_ESLEME)%3")
        .arg(step.table, step.column, step.outsidePayroll());
}

// Alike under any comparison the embedded backend offers: case folded and
// trailing blanks dropped.
QString compared(const QString &code)
{
    qsizetype end = code.size();
    while (end > 0 && code.at(end - 1).isSpace())
        --end;
    return code.left(end).toCaseFolded();
}

} // namespace

PendingRenames::PendingRenames(Connection &connection, QList<CardCodePropagation::Step> steps)
    : m_connection(connection)
    , m_steps(std::move(steps))
    , m_remember(connection, rememberSql)
    , m_clear(connection, clearSql)
    , m_expected(m_steps.size(), 0)
    , m_observation(connection.observe({
          .committing = [this] { flush(); },
          .unitEnded = [this](bool) { forget(); },
      }))
{
    const Connection::Unobserved unobserved(connection);
    Command(connection, createSql).execute();
    m_clear.execute();
    for (const CardCodePropagation::Step &step : m_steps)
        m_renames << Command(connection, renameSql(step));
}

bool PendingRenames::touches(const QString &newCode, const QString &oldCode) const
{
    return m_codes.contains(compared(newCode)) || m_codes.contains(compared(oldCode));
}

QList<StatementEffect> PendingRenames::add(const QString &newCode, const QString &oldCode, const QList<int> &rows)
{
    const Connection::Unobserved unobserved(m_connection);
    m_remember.execute({{QStringLiteral("pKod"), newCode}, {QStringLiteral("pCarKod"), oldCode}});
    m_codes.insert(compared(newCode));
    m_codes.insert(compared(oldCode));
    QList<StatementEffect> effects;
    effects.reserve(m_steps.size());
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        m_expected[i] += rows.value(i);
        m_rows += rows.value(i);
        effects << StatementEffect{SqlText::Change::Kind::Update, m_steps.at(i).table, rows.value(i)};
    }
    if (++m_cards >= flushCards || m_rows >= flushRows)
        flush();
    return effects;
}

void PendingRenames::flush()
{
    if (m_codes.isEmpty())
        return;
    const Connection::Unobserved unobserved(m_connection);
    for (qsizetype i = 0; i < m_renames.size(); ++i) {
        const int changed = m_renames.at(i).execute();
        if (changed != m_expected.at(i)) {
            throw Error(QStringLiteral("%1: kod değişikliği %2 satır yerine %3 satırı değiştirdi.")
                            .arg(m_steps.at(i).table)
                            .arg(m_expected.at(i))
                            .arg(changed));
        }
    }
    m_clear.execute();
    forget();
}

void PendingRenames::forget()
{
    m_codes.clear();
    m_expected.fill(0);
    m_cards = 0;
    m_rows = 0;
}

} // namespace zym
