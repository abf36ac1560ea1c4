#pragma once

#include "Operation.h"

#include <QSet>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

namespace zym {

class Statement;

// What a unit of work tells the walk when it returns.
class UnitResult
{
public:
    // The unit's work is done; the run report lists it with `note`.
    static UnitResult done(UnitNote note = {})
    {
        return UnitResult(std::move(note), QString(), false);
    }
    // The run must end before this row: the unit is rolled back, and
    // `notice` is shown once its transaction is closed.
    static UnitResult stop(const QString &notice) { return UnitResult({}, notice, true); }

    bool stopped() const { return m_stopped; }
    const QString &notice() const { return m_notice; }
    const UnitNote &note() const { return m_note; }

private:
    UnitResult(UnitNote note, QString notice, bool stopped)
        : m_note(std::move(note)), m_notice(std::move(notice)), m_stopped(stopped)
    {
    }

    UnitNote m_note;
    QString m_notice;
    bool m_stopped;
};

// Work that the units of a group leave to its end, such as one statement a
// table for all of the group's cards.
class GroupWork
{
public:
    virtual ~GroupWork() = default;
    // A transaction of the walk opens: nothing of an earlier one is left.
    virtual void startGroup() = 0;
    // Runs inside the group's transaction just before it commits, telling
    // `progress` it is busy between its statements. Raising refuses the
    // group: it is rolled back and its units run again one by one, each
    // finishing on its own.
    virtual void finishGroup(Progress &progress) = 0;
};

// How a walk ended.
enum class WalkEnd {
    End, // past the last row
    Cancelled, // the operator stopped it; the list is on the first row not handled
    Stopped, // a unit stopped it; the list is on that unit's row
};

// The one way an operation walks a list. It starts at the list's current row,
// never rewinds, and ends past the last row; a list not loaded or empty is not
// walked. Each row is one unit of work: committed when the unit returns,
// rolled back when it raises, and then the list stays on that row and the
// error goes on to the default error display. Progress counts every row
// walked, and a cancel takes effect between units.
//
// The walk alone decides when to commit. It groups the units of a stretch
// of rows into one transaction (as the context's grouping says) and commits at the end, before a
// unit announces itself, and on a cancel. When a unit fails or stops, the group is rolled back, the
// units before it are run again and committed one by one, and only then is
// the failure raised (or the stop's notice shown): every unit stays all or
// nothing, as if each had been committed on its own. A unit must therefore
// be able to run again: the running values it uses live in a state that the
// walk saves when a group starts and puts back when the group is rolled back.
//
// The context's recorder hears of the walk's start, of each unit done, and
// of how the walk ended; the connection tells it which units were kept, so
// a unit rolled back and replayed is reported once.
class Walk
{
public:
    Walk(const OperationContext &context, Statement &list);

    // Rows whose `keyColumn` value a unit of this walk has handled already
    // are passed over, as a card listed twice is.
    Walk &skipRepeated(const QString &keyColumn);
    // Runs before each row's unit of work opens, with no transaction open:
    // where a unit shows the operator something first.
    Walk &beforeEachUnit(std::function<void()> announce);
    // Has `work` started and finished with each transaction of the walk.
    Walk &groupWork(GroupWork &work);

    template<typename State, typename Unit>
    WalkEnd run(State &state, Unit unit)
    {
        State saved = state;
        return walk([&] { return unit(state); },
                    { [&] { saved = state; }, [&] { state = saved; } });
    }

    WalkEnd run(const std::function<UnitResult()> &unit);

private:
    struct Checkpoint
    {
        std::function<void()> save;
        std::function<void()> restore;
    };

    class Group;
    class ProgressShown;
    // A unit stopped the walk on the list's current row.
    struct Stop
    {
        QString notice;
    };

    WalkEnd walk(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint);
    WalkEnd walkRows(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint);
    WalkEnd walkGroups(ProgressShown &progress, const std::function<UnitResult()> &unit,
                       const Checkpoint &checkpoint);
    // Runs the row's unit in the group; a failure rolls the group back and
    // replays it, then the unit runs again alone where the failure passes.
    void runInGroup(int row, const std::optional<QString> &key, Group &group,
                    const std::function<UnitResult()> &unit, const Checkpoint &checkpoint);
    void rollBack(Group &group, const QString &cause);
    void runAgainAfter(std::exception_ptr failure, const std::function<UnitResult()> &unit,
                       const Checkpoint &checkpoint);
    // "Kayıt kilitli: liste satırı N (başka bir kullanıcı kullanıyor)" and the server's text.
    QString lockedText(const std::exception_ptr &failure) const;
    void replayGroup(int row, Group &group, const std::function<UnitResult()> &unit,
                     const Checkpoint &checkpoint);
    // The row's value of the key column; none without a key column, or for
    // a NULL key, which is never taken for a handled ''.
    std::optional<QString> keyOfRow() const;
    bool isRepeated(const std::optional<QString> &key, const Group &group) const;
    UnitResult runAlone(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint);
    UnitResult replayUntil(int row, Group &group, const std::function<UnitResult()> &unit,
                           const Checkpoint &checkpoint);
    void commit(Group &group, int endRow, const std::function<UnitResult()> &unit,
                const Checkpoint &checkpoint);

    OperationContext m_context;
    Statement &m_list;
    QString m_keyColumn;
    QSet<QString> m_handled;
    // The row whose unit runs: what the report names should the connection,
    // and with it the list, close under it.
    int m_rowInHand = -1;
    std::function<void()> m_announce;
    GroupWork *m_groupWork = nullptr;
};

} // namespace zym
