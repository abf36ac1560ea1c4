#include "Walk.h"

#include "Prompter.h"

#include "db/Error.h"
#include "db/UnitOfWork.h"
#include "ops/Session.h"

#include <QElapsedTimer>

#include <exception>
#include <optional>

namespace zym {

// Shows progress while a walk runs and takes it down however the walk ends.
class Walk::ProgressShown
{
public:
    ProgressShown(Progress &progress, int total) : m_progress(progress) { m_progress.start(total); }
    ~ProgressShown() { finish(); }
    ProgressShown(const ProgressShown &) = delete;
    ProgressShown &operator=(const ProgressShown &) = delete;

    // One more row walked; false when the operator asked to stop.
    bool step() { return m_progress.step(++m_walked); }

    void finish()
    {
        if (!m_shown)
            return;
        m_shown = false;
        m_progress.finish();
    }

private:
    Progress &m_progress;
    int m_walked = 0;
    bool m_shown = true;
};

// The units since the last commit: one transaction, the row it started on,
// and the keys its units handled.
class Walk::Group
{
public:
    Group(Connection &connection, GroupWork *work, Progress &progress)
        : m_connection(connection), m_groupWork(work), m_progress(progress)
    {
    }

    bool isOpen() const { return m_work.has_value(); }
    int firstRow() const { return m_firstRow; }
    int size() const { return m_units; }
    const QSet<QString> &keys() const { return m_keys; }
    bool holds(const QString &key) const { return m_keys.contains(key); }

    void open(int row)
    {
        m_work.emplace(m_connection);
        if (m_groupWork)
            m_groupWork->startGroup();
        m_firstRow = row;
        m_age.start();
    }

    void add(const std::optional<QString> &key)
    {
        if (key)
            m_keys.insert(*key);
        ++m_units;
    }

    bool isDue(const CommitGrouping &grouping) const
    {
        return size() >= grouping.maxUnits || m_age.elapsed() >= grouping.maxAgeMs;
    }

    // Finishes and commits the group; a refusal of either leaves it rolled
    // back and raises.
    void commit()
    {
        end([this] {
            if (m_groupWork) {
                try {
                    m_groupWork->finishGroup(m_progress);
                } catch (...) {
                    m_work->rollbackAfter(errorInFlight());
                    throw;
                }
            }
            m_work->commit();
        });
    }

    void rollbackAfter(const QString &cause)
    {
        forget();
        end([this, &cause] { m_work->rollbackAfter(cause); });
    }

    void forget()
    {
        m_keys.clear();
        m_units = 0;
    }

private:
    template<typename Ending>
    void end(Ending ending)
    {
        try {
            ending();
        } catch (...) {
            m_work.reset();
            throw;
        }
        m_work.reset();
    }

