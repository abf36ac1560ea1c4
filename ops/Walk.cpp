#include "Walk.h"

#include "Prompter.h"

#include "db/Error.h"
#include "db/Session.h"
#include "db/UnitOfWork.h"

namespace zym {

namespace {

// Shows progress while a walk runs and takes it down however the walk ends.
class ProgressShown
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

} // namespace

Walk::Walk(const OperationContext &context, Statement &list)
    : m_context(context)
    , m_list(list)
{
}

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

WalkEnd Walk::run(const std::function<UnitResult()> &unit)
{
    return walk(unit, {[] {}, [] {}});
}

WalkEnd Walk::walk(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    if (m_list.atEnd())
        return WalkEnd::End;
    ProgressShown progress(m_context.progress, m_list.rowCount() - m_list.currentRow());
    for (; !m_list.atEnd(); m_list.next()) {
        const QString key = m_keyColumn.isEmpty() ? QString() : m_list.readText(m_keyColumn);
        if (m_keyColumn.isEmpty() || !m_handled.contains(key)) {
            if (m_announce)
                m_announce();
            const UnitResult result = runUnit(unit, checkpoint);
            if (result.stopped()) {
                progress.finish();
                m_context.prompter.notify(result.notice());
                return WalkEnd::Stopped;
            }
            if (!m_keyColumn.isEmpty())
                m_handled.insert(key);
        }
        if (!progress.step()) {
            m_list.next();
            return WalkEnd::Cancelled;
        }
    }
    return WalkEnd::End;
}

UnitResult Walk::runUnit(const std::function<UnitResult()> &unit, const Checkpoint &checkpoint)
{
    checkpoint.save();
    UnitOfWork work(m_context.session.connection);
    try {
        const UnitResult result = unit();
        if (result.stopped()) {
            checkpoint.restore();
            work.rollback();
        } else {
            work.commit();
        }
        return result;
    } catch (const Error &error) {
        checkpoint.restore();
        work.rollbackAfter(error.text());
        throw;
    } catch (...) {
        checkpoint.restore();
        work.rollbackAfter(QString());
        throw;
    }
}

} // namespace zym
