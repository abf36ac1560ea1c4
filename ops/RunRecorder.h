#pragma once

#include "RunReport.h"

#include "db/Connection.h"

#include <QHash>

namespace zym {

// What a run tells its report. The walk and the single unit call it; which
// statements a unit ran, and whether its work was kept, the report learns
// from the connection.
class RunRecorder
{
public:
    virtual ~RunRecorder() = default;

    // The run starts its units.
    virtual void begin() = 0;
    // The unit on list row `row` (-1 where there is no list) has done its
    // work: the statements run in its transaction since the last unit was
    // done belong to it, then those its note leaves to the group's end, and it
    // counts once that transaction is kept.
    virtual void unitDone(int row, const UnitNote &note) = 0;
    virtual void end(const RunEnd &end) = 0;

    // Ends the run with the error in flight; call it from a catch block.
    void failed(int row);

    // Records nothing.
    static RunRecorder &none();
};

// Builds the report of a run on `connection`.
class ReportRecorder : public RunRecorder
{
public:
    ReportRecorder(Connection &connection, RunReport::Kind kind);

    void begin() override { m_begun = true; }
    void unitDone(int row, const UnitNote &note) override;
    void end(const RunEnd &end) override { m_report.end = end; }

    // Whether a run began: one that ended before its units has no report.
    bool hasRun() const { return m_begun; }
    const RunReport &report() const { return m_report; }

private:
    void executed(const QString &sql, int affected);
    void unitEnded(bool kept);

    Connection &m_connection;
    RunReport m_report;
    bool m_begun = false;
    QList<StatementEffect> m_statements; // of the unit in hand
    QList<UnitRecord> m_done; // in the transaction not yet ended
    QHash<QString, SqlText::Change> m_changes;
    Connection::Observation m_observation;
};

} // namespace zym
