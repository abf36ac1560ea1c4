#pragma once

#include "TdsWire.h"

#include <QList>
#include <QVariantList>

namespace zym::test::tds {

// A result column as it goes on the wire.
struct Column
{
    QString name;
    quint8 type = BigVarChar; // IntN, BigVarChar, NVarChar, DateTimN, FltN or DecimalN
    int size = 0; // bytes: 4 or 8 for IntN, the width for text
    int precision = 0;
    int scale = 0;
    int codePage = Turkish; // of text
};

// The tokens of one reply message, in the order they are added.
class Reply
{
public:
    // DONE status bits and the current commands SQL Server reports.
    enum DoneStatus : quint16 { More = 0x01, Failed = 0x02, Counted = 0x10, Attended = 0x20 };
    enum Command : quint16 {
        NoCommand = 0,
        Select = 0xC1,
        Insert = 0xC3,
        Delete = 0xC4,
        Update = 0xC5
    };
    enum DoneToken : quint8 { Done = 0xFD, DoneProc = 0xFE, DoneInProc = 0xFF };

    void loginAck();
    // ENVCHANGE database and collation, as SQL Server sends at a login and a USE.
    void databaseChanged(const QString &to, const QString &from, int codePage);
    void sessionSettings(int packetSize);
    // ENVCHANGE 8, 9 and 10, carrying the transaction's descriptor.
    void transactionBegun(quint64 descriptor);
    void transactionCommitted(quint64 descriptor);
    void transactionRolledBack(quint64 descriptor);

    void info(int number, const QString &text);
    void error(int number, int severity, const QString &text);
    void done(DoneToken token, quint16 status, quint16 command = NoCommand, qint64 rows = 0);

    void columns(const QList<Column> &columns);
    void row(const QList<Column> &columns, const QVariantList &values);
    void returnStatus(int status);
    void returnValue(quint16 ordinal, const QString &name, int value);

    const QByteArray &message() const { return m_out.data(); }
    bool isEmpty() const { return m_out.size() == 0; }

private:
    void envChange(quint8 type, const QByteArray &newValue, const QByteArray &oldValue);
    void message(quint8 token, int number, int severity, const QString &text);
    void typeInfo(const Column &column);
    void value(const Column &column, const QVariant &value);

    WireWriter m_out;
};

} // namespace zym::test::tds
