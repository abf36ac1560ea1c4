#include "RunRecorder.h"

#include <exception>

namespace zym {

namespace {

class NoRecord : public RunRecorder
{
public:
    void begin() override { }
    void unitDone(int, const UnitNote &) override { }
    void end(const RunEnd &) override { }
};

} // namespace

void RunRecorder::failed(int row)
{
    try {
        throw;
    } catch (const std::exception &error) {
        end({ RunEnd::Reason::Error, QString::fromUtf8(error.what()), row });
    } catch (...) {
        end({ RunEnd::Reason::Error, QString(), row });
    }
}

RunRecorder &RunRecorder::none()
{
    static NoRecord nothing;
    return nothing;
}

ReportRecorder::ReportRecorder(Connection &connection, RunReport::Kind kind)
    : m_connection(connection),
      m_report{ kind, {}, {} },
      m_observation(connection.observe({
              .executed = [this](const QString &sql, const QVariantMap &,
                                 int affected) { executed(sql, affected); },
              .unitEnded = [this](bool kept) { unitEnded(kept); },
      }))
{
}

void ReportRecorder::unitDone(int row, const UnitNote &note)
{
    UnitRecord record{ row, note, std::exchange(m_statements, {}) + note.atGroupEnd };
    record.note.atGroupEnd.clear(); // kept once, among the statements
    m_done << record;
}

void ReportRecorder::executed(const QString &sql, int affected)
{
    if (!m_connection.inUnit())
        return;
    auto change = m_changes.constFind(sql);
    if (change == m_changes.constEnd())
        change = m_changes.insert(sql, SqlText::changeOf(sql));
    if (change->kind != SqlText::Change::Kind::None)
        m_statements << StatementEffect{ change->kind, change->table, affected };
}

void ReportRecorder::unitEnded(bool kept)
{
    if (kept)
        m_report.units << m_done;
    m_done.clear();
    m_statements.clear();
}

} // namespace zym
