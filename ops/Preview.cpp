#include "Preview.h"

#include "db/Error.h"
#include "ops/Session.h"

#include <array>

namespace zym {

namespace {

// The session's lists as they were, put back when this is gone. A
// connection lost meanwhile took the lists with it: they stay closed.
class ListsKept
{
public:
    explicit ListsKept(Session &session)
        : m_connection(session.connection),
          m_lists{ &session.cardList, &session.voucherList, &session.journalLines,
                   &session.registryList }
    {
        for (std::size_t i = 0; i < m_lists.size(); ++i)
            m_held[i] = m_lists[i]->snapshot();
    }

    ~ListsKept()
    {
        if (!m_connection.isOpen())
            return;
        for (std::size_t i = 0; i < m_lists.size(); ++i)
            m_lists[i]->restore(m_held[i]);
    }

    ListsKept(const ListsKept &) = delete;
    ListsKept &operator=(const ListsKept &) = delete;

private:
    const Connection &m_connection;
    std::array<Statement *, 4> m_lists;
    std::array<Statement::Snapshot, 4> m_held;
};

// Ends the preview that the error `cause` ended. Should that fail too, the
// error raised names both.
void endPreviewAfter(Connection &connection, const QString &cause)
{
    try {
        connection.endPreview();
    } catch (const Error &failure) {
        throw Error(cause.isEmpty() ? failure.text() : cause + u'\n' + failure.text());
    }
}

} // namespace

void runAsPreview(Session &session, const std::function<void()> &operation)
{
    const ListsKept lists(session);
    Connection &connection = session.connection;
    connection.beginPreview();
    try {
        operation();
    } catch (...) {
        endPreviewAfter(connection, errorInFlight());
        throw;
    }
    connection.endPreview();
}

} // namespace zym
