#pragma once

#include <QByteArray>
#include <QString>
#include <QDateTime>
#include <QVariant>

#include <utility>

namespace zym::test::tds {

// Packet types of the TDS messages a client sends, and of the server's reply.
enum PacketType : quint8 {
    SqlBatch = 0x01,
    Rpc = 0x03,
    TabularResult = 0x04,
    Attention = 0x06,
    TransactionManager = 0x0E,
    Login7 = 0x10,
    PreLogin = 0x12,
};

// Wire types the stand-in reads in parameters and writes in results.
enum WireType : quint8 {
    NullType = 0x1F,
    Int1 = 0x30,
    Bit = 0x32,
    Int2 = 0x34,
    Int4 = 0x38,
    DateTim4 = 0x3A,
    Flt4 = 0x3B,
    Money = 0x3C,
    DateTime = 0x3D,
    Flt8 = 0x3E,
    Int8 = 0x7F,
    Guid = 0x24,
    IntN = 0x26,
    DateN = 0x28,
    TimeN = 0x29,
    DateTime2N = 0x2A,
    DateTimeOffsetN = 0x2B,
    BitN = 0x68,
    DecimalN = 0x6A,
    NumericN = 0x6C,
    FltN = 0x6D,
    MoneyN = 0x6E,
    DateTimN = 0x6F,
    Text = 0x23,
    Image = 0x22,
    NText = 0x63,
    BigVarBinary = 0xA5,
    BigVarChar = 0xA7,
    BigBinary = 0xAD,
    BigChar = 0xAF,
    NVarChar = 0xE7,
    NChar = 0xEF,
};

// The code pages of the collations the stand-in serves: Turkish_CI_AS, as
// the product's databases are set up, and Latin1_General_CI_AS.
enum CodePage { Turkish = 1254, Latin1 = 1252 };

// A collation as it goes on the wire (LCID, flags, sort id), and the code
// page of one.
QByteArray collation(int codePage);
int codePageOf(const QByteArray &collation);

// Text in a code page and back; a character the code page lacks
// becomes "?", as the server would store it.
QByteArray toCodePage(const QString &text, int codePage);
QString fromCodePage(const QByteArray &bytes, int codePage);

QByteArray ucs2(const QString &text);
QString fromUcs2(const QByteArray &bytes);

// Days since 1900-01-01 and 1/300 s ticks since midnight: DATETIME's layout.
QDateTime fromDateTimeParts(qint32 days, quint32 ticks);
std::pair<qint32, quint32> dateTimeParts(const QDateTime &value);

// Reads little-endian fields off a message body; a read past the end
// sets failed() and yields zeros.
class WireReader
{
public:
    explicit WireReader(const QByteArray &bytes, qsizetype pos = 0) : m_bytes(bytes), m_pos(pos) { }

    quint8 u8();
    quint16 u16();
    quint32 u32();
    quint64 u64();
    QByteArray bytes(qsizetype count);
    QString bVarChar() { return fromUcs2(bytes(2 * qsizetype(u8()))); }
    QString usVarChar() { return fromUcs2(bytes(2 * qsizetype(u16()))); }
    // A partially length-prefixed value: its chunks joined; null for NULL.
    QByteArray plp();

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    bool failed() const { return m_failed; }
    qsizetype pos() const { return m_pos; }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos;
    bool m_failed = false;
};

// Appends little-endian fields to a reply.
class WireWriter
{
public:
    WireWriter &u8(quint8 value);
    WireWriter &u16(quint16 value);
    WireWriter &u32(quint32 value);
    WireWriter &u64(quint64 value);
    WireWriter &raw(const QByteArray &bytes);
    WireWriter &bVarChar(const QString &text);
    WireWriter &usVarChar(const QString &text);
    WireWriter &bVarByte(const QByteArray &bytes);

    const QByteArray &data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }

private:
    QByteArray m_data;
};

// A message cut into packets of at most `packetSize` bytes.
QByteArray packets(quint8 type, const QByteArray &message, int packetSize = 4096);

// The PRELOGIN reply: the server's version, and no encryption, so the login
// follows in the clear.
QByteArray preLoginReply();

} // namespace zym::test::tds
