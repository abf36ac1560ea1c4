#pragma once

namespace zym {
class Connection;
}

namespace zym::test {

// Makes commits of an embedded connection fail, as a server refusing a
// commit would: the `failing`-th commit from now on (1 for the next) and
// every one after it, until this object is gone. SQLite then rolls the
// transaction back, and the COMMIT reports an error.
class CommitRefusal
{
public:
    CommitRefusal(Connection &connection, int failing = 1);
    ~CommitRefusal();
    CommitRefusal(const CommitRefusal &) = delete;
    CommitRefusal &operator=(const CommitRefusal &) = delete;

private:
    static int onCommit(void *self);

    void *m_db;
    int m_countdown;
};

} // namespace zym::test
