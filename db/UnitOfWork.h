#pragma once

#include <QString>

namespace zym {

class Connection;

// One unit of work (a card, a voucher, a registry row): a transaction opened
// here and ended by commit() or rollback(). A unit left open, as when an
// error passes by, is rolled back.
class UnitOfWork
{
public:
    explicit UnitOfWork(Connection &connection);
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork &) = delete;
    UnitOfWork &operator=(const UnitOfWork &) = delete;

    // A refused commit leaves the unit rolled back and raises.
    void commit();
    void rollback();
    // Rolls back a unit that the error `cause` ended. Should the rollback
    // fail, the error raised names both.
    void rollbackAfter(const QString &cause);

private:
    Connection &m_connection;
    bool m_open = true;
};

} // namespace zym
