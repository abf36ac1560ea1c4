#include "TdsRequest.h"

#include "TdsWire.h"

#include <QRegularExpression>

namespace zym::test::tds {

namespace {

constexpr quint8 byReference = 0x01;

// The ALL_HEADERS block that opens batches, RPCs and transaction requests:
// its first four bytes hold its whole length.
qsizetype afterHeaders(const QByteArray &payload)
{
    WireReader reader(payload);
    const quint32 length = reader.u32();
    return reader.failed() || length > quint32(payload.size()) ? payload.size() : qsizetype(length);
}

QVariant integer(const QByteArray &bytes)
{
    WireReader reader(bytes);
    switch (bytes.size()) {
    case 1:
        return int(reader.u8());
    case 2:
        return int(qint16(reader.u16()));
    case 4:
        return int(qint32(reader.u32()));
    case 8:
        return qlonglong(reader.u64());
    }
    return {};
}

QVariant floating(const QByteArray &bytes)
{
    WireReader reader(bytes);
    if (bytes.size() == 4) {
        const quint32 bits = reader.u32();
        float value;
        memcpy(&value, &bits, 4);
        return double(value);
    }
    const quint64 bits = reader.u64();
    double value;
    memcpy(&value, &bits, 8);
    return value;
}

QVariant decimal(const QByteArray &bytes, int scale)
{
    if (bytes.isEmpty())
        return {};
    double magnitude = 0;
    for (qsizetype i = bytes.size() - 1; i >= 1; --i)
        magnitude = magnitude * 256 + quint8(bytes.at(i));
    for (int i = 0; i < scale; ++i)
        magnitude /= 10;
    return bytes.at(0) ? magnitude : -magnitude;
}

// DATE as 3 bytes of days since 0001-01-01; TIME as 3 to 5 bytes of 10^-scale s.
QDateTime dateTime2(const QByteArray &bytes, int scale)
{
    const qsizetype timeBytes = bytes.size() - 3;
    quint64 units = 0;
    for (qsizetype i = timeBytes - 1; i >= 0; --i)
        units = units * 256 + quint8(bytes.at(i));
    quint32 days = 0;
    for (qsizetype i = bytes.size() - 1; i >= timeBytes; --i)
        days = days * 256 + quint8(bytes.at(i));
    for (int i = scale; i > 3; --i)
        units /= 10;
    for (int i = scale; i < 3; ++i)
        units *= 10;
    return QDateTime(QDate(1, 1, 1).addDays(days), QTime(0, 0)).addMSecs(qint64(units));
}

QVariant dateTime(const QByteArray &bytes)
{
    WireReader reader(bytes);
    if (bytes.size() == 4) {
        const quint16 days = reader.u16();
        const quint16 minutes = reader.u16();
        return QDateTime(QDate(1900, 1, 1).addDays(days), QTime(0, 0)).addSecs(minutes * 60);
    }
    const auto days = qint32(reader.u32());
    return fromDateTimeParts(days, reader.u32());
}

// An empty text stays a text, not NULL.
QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// A parameter's TYPE_INFO and value.
void readValue(WireReader &reader, Parameter &parameter)
{
    const quint8 type = reader.u8();
    parameter.wireType = type;
    switch (type) {
    case NullType:
        return;
    case Int1:
    case Bit:
        parameter.value = integer(reader.bytes(1));
        return;
    case Int2:
        parameter.value = integer(reader.bytes(2));
        return;
    case Int4:
        parameter.value = integer(reader.bytes(4));
        return;
    case Int8:
        parameter.value = integer(reader.bytes(8));
        return;
    case Flt4:
        parameter.value = floating(reader.bytes(4));
        return;
    case Flt8:
        parameter.value = floating(reader.bytes(8));
        return;
    case DateTime:
        parameter.value = dateTime(reader.bytes(8));
        return;
    case DateTim4:
        parameter.value = dateTime(reader.bytes(4));
        return;
    case IntN:
    case BitN:
    case FltN:
    case DateTimN:
    case Guid:
    case MoneyN: {
        reader.u8(); // the maximum length
        const QByteArray bytes = reader.bytes(reader.u8());
        if (bytes.isEmpty())
            return;
        parameter.value = type == FltN ? floating(bytes)
                : type == DateTimN     ? dateTime(bytes)
                                       : integer(bytes);
        return;
    }
    case DecimalN:
    case NumericN: {
        reader.u8();
        reader.u8(); // the precision
        const int scale = reader.u8();
        parameter.value = decimal(reader.bytes(reader.u8()), scale);
        return;
    }
    case DateN:
    case TimeN:
    case DateTime2N:
    case DateTimeOffsetN: {
        const int scale = type == DateN ? 0 : reader.u8();
        const QByteArray bytes = reader.bytes(reader.u8());
        if (bytes.isEmpty())
            return;
        if (type == DateN)
            parameter.value = dateTime2(QByteArray(3, '\0') + bytes, 0);
        else
            parameter.value = dateTime2(type == DateTimeOffsetN ? bytes.chopped(2) : bytes, scale);
        return;
    }
    case BigVarChar:
    case BigChar:
    case NVarChar:
    case NChar:
    case BigVarBinary:
    case BigBinary: {
        const quint16 maximum = reader.u16();
        const bool text = type != BigVarBinary && type != BigBinary;
        const QByteArray collation = text ? reader.bytes(5) : QByteArray();
        QByteArray bytes;
        if (maximum == 0xFFFF) {
            bytes = reader.plp();
            if (bytes.isNull())
                return;
        } else {
            const quint16 length = reader.u16();
            if (length == 0xFFFF)
                return;
            bytes = reader.bytes(length);
        }
        const bool wide = type == NVarChar || type == NChar;
        parameter.value = !text
                ? QVariant(bytes)
                : QVariant(nonNull(wide ? fromUcs2(bytes)
                                        : fromCodePage(bytes, codePageOf(collation))));
        return;
    }
    case Text:
    case NText:
    case Image: {
        reader.u32(); // the maximum length
        const QByteArray collation = type != Image ? reader.bytes(5) : QByteArray();
        const quint32 length = reader.u32();
        if (length == 0xFFFFFFFF)
            return;
        const QByteArray bytes = reader.bytes(length);
        parameter.value = type == Image
                ? QVariant(bytes)
                : QVariant(nonNull(type == NText ? fromUcs2(bytes)
                                                 : fromCodePage(bytes, codePageOf(collation))));
        return;
    }
    }
    // A type the stand-in does not read: the rest of the message cannot be parsed.
    reader.bytes(-1);
}

std::optional<Request> decodeRpc(const QByteArray &payload)
{
    Request request;
    request.kind = Request::Kind::Rpc;
    WireReader reader(payload, afterHeaders(payload));
    const quint16 nameLength = reader.u16();
    request.procedure = nameLength == 0xFFFF ? procedureName(reader.u16())
                                             : fromUcs2(reader.bytes(2 * nameLength));
    reader.u16(); // option flags
    while (!reader.atEnd() && !reader.failed()) {
        Parameter parameter;
        parameter.name = reader.bVarChar();
        parameter.output = reader.u8() & byReference;
        readValue(reader, parameter);
        request.parameters << parameter;
    }
    if (reader.failed())
        return std::nullopt;
    return request;
}

std::optional<Request> decodeTransaction(const QByteArray &payload)
{
    Request request;
    request.kind = Request::Kind::Transaction;
    WireReader reader(payload, afterHeaders(payload));
    request.transactionRequest = reader.u16();
    switch (request.transactionRequest) {
    case Request::Begin:
        reader.u8(); // isolation level
        request.transactionName = reader.bVarChar();
        break;
    case Request::Commit:
    case Request::Rollback:
        request.transactionName = reader.bVarChar();
        request.beginsNext = reader.u8() & 0x01;
        break;
    case Request::Save:
        request.transactionName = reader.bVarChar();
        break;
    }
    return request;
}

} // namespace

std::optional<Request> Request::decode(quint8 packetType, const QByteArray &payload)
{
    switch (packetType) {
    case SqlBatch: {
        Request request;
        request.text = fromUcs2(payload.mid(afterHeaders(payload)));
        return request;
    }
    case Rpc:
        return decodeRpc(payload);
    case TransactionManager:
        return decodeTransaction(payload);
    case Attention: {
        Request request;
        request.kind = Kind::Attention;
        return request;
    }
    }
    return std::nullopt;
}

QString procedureName(quint16 id)
{
    static const char *const names[] = { nullptr,
                                         "sp_cursor",
                                         "sp_cursoropen",
                                         "sp_cursorprepare",
                                         "sp_cursorexecute",
                                         "sp_cursorprepexec",
                                         "sp_cursorunprepare",
                                         "sp_cursorfetch",
                                         "sp_cursoroption",
                                         "sp_cursorclose",
                                         "sp_executesql",
                                         "sp_prepare",
                                         "sp_execute",
                                         "sp_prepexec",
                                         "sp_prepexecrpc",
                                         "sp_unprepare" };
    if (id == 0 || id >= std::size(names))
        return QStringLiteral("procedure %1").arg(id);
    return QString::fromLatin1(names[id]);
}

QStringList declaredNames(const QString &declaration)
{
    static const QRegularExpression name(QStringLiteral(R"((?:^|,)\s*(@\w+))"));
    QStringList names;
    for (auto it = name.globalMatch(declaration); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace zym::test::tds
