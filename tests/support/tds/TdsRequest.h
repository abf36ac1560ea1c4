#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace zym::test::tds {

// One parameter of a remote procedure call: its name ("@P1", or empty when
// passed by position), whether it is an OUT parameter, the wire type it came
// as and its value (a null QVariant for NULL).
struct Parameter
{
    QString name;
    bool output = false;
    quint8 wireType = 0;
    QVariant value;
};

// A client's request as it came off the wire.
struct Request
{
    enum class Kind { Batch, Rpc, Transaction, Attention };
    // Transaction-manager requests.
    enum TransactionRequest : quint16 { Begin = 5, Commit = 7, Rollback = 8, Save = 9 };

    Kind kind = Kind::Batch;
    QString text; // a batch's text
    QString procedure; // an RPC's procedure, by name ("sp_prepexec")
    QList<Parameter> parameters;
    quint16 transactionRequest = 0;
    QString transactionName;
    bool beginsNext = false; // a commit or rollback that begins the next transaction

    // Empty when the message is not a request the stand-in reads.
    static std::optional<Request> decode(quint8 packetType, const QByteArray &payload);
};

// The names of the procedures the client calls by number.
QString procedureName(quint16 id);

// The declared parameter names in a declaration such as "@P1 varchar(40),@P2 int".
QStringList declaredNames(const QString &declaration);

} // namespace zym::test::tds