    Connection &m_connection;
    GroupWork *m_groupWork;
    Progress &m_progress;
    std::optional<UnitOfWork> m_work;
    QSet<QString> m_keys;
    int m_units = 0;
    int m_firstRow = 0;
    QElapsedTimer m_age;
};

Walk::Walk(const OperationContext &context, Statement &list) : m_context(context), m_list(list) { }

Walk &Walk::skipRepeated(const QString &keyColumn)
{
    m_keyColumn = keyColumn;
    return *this;
}

Walk &Walk::beforeEachUnit(std::function<void()> announce)
{
    m_announce = std::move(announce);
    return *this;
}

Walk &Walk::groupWork(GroupWork &work)
{
    m_groupWork = &work;
    return *this;
}

WalkEnd Walk::run(const std::function<UnitResult()> &unit)
{
    return walk(unit, { [] {}, [] {} });
}

std::optional<QString> Walk::keyOfRow() const
{
    if (m_keyColumn.isEmpty() || m_list.value(m_keyColumn).isNull())
        return std::nullopt;
    return m_list.readText(m_keyColumn);
}

bool Walk::isRepeated(const std::optional<QString> &key, const Group &group) const
{
    return key && (m_handled.contains(*key) || group.holds(*key));
}

WalkEnd Walk::walk(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    if (!m_list.atEnd() && m_context.beforeChanges)
        m_context.beforeChanges();
    RunRecorder &recorder = m_context.recorder;
    recorder.begin();
    try {
        const WalkEnd end = walkRows(unit, checkpoint);
        if (end == WalkEnd::End)
            recorder.end({});
        else if (end == WalkEnd::Cancelled)
            recorder.end({ RunEnd::Reason::Cancelled, QString(), m_list.currentRow() });
        return end;
    } catch (...) {
        recorder.failed(m_list.isOpen() ? m_list.currentRow() : m_rowInHand);
        throw;
    }
}

WalkEnd Walk::walkRows(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    if (m_list.atEnd())
        return WalkEnd::End;
    ProgressShown progress(m_context.progress, m_list.rowCount() - m_list.currentRow());
    try {
        return walkGroups(progress, unit, checkpoint);
    } catch (const Stop &stop) {
        // The notice comes once no transaction is open, the progress gone.
        m_context.recorder.end({ RunEnd::Reason::Conflict, stop.notice, m_list.currentRow() });
        progress.finish();
        m_context.prompter.notify(stop.notice);
        return WalkEnd::Stopped;
    }
}

WalkEnd Walk::walkGroups(ProgressShown &progress, const std::function<UnitResult()> &unit,
                         const Checkpoint &checkpoint)
{
    Group group(m_context.session.connection, m_groupWork, m_context.progress);
    for (; !m_list.atEnd(); m_list.next()) {
        const int row = m_rowInHand = m_list.currentRow();
        const std::optional<QString> key = keyOfRow();
        if (!isRepeated(key, group)) {
            if (m_announce) {
                commit(group, row, unit, checkpoint);
                m_announce();
            }
            if (!group.isOpen()) {
                checkpoint.save();
                group.open(row);
            }
            runInGroup(row, key, group, unit, checkpoint);
        }
        // A cancel pressed during the last row's unit stops nothing: the
        // run has finished.
        if (!progress.step() && row + 1 < m_list.rowCount()) {
            commit(group, row + 1, unit, checkpoint);
            m_list.next();
            return WalkEnd::Cancelled;
        }
    }
    commit(group, m_list.rowCount(), unit, checkpoint);
    return WalkEnd::End;
}

void Walk::runInGroup(int row, const std::optional<QString> &key, Group &group,
                      const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    UnitResult result = UnitResult::done();
    try {
        result = unit();
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        rollBack(group, errorInFlight());
        replayGroup(row, group, unit, checkpoint);
        runAgainAfter(failure, unit, checkpoint);
        if (key)
            m_handled.insert(*key);
        return;
    }
    if (result.stopped()) {
        rollBack(group, QString());
        replayGroup(row, group, unit, checkpoint);
        throw Stop{ result.notice() };
    }
    m_context.recorder.unitDone(row, result.note());
    group.add(key);
    if (group.isDue(m_context.grouping))
        commit(group, row + 1, unit, checkpoint);
}

// A rollback that fails closes the connection, which keeps nothing of the
// group: the run stops at the group's first row.
void Walk::rollBack(Group &group, const QString &cause)
{
    try {
        group.rollbackAfter(cause);
    } catch (...) {
        m_rowInHand = group.firstRow();
        throw;
    }
}

// A unit the server chose to lose a deadlock runs again once; one that met
// a record another user holds runs again as often as the operator asks,
// with no transaction open while he is asked. Each time it runs on its own.
void Walk::runAgainAfter(std::exception_ptr failure, const std::function<UnitResult()> &unit,
                         const Checkpoint &checkpoint)
{
    bool deadlockLost = false;
    for (;;) {
        const Error::Cause cause = causeOf(failure);
        if (cause == Error::Cause::DeadlockVictim && !deadlockLost) {
            deadlockLost = true;
        } else if (cause == Error::Cause::Locked) {
            const QString locked = lockedText(failure);
            if (!m_context.prompter.confirm(locked + QStringLiteral("\n\nTekrar denensin mi?"),
                                            OperatorTexts::warningTitle))
                throw Error(locked, cause);
        } else {
            std::rethrow_exception(failure);
        }
        try {
            const UnitResult result = runAlone(unit, checkpoint);
            if (result.stopped())
                throw Stop{ result.notice() };
            return;
        } catch (const Stop &) {
            throw;
        } catch (...) {
            failure = std::current_exception();
        }
    }
}

QString Walk::lockedText(const std::exception_ptr &failure) const
{
    QString serverText;
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        serverText = errorInFlight();
    }
    return QStringLiteral("Kayıt kilitli: liste satırı %1 (başka bir kullanıcı kullanıyor)\n%2")
            .arg(m_list.currentRow() + 1)
            .arg(serverText);
}

