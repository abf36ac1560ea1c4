#include "TdsReply.h"

#include <cmath>
#include <cstring>

namespace zym::test::tds {

namespace {

enum Token : quint8 {
    ColMetadata = 0x81,
    ReturnStatus = 0x79,
    ReturnValue = 0xAC,
    Error = 0xAA,
    Info = 0xAB,
    LoginAck = 0xAD,
    EnvChange = 0xE3,
    Row = 0xD1
};
enum EnvType : quint8 {
    Database = 1,
    Language = 2,
    PacketSize = 4,
    Collation = 7,
    Begin = 8,
    Commit = 9,
    Rollback = 10
};
constexpr quint16 nullable = 0x0009;
const QString serverName = QStringLiteral("TDS-STAND-IN");

QByteArray bVarCharBytes(const QString &text)
{
    return WireWriter().bVarChar(text).data();
}

QByteArray descriptorBytes(quint64 descriptor)
{
    return WireWriter().u64(descriptor).data();
}

} // namespace

void Reply::loginAck()
{
    WireWriter body;
    body.u8(1)
            .raw(QByteArray::fromHex("74000004"))
            .bVarChar(QStringLiteral("Microsoft SQL Server"))
            .raw(QByteArray::fromHex("10000fa0"));
    m_out.u8(LoginAck).u16(quint16(body.size())).raw(body.data());
}

void Reply::databaseChanged(const QString &to, const QString &from, int codePage)
{
    envChange(Database, bVarCharBytes(to), bVarCharBytes(from));
    envChange(Collation, WireWriter().bVarByte(collation(codePage)).data(), QByteArray(1, '\0'));
    info(5701, QStringLiteral("Changed database context to '%1'.").arg(to));
}

void Reply::sessionSettings(int packetSize)
{
    envChange(Language, bVarCharBytes(QStringLiteral("us_english")), bVarCharBytes(QString()));
    info(5703, QStringLiteral("Changed language setting to us_english."));
    envChange(PacketSize, bVarCharBytes(QString::number(packetSize)),
              bVarCharBytes(QString::number(packetSize)));
}

void Reply::transactionBegun(quint64 descriptor)
{
    envChange(Begin, WireWriter().bVarByte(descriptorBytes(descriptor)).data(),
              QByteArray(1, '\0'));
}

void Reply::transactionCommitted(quint64 descriptor)
{
    envChange(Commit, QByteArray(1, '\0'),
              WireWriter().bVarByte(descriptorBytes(descriptor)).data());
}

void Reply::transactionRolledBack(quint64 descriptor)
{
    envChange(Rollback, QByteArray(1, '\0'),
              WireWriter().bVarByte(descriptorBytes(descriptor)).data());
}

void Reply::envChange(quint8 type, const QByteArray &newValue, const QByteArray &oldValue)
{
    m_out.u8(EnvChange)
            .u16(quint16(1 + newValue.size() + oldValue.size()))
            .u8(type)
            .raw(newValue)
            .raw(oldValue);
}

void Reply::info(int number, const QString &text)
{
    message(Info, number, 0, text);
}

void Reply::error(int number, int severity, const QString &text)
{
    message(Error, number, severity, text);
}

void Reply::message(quint8 token, int number, int severity, const QString &text)
{
    WireWriter body;
    body.u32(quint32(number))
            .u8(1)
            .u8(quint8(severity))
            .usVarChar(text)
            .bVarChar(serverName)
            .bVarChar(QString())
            .u32(1);
    m_out.u8(token).u16(quint16(body.size())).raw(body.data());
}

void Reply::done(DoneToken token, quint16 status, quint16 command, qint64 rows)
{
    m_out.u8(token).u16(status).u16(command).u64(quint64(rows));
}

void Reply::columns(const QList<Column> &columns)
{
    m_out.u8(ColMetadata).u16(quint16(columns.size()));
    for (const Column &column : columns) {
        m_out.u32(0).u16(nullable);
        typeInfo(column);
        m_out.bVarChar(column.name);
    }
}

void Reply::typeInfo(const Column &column)
{
    m_out.u8(column.type);
    switch (column.type) {
    case BigVarChar:
    case NVarChar:
        m_out.u16(quint16(column.size)).raw(collation(column.codePage));
        break;
    case DecimalN:
        m_out.u8(quint8(column.size)).u8(quint8(column.precision)).u8(quint8(column.scale));
        break;
    default:
        m_out.u8(quint8(column.size));
    }
}

void Reply::row(const QList<Column> &columns, const QVariantList &values)
{
    m_out.u8(Row);
    for (qsizetype i = 0; i < columns.size(); ++i)
        value(columns.at(i), values.value(i));
}

void Reply::value(const Column &column, const QVariant &value)
{
    const bool isNull = value.isNull();
    switch (column.type) {
    case BigVarChar:
    case NVarChar: {
        if (isNull) {
            m_out.u16(0xFFFF);
            return;
        }
        const QString text = value.toString();
        const QByteArray bytes =
                column.type == NVarChar ? ucs2(text) : toCodePage(text, column.codePage);
        m_out.u16(quint16(bytes.size())).raw(bytes);
        return;
    }
    case IntN:
        if (isNull)
            m_out.u8(0);
        else if (column.size == 8)
            m_out.u8(8).u64(quint64(value.toLongLong()));
        else
            m_out.u8(4).u32(quint32(qint32(value.toLongLong())));
        return;
    case FltN: {
        if (isNull) {
            m_out.u8(0);
            return;
        }
        const double number = value.toDouble();
        quint64 bits;
        std::memcpy(&bits, &number, 8);
        m_out.u8(8).u64(bits);
        return;
    }
    case DateTimN: {
        const QDateTime moment = value.toDateTime();
        if (isNull || !moment.isValid()) {
            m_out.u8(0);
            return;
        }
        const auto [days, ticks] = dateTimeParts(moment);
        m_out.u8(8).u32(quint32(days)).u32(ticks);
        return;
    }
    case DecimalN: {
        if (isNull) {
            m_out.u8(0);
            return;
        }
        const double scaled = std::round(value.toDouble() * std::pow(10.0, column.scale));
        m_out.u8(9).u8(scaled < 0 ? 0 : 1).u64(quint64(std::fabs(scaled)));
        return;
    }
    }
}

void Reply::returnStatus(int status)
{
    m_out.u8(ReturnStatus).u32(quint32(status));
}

void Reply::returnValue(quint16 ordinal, const QString &name, int value)
{
    m_out.u8(ReturnValue).u16(ordinal).bVarChar(name).u8(0x01).u32(0).u16(nullable);
    m_out.u8(IntN).u8(4).u8(4).u32(quint32(value));
}

} // namespace zym::test::tds
