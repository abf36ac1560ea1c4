#pragma once

#include <QString>

namespace zym {

class Connection;
class Error;

// The units of work and the preview of one connection. A unit is one
// transaction; units do not nest. Inside a preview, a unit is a savepoint of
// the preview's one transaction instead, and the preview always ends rolled
// back. Every ending of a unit is told to the connection's observers.
class Transactions
{
public:
    explicit Transactions(Connection &connection) : m_connection(connection) { }

    void beginUnit();
    // A commit the server refuses leaves the unit rolled back and raises.
    void commitUnit();
    // A rollback that fails leaves the unit's state unknown: the connection
    // is closed and the driver's text raised.
    void rollbackUnit();
    bool inUnit() const { return m_inUnit; }

    // A preview: everything from here to endPreview runs in one transaction,
    // which endPreview rolls back, so nothing of it is kept, and the locks it
    // takes are held until it ends. Each unit inside it is a savepoint: its
    // commit releases it, its rollback goes back to it, so a unit stays all
    // or nothing within the preview. What a server checks only at a real
    // commit (SQLite's deferred foreign keys) is not checked by a release.
    // A rollback that fails closes the connection, which keeps nothing of an
    // open transaction, and raises.
    void beginPreview();
    void endPreview();
    bool inPreview() const { return m_inPreview; }

    // The connection is closing: an open unit ends, not kept, and so does
    // the preview. Returns whether a real unit's transaction is to be rolled back.
    bool closing();

private:
    void commitPreviewUnit();
    // Rolls back the unit's transaction unless the server has already done
    // so itself (a deadlock, a trigger's rollback); a failure closes the
    // connection and raises, after `cause` where there is one.
    void rollbackRealUnit(const QString &cause);
    // Whether the server, refusing a rollback with `refusal`, holds no
    // transaction any more; false where that cannot be told.
    bool endedByTheServer(const Error &refusal) const;
    // A unit's ending was refused with `refused`: rolls the unit back and raises.
    [[noreturn]] void rollbackRefused(const Error &refused);
    void endUnit(bool kept);
    // The rollback of a unit failed with `failure`: closes the connection
    // and raises.
    [[noreturn]] void failUnit(const QString &cause, const Error &failure);

    Connection &m_connection;
    bool m_inUnit = false;
    bool m_inPreview = false;
};

} // namespace zym
