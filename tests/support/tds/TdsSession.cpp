#include "TdsSession.h"

#include "TdsLogin.h"
#include "TdsMessageReader.h"
#include "TdsRecord.h"

#include <QTcpSocket>
#include <QtEndian>

namespace zym::test::tds {

namespace {

constexpr int waitMs = 100;

enum FetchType {
    First = 0x01,
    Next = 0x02,
    Previous = 0x04,
    Last = 0x08,
    Absolute = 0x10,
    Relative = 0x20
};

QVariant valueAt(const QList<Parameter> &parameters, qsizetype index)
{
    return index < parameters.size() ? parameters.at(index).value : QVariant();
}

QString nameAt(const QList<Parameter> &parameters, qsizetype index)
{
    return index < parameters.size() ? parameters.at(index).name : QString();
}

// The statement's values named as the declaration names them, where the
// client sent them by position.
QList<Parameter> named(const QString &declaration, QList<Parameter> values)
{
    const QStringList names = declaredNames(declaration);
    for (qsizetype i = 0; i < values.size() && i < names.size(); ++i) {
        if (values.at(i).name.isEmpty())
            values[i].name = names.at(i);
    }
    return values;
}

} // namespace

Session::Session(int id, const QString &folder, FaultPlan &faults, const Collations &collations,
                 Record &record, const std::atomic_bool &scopingCalls)
    : m_id(id), m_record(record), m_scopingCalls(scopingCalls), m_engine(folder, faults, collations)
{
    m_engine.onStatement = [this](const QString &statement, const QString &database) {
        m_record.add(RecordedStatement{ m_id, m_procedure, statement, database });
    };
}

void Session::serve(qintptr socketDescriptor, const std::atomic_bool &stopping)
{
    QTcpSocket socket;
    if (!socket.setSocketDescriptor(socketDescriptor))
        return;
    TdsMessageReader reader;
    while (!stopping && socket.state() == QAbstractSocket::ConnectedState) {
        if (!socket.waitForReadyRead(waitMs) && socket.bytesAvailable() == 0)
            continue;
        reader.append(socket.readAll());
        while (const auto message = reader.next()) {
            const auto reply = answer(message->type, message->payload);
            if (!reply) {
                socket.abort();
                return;
            }
            socket.write(*reply);
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(waitMs * 10)) { }
        }
        if (reader.isBroken())
            socket.abort();
    }
}

std::optional<QByteArray> Session::answer(quint8 type, const QByteArray &payload)
{
    if (type == PreLogin)
        return preLoginReply();
    if (type == Login7)
        return packets(TabularResult, login(payload), m_packetSize);
    Reply reply;
    const auto request = Request::decode(type, payload);
    if (!request) {
        reply.error(50000, 16, QStringLiteral("The stand-in cannot read this request."));
        reply.done(Reply::Done, Reply::Failed);
        return packets(TabularResult, reply.message(), m_packetSize);
    }
    Engine::Outcome outcome = Engine::Outcome::Done;
    switch (request->kind) {
    case Request::Kind::Batch:
        record(*request, request->text, {});
        m_procedure.clear();
        outcome = m_engine.run(request->text, {}, reply, Reply::Done);
        break;
    case Request::Kind::Rpc:
        outcome = call(*request, reply);
        break;
    case Request::Kind::Transaction:
        record(*request, request->transactionName, {});
        m_engine.transactionRequest(*request, reply);
        break;
    case Request::Kind::Attention:
        record(*request, QString(), {});
        reply.done(Reply::Done, Reply::Attended);
        break;
    }
    if (outcome == Engine::Outcome::Dropped)
        return std::nullopt;
    return packets(TabularResult, reply.message(), m_packetSize);
}

QByteArray Session::login(const QByteArray &payload)
{
    Reply reply;
    const auto login = TdsLogin::decode(payload);
    if (payload.size() >= 12)
        m_packetSize = qBound(512, int(qFromLittleEndian<quint32>(payload.constData() + 8)), 32767);
    if (!login || !m_engine.login(login->database, reply)) {
        if (!login)
            reply.error(18456, 14, QStringLiteral("Login failed."));
        reply.done(Reply::Done, Reply::Failed);
        return reply.message();
    }
    reply.sessionSettings(m_packetSize);
    reply.loginAck();
    reply.done(Reply::Done, 0);
    return reply.message();
}

