#pragma once

namespace zym {

class Connection;

// One unit of work (a card, a voucher, a registry row): a transaction opened
// here, committed by commit(), rolled back when the unit is left without
// commit, as when a statement of it raises an error.
class UnitOfWork
{
public:
    explicit UnitOfWork(Connection &connection);
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork &) = delete;
    UnitOfWork &operator=(const UnitOfWork &) = delete;

    void commit();

private:
    Connection &m_connection;
    bool m_done = false;
};

} // namespace zym
