#include "TdsLogin.h"

#include "tds/TdsWire.h"

#include <QtEndian>

namespace zym::test {

namespace {

// Offset and length pairs start after the fixed part; offsets count bytes
// from the start of the payload, lengths count UCS-2 characters. The sixth
// pair points at the feature extension and is not a text.
constexpr qsizetype fieldTable = 36;
enum Field {
    HostName,
    UserName,
    Password,
    AppName,
    ServerName,
    Extension,
    Library,
    Language,
    Database,
    FieldCount
};

// The client swaps each password byte's nibbles, then XORs it with 0xA5.
QByteArray revealed(QByteArray bytes)
{
    for (char &byte : bytes) {
        const auto plain = quint8(quint8(byte) ^ 0xA5);
        byte = char(quint8(plain << 4 | plain >> 4));
    }
    return bytes;
}

} // namespace

std::optional<TdsLogin> TdsLogin::decode(const QByteArray &payload)
{
    if (payload.size() < fieldTable + FieldCount * 4)
        return std::nullopt;
    QByteArray fields[FieldCount];
    for (int field = 0; field < FieldCount; ++field) {
        if (field == Extension)
            continue;
        const char *entry = payload.constData() + fieldTable + field * 4;
        const qsizetype offset = qFromLittleEndian<quint16>(entry);
        const qsizetype bytes = 2 * qsizetype(qFromLittleEndian<quint16>(entry + 2));
        if (offset + bytes > payload.size())
            return std::nullopt;
        fields[field] = payload.mid(offset, bytes);
    }
    TdsLogin login;
    login.tdsVersion = qFromLittleEndian<quint32>(payload.constData() + 4);
    login.hostName = tds::fromUcs2(fields[HostName]);
    login.userName = tds::fromUcs2(fields[UserName]);
    login.password = tds::fromUcs2(revealed(fields[Password]));
    login.appName = tds::fromUcs2(fields[AppName]);
    login.serverName = tds::fromUcs2(fields[ServerName]);
    login.library = tds::fromUcs2(fields[Library]);
    login.language = tds::fromUcs2(fields[Language]);
    login.database = tds::fromUcs2(fields[Database]);
    return login;
}

} // namespace zym::test
