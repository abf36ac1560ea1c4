#pragma once

#include "TdsRequest.h"

#include <QList>
#include <QMutex>

namespace zym::test::tds {

// A request as the stand-in received it: for an RPC, the statement text it
// carries (a prepared one's for sp_execute), how it declares its parameters
// ("@P1 varchar(80),@P2 int") and the statement's values, named as the
// declaration names them.
struct RecordedRequest
{
    int connection = 0;
    Request::Kind kind = Request::Kind::Batch;
    QString procedure;
    QString text;
    QString declaration;
    QList<Parameter> values;
    quint16 transactionRequest = 0;

    // A cursor procedure: SQL Server runs what it carries as a procedure
    // call of its own.
    bool inCursor() const { return procedure.startsWith(QStringLiteral("sp_cursor")); }
};

// A statement as the stand-in ran it, with the database it ran in.
struct RecordedStatement
{
    int connection = 0;
    QString procedure; // empty for a batch
    QString text;
    QString database;
};

// What every connection of the stand-in received and ran, in order.
class Record
{
public:
    void add(const RecordedRequest &request);
    void add(const RecordedStatement &statement);
    QList<RecordedRequest> requests() const;
    QList<RecordedStatement> statements() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QList<RecordedRequest> m_requests;
    QList<RecordedStatement> m_statements;
};

} // namespace zym::test::tds
