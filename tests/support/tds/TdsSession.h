#pragma once

#include "TdsEngine.h"
#include "TdsRequest.h"

#include <QHash>

#include <atomic>

class QTcpSocket;

namespace zym::test::tds {

class FaultPlan;
class Record;

// One client connection, served on a thread of its own: the login, then
// each request answered in turn until the client hangs up or the stand-in
// stops.
class Session
{
public:
    Session(int id, const QString &folder, FaultPlan &faults, const Collations &collations,
            Record &record, const std::atomic_bool &scopingCalls);

    void serve(qintptr socketDescriptor, const std::atomic_bool &stopping);
    // Starts the session under NOCOUNT, as a server whose user options hold it.
    void setNoCount(bool noCount) { m_engine.setNoCount(noCount); }

private:
    // The reply to one message; empty when the connection is to be dropped.
    std::optional<QByteArray> answer(quint8 type, const QByteArray &payload);
    QByteArray login(const QByteArray &payload);
    Engine::Outcome call(const Request &request, Reply &reply);
    Engine::Outcome execute(const QString &text, const QString &declaration,
                            const QList<Parameter> &values, const Request &request, Reply &reply,
                            RowSet *cursor = nullptr);
    void fetch(const Request &request, Reply &reply);
    void record(const Request &request, const QString &text, const QList<Parameter> &values,
                const QString &declaration = QString());

    int m_id;
    Record &m_record;
    const std::atomic_bool &m_scopingCalls;
    Engine m_engine;
    int m_packetSize = 4096;
    QString m_procedure; // the RPC whose statements are running, empty for a batch
    struct Prepared
    {
        QString declaration;
        QString text;
    };
    QHash<int, Prepared> m_prepared;
    QHash<int, RowSet> m_cursors;
    QHash<int, qsizetype> m_cursorPositions;
    int m_lastHandle = 0;
};

} // namespace zym::test::tds
