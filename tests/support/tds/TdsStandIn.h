#pragma once

#include "TdsEngine.h"
#include "TdsFaults.h"
#include "TdsRecord.h"

#include <QThread>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace zym::test::tds {

class Listener;

// A stand-in for SQL Server on 127.0.0.1, for tests: it speaks TDS 7.4 as far
// as FreeTDS and the tool need, and runs what arrives on the SQLite files of
// a folder, NAME.sqlite for the database NAME, so that a test reaches the
// same rows through the SQL Server dialect as through the embedded one.
//
// It emulates: PRELOGIN without encryption; LOGIN7 into an existing
// database (error 4060 otherwise) with the database, collation (Turkish_CI_AS,
// code page 1254, or Latin1_General_CI_AS where a test sets it; also at a
// USE, and asked for by COLLATIONPROPERTY(..., 'CodePage')), language and
// packet size; SQL batches of statements
// split at ";"; the RPCs sp_prepexec, sp_prepare, sp_execute, sp_unprepare,
// sp_executesql, sp_cursoropen/fetch/close/option (a cursor's rows are read
// at the open); transaction-manager begin, commit, rollback and save, with
// the transaction ENVCHANGEs; attention. In statements: USE [db], BEGIN,
// COMMIT, ROLLBACK and SAVE TRANSACTION with @@TRANCOUNT and savepoints,
// IF @@TRANCOUNT > 0 ..., SET NOCOUNT, other SET options (ignored), @Pn parameters, [names],
// ISNULL and db.dbo.table names; result types from the columns' declared
// types (VARCHAR(n), INTEGER, DATETIME, DECIMAL), codes compared as the
// columns declare (NOCASE, RTRIM); SQLite's failures as SQL Server's error
// numbers (2627, 547, 8152, 515, 1222, 208, 207, 102, 50000 for a trigger's
// RAISE), and the faults a test asks for (see Fault).
//
// It cannot: lock as SQL Server does (SQLite locks whole files, one writer
// at a time, waiting up to 5 s); optimise, or run T-SQL beyond what SQLite
// reads; scope a transaction to the procedure call that carried it (it
// records where each statement arrived instead, see Record); change the
// database inside a transaction; run triggers other than SQLite's own.
class StandIn
{
public:
    explicit StandIn(const QString &folder);
    ~StandIn();
    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;

    // Starts listening on a free loopback port.
    bool listen();
    quint16 port() const { return m_port; }
    // The server text the tool's window would be given: "127.0.0.1,PORT".
    QString serverText() const;

    Record &record() { return m_record; }
    FaultPlan &faults() { return m_faults; }

    // Makes a USE inside a procedure call (sp_executesql, sp_prepexec, a
    // cursor procedure) last only until the call ends, as SQL Server scopes
    // it; off by default, so that tests of other things run on.
    void setScopingCalls(bool scoping) { m_scopingCalls = scoping; }
    // Makes later logins start under SET NOCOUNT ON, as on a server whose
    // 'user options' include NOCOUNT: no statement reports its row count
    // until the client sends SET NOCOUNT OFF.
    void setNoCountByDefault(bool noCount) { m_noCountByDefault = noCount; }
    // Gives `database` the collation of `codePage` (Turkish or Latin1) from
    // its next login or USE on.
    void setCodePage(const QString &database, int codePage)
    {
        m_collations.set(database, codePage);
    }

private:
    void accept(qintptr socketDescriptor);

    QString m_folder;
    QThread m_thread;
    Listener *m_listener;
    quint16 m_port = 0;
    Record m_record;
    FaultPlan m_faults;
    Collations m_collations;
    std::atomic_bool m_stopping{ false };
    std::atomic_bool m_scopingCalls{ false };
    std::atomic_bool m_noCountByDefault{ false };
    std::mutex m_sessionsMutex;
    std::list<std::thread> m_sessions;
    int m_lastSession = 0;
};

} // namespace zym::test::tds