Engine::Outcome Session::call(const Request &request, Reply &reply)
{
    const QList<Parameter> &parameters = request.parameters;
    const QString procedure = request.procedure.toLower();
    const QString database = m_engine.database();
    m_procedure = procedure;
    Engine::Outcome outcome = Engine::Outcome::Done;
    if (procedure == u"sp_prepexec" || procedure == u"sp_prepare") {
        const int handle = ++m_lastHandle;
        const Prepared prepared{ valueAt(parameters, 1).toString(),
                                 valueAt(parameters, 2).toString() };
        m_prepared.insert(handle, prepared);
        if (procedure == u"sp_prepexec")
            outcome =
                    execute(prepared.text, prepared.declaration, parameters.mid(3), request, reply);
        else
            record(request, prepared.text, {});
        reply.returnStatus(0);
        reply.returnValue(0, nameAt(parameters, 0), handle);
    } else if (procedure == u"sp_execute") {
        const int handle = valueAt(parameters, 0).toInt();
        if (!m_prepared.contains(handle)) {
            record(request, QString(), {});
            reply.error(8179, 16,
                        QStringLiteral("Could not find prepared statement with handle %1.")
                                .arg(handle));
            outcome = Engine::Outcome::Failed;
        } else {
            const Prepared prepared = m_prepared.value(handle);
            outcome =
                    execute(prepared.text, prepared.declaration, parameters.mid(1), request, reply);
            reply.returnStatus(0);
        }
    } else if (procedure == u"sp_executesql") {
        outcome = execute(valueAt(parameters, 0).toString(), valueAt(parameters, 1).toString(),
                          parameters.mid(2), request, reply);
        reply.returnStatus(0);
    } else if (procedure == u"sp_cursoropen") {
        RowSet rows;
        outcome = execute(valueAt(parameters, 1).toString(), valueAt(parameters, 5).toString(),
                          parameters.mid(6), request, reply, &rows);
        const int handle = rows.columns.isEmpty() ? 0 : ++m_lastHandle;
        if (handle) {
            m_cursors.insert(handle, rows);
            m_cursorPositions.insert(handle, 0);
        }
        reply.returnStatus(0);
        reply.returnValue(0, nameAt(parameters, 0), handle);
        reply.returnValue(2, nameAt(parameters, 2), valueAt(parameters, 2).toInt());
        reply.returnValue(3, nameAt(parameters, 3), valueAt(parameters, 3).toInt());
        reply.returnValue(4, nameAt(parameters, 4), int(rows.rows.size()));
    } else if (procedure == u"sp_cursorfetch") {
        record(request, QString(), {});
        fetch(request, reply);
        reply.returnStatus(0);
    } else if (procedure == u"sp_unprepare" || procedure == u"sp_cursorclose"
               || procedure == u"sp_cursoroption") {
        const int handle = valueAt(parameters, 0).toInt();
        record(request, procedure == u"sp_unprepare" ? m_prepared.value(handle).text : QString(),
               {});
        if (procedure == u"sp_unprepare")
            m_prepared.remove(handle);
        else if (procedure == u"sp_cursorclose")
            m_cursors.remove(handle);
        reply.returnStatus(0);
    } else {
        record(request, QString(), {});
        reply.error(2812, 16,
                    QStringLiteral("Could not find stored procedure '%1'.").arg(request.procedure));
        outcome = Engine::Outcome::Failed;
    }
    if (m_scopingCalls && m_engine.database() != database)
        m_engine.use(database, reply);
    if (outcome != Engine::Outcome::Dropped)
        reply.done(Reply::DoneProc, outcome == Engine::Outcome::Failed ? Reply::Failed : 0);
    return outcome;
}

Engine::Outcome Session::execute(const QString &text, const QString &declaration,
                                 const QList<Parameter> &values, const Request &request,
                                 Reply &reply, RowSet *cursor)
{
    const QList<Parameter> statementValues = named(declaration, values);
    record(request, text, statementValues, declaration);
    QVariantMap bound;
    for (const Parameter &value : statementValues)
        bound.insert(value.name, value.value);
    return m_engine.run(text, bound, reply, Reply::DoneInProc, cursor);
}

void Session::fetch(const Request &request, Reply &reply)
{
    const int handle = valueAt(request.parameters, 0).toInt();
    const int type = valueAt(request.parameters, 1).toInt();
    const int rowNumber = valueAt(request.parameters, 2).toInt();
    const int count = qMax(1, valueAt(request.parameters, 3).toInt());
    const RowSet rows = m_cursors.value(handle);
    qsizetype &position = m_cursorPositions[handle];
    switch (type & 0xFF) {
    case First:
        position = 0;
        break;
    case Previous:
        position = qMax<qsizetype>(0, position - 2 * count);
        break;
    case Last:
        position = qMax<qsizetype>(0, rows.rows.size() - count);
        break;
    case Absolute:
        position = qMax(0, rowNumber - 1);
        break;
    case Relative:
        position = qMax<qsizetype>(0, position + rowNumber - 1);
        break;
    }
    const QList<QVariantList> sent = rows.rows.mid(position, count);
    position += sent.size();
    reply.columns(rows.columns);
    for (const QVariantList &row : sent)
        reply.row(rows.columns, row);
    reply.done(Reply::DoneInProc, Reply::More | Reply::Counted, Reply::Select, sent.size());
}

void Session::record(const Request &request, const QString &text, const QList<Parameter> &values,
                     const QString &declaration)
{
    m_record.add(RecordedRequest{ m_id, request.kind, request.procedure, text, declaration, values,
                                  request.transactionRequest });
}

} // namespace zym::test::tds
