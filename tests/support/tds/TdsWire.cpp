#include "TdsWire.h"

#include <QtEndian>

namespace zym::test::tds {

namespace {

// Code page 1254 where it differs from Latin-1: 0x80-0x9F and the six
// Turkish letters. Code page 1252 has Ž and ž at 0x8E and 0x9E, and
// Latin-1's letters in place of the Turkish ones.
constexpr char16_t upperHalf[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0xFFFD, 0x0178
};
constexpr std::pair<quint8, char16_t> latin1Only[] = { { 0x8E, 0x017D }, { 0x9E, 0x017E } };
constexpr std::pair<quint8, char16_t> turkish[] = { { 0xD0, 0x011E }, { 0xDD, 0x0130 },
                                                    { 0xDE, 0x015E }, { 0xF0, 0x011F },
                                                    { 0xFD, 0x0131 }, { 0xFE, 0x015F } };

char16_t unicodeOf(quint8 byte, int codePage)
{
    const auto among = [byte](const auto &letters) -> char16_t {
        for (const auto &[code, letter] : letters) {
            if (code == byte)
                return letter;
        }
        return 0;
    };
    if (const char16_t letter = codePage == Latin1 ? among(latin1Only) : among(turkish))
        return letter;
    if (byte >= 0x80 && byte < 0xA0)
        return upperHalf[byte - 0x80];
    return byte;
}

QHash<char16_t, quint8> encodingOf(int codePage)
{
    QHash<char16_t, quint8> map;
    for (int byte = 0; byte < 256; ++byte)
        map.insert(unicodeOf(quint8(byte), codePage), quint8(byte));
    map.remove(0xFFFD);
    return map;
}

const QDate dayZero(1900, 1, 1);

} // namespace

QByteArray collation(int codePage)
{
    // LCID 0x041F (Turkish) or 0x0409 (English, Latin1_General), ignore case,
    // kana type and width; sort id 0.
    return QByteArray::fromHex(codePage == Latin1 ? "0904d00000" : "1f04d00000");
}

int codePageOf(const QByteArray &collation)
{
    return collation.startsWith(QByteArray::fromHex("0904")) ? Latin1 : Turkish;
}

QByteArray toCodePage(const QString &text, int codePage)
{
    static const QHash<char16_t, quint8> turkishBytes = encodingOf(Turkish);
    static const QHash<char16_t, quint8> latin1Bytes = encodingOf(Latin1);
    const QHash<char16_t, quint8> &table = codePage == Latin1 ? latin1Bytes : turkishBytes;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes += char(table.value(c.unicode(), '?'));
    return bytes;
}

QString fromCodePage(const QByteArray &bytes, int codePage)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text += QChar(unicodeOf(quint8(byte), codePage));
    return text;
}

QByteArray ucs2(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text.at(i).unicode(), bytes.data() + 2 * i);
    return bytes;
}

QString fromUcs2(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(qFromLittleEndian<quint16>(bytes.constData() + i));
    return text;
}

QDateTime fromDateTimeParts(qint32 days, quint32 ticks)
{
    const qint64 ms = (qint64(ticks) * 10 + 1) / 3;
    return QDateTime(dayZero.addDays(days), QTime(0, 0)).addMSecs(ms);
}

std::pair<qint32, quint32> dateTimeParts(const QDateTime &value)
{
    const qint32 days = qint32(dayZero.daysTo(value.date()));
    const qint64 ms = value.time().msecsSinceStartOfDay();
    return { days, quint32((ms * 3 + 5) / 10) };
}

quint8 WireReader::u8()
{
    const QByteArray b = bytes(1);
    return b.isEmpty() ? 0 : quint8(b.at(0));
}

quint16 WireReader::u16()
{
    const QByteArray b = bytes(2);
    return b.size() < 2 ? 0 : qFromLittleEndian<quint16>(b.constData());
}

quint32 WireReader::u32()
{
    const QByteArray b = bytes(4);
    return b.size() < 4 ? 0 : qFromLittleEndian<quint32>(b.constData());
}

quint64 WireReader::u64()
{
    const QByteArray b = bytes(8);
    return b.size() < 8 ? 0 : qFromLittleEndian<quint64>(b.constData());
}

QByteArray WireReader::bytes(qsizetype count)
{
    if (count < 0 || m_pos + count > m_bytes.size()) {
        m_failed = true;
        m_pos = m_bytes.size();
        return {};
    }
    const QByteArray part = m_bytes.mid(m_pos, count);
    m_pos += count;
    return part;
}

QByteArray WireReader::plp()
{
    const quint64 total = u64();
    if (total == ~quint64(0))
        return {};
    QByteArray joined("");
    while (!m_failed) {
        const quint32 chunk = u32();
        if (chunk == 0)
            break;
        joined += bytes(chunk);
    }
    return joined;
}

WireWriter &WireWriter::u8(quint8 value)
{
    m_data += char(value);
    return *this;
}

WireWriter &WireWriter::u16(quint16 value)
{
    char b[2];
    qToLittleEndian(value, b);
    m_data.append(b, 2);
    return *this;
}

WireWriter &WireWriter::u32(quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    m_data.append(b, 4);
    return *this;
}

WireWriter &WireWriter::u64(quint64 value)
{
    char b[8];
    qToLittleEndian(value, b);
    m_data.append(b, 8);
    return *this;
}

WireWriter &WireWriter::raw(const QByteArray &bytes)
{
    m_data += bytes;
    return *this;
}

WireWriter &WireWriter::bVarChar(const QString &text)
{
    return u8(quint8(text.size())).raw(ucs2(text));
}

WireWriter &WireWriter::usVarChar(const QString &text)
{
    return u16(quint16(text.size())).raw(ucs2(text));
}

WireWriter &WireWriter::bVarByte(const QByteArray &bytes)
{
    return u8(quint8(bytes.size())).raw(bytes);
}

QByteArray packets(quint8 type, const QByteArray &message, int packetSize)
{
    constexpr int header = 8;
    const int body = packetSize - header;
    QByteArray out;
    quint8 id = 1;
    qsizetype pos = 0;
    do {
        const qsizetype chunk = qMin<qsizetype>(body, message.size() - pos);
        const bool last = pos + chunk >= message.size();
        char head[header] = { char(type), char(last ? 0x01 : 0x00), 0, 0, 0, 0, char(id++), 0 };
        qToBigEndian<quint16>(quint16(header + chunk), head + 2);
        out.append(head, header);
        out += message.mid(pos, chunk);
        pos += chunk;
    } while (pos < message.size());
    return out;
}

QByteArray preLoginReply()
{
    return packets(TabularResult,
                   QByteArray::fromHex("00"
                                       "000b"
                                       "0006" // VERSION at 11, 6 bytes
                                       "01"
                                       "0011"
                                       "0001" // ENCRYPTION at 17, 1 byte
                                       "ff" // end of the option list
                                       "100007d00000" // 16.0.2000.0
                                       "02")); // ENCRYPT_NOT_SUP
}

} // namespace zym::test::tds