// Commits the group, whose rows end before `endRow`; the list stays where it is.
void Walk::commit(Group &group, int endRow, const std::function<UnitResult()> &unit,
                  const Checkpoint &checkpoint)
{
    if (!group.isOpen())
        return;
    const QSet<QString> keys = group.keys();
    const int here = m_list.currentRow();
    try {
        group.commit();
    } catch (const Error &) {
        // A rollback that failed closed the connection: nothing runs again,
        // and nothing of the group is kept.
        if (!m_context.session.connection.isOpen()) {
            m_rowInHand = group.firstRow();
            throw;
        }
        // Which unit the server refused is unknown: each runs again on its
        // own, and the one whose commit is refused raises on its row.
        group.forget();
        replayGroup(endRow, group, unit, checkpoint);
        m_list.setCurrentRow(here);
        return;
    }
    for (const QString &key : keys)
        m_handled.insert(key);
    group.forget();
}

// Settles a group that was rolled back, whichever way it ended: its units
// before `row` run again, each committed on its own, and the list is left on
// `row`. A unit that stops now (the database changed meanwhile) ends the
// walk on its own row, as any stop does.
void Walk::replayGroup(int row, Group &group, const std::function<UnitResult()> &unit,
                       const Checkpoint &checkpoint)
{
    checkpoint.restore();
    const UnitResult replayed = replayUntil(row, group, unit, checkpoint);
    if (replayed.stopped())
        throw Stop{ replayed.notice() };
}

// Runs the units from the group's first row up to `row` (not included) again,
// each committed on its own, and leaves the list on `row`. A unit that fails
// or stops now ends the replay on its row.
UnitResult Walk::replayUntil(int row, Group &group, const std::function<UnitResult()> &unit,
                             const Checkpoint &checkpoint)
{
    for (m_list.setCurrentRow(group.firstRow()); m_list.currentRow() < row; m_list.next()) {
        m_rowInHand = m_list.currentRow();
        const std::optional<QString> key = keyOfRow();
        if (isRepeated(key, group))
            continue;
        const UnitResult result = runAlone(unit, checkpoint);
        if (result.stopped())
            return result;
        if (key)
            m_handled.insert(*key);
    }
    return UnitResult::done();
}

UnitResult Walk::runAlone(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    checkpoint.save();
    Group alone(m_context.session.connection, m_groupWork, m_context.progress);
    alone.open(m_list.currentRow());
    try {
        const UnitResult result = unit();
        if (result.stopped()) {
            checkpoint.restore();
            alone.rollbackAfter(QString());
        } else {
            m_context.recorder.unitDone(m_list.currentRow(), result.note());
            alone.commit();
        }
        return result;
    } catch (...) {
        checkpoint.restore();
        if (alone.isOpen())
            alone.rollbackAfter(errorInFlight());
        throw;
    }
}

} // namespace zym
