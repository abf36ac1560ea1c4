#include "OdbcRow.h"

#include "Error.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlResult>

#ifdef Q_OS_WIN
#  include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <array>

namespace zym::OdbcRow {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(QChar), "wide text is read as UTF-16");

// Reads a fixed-size value; false for NULL.
template<typename Value>
bool readFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, Value &value)
{
    SQLLEN indicator = 0;
    const SQLRETURN result = SQLGetData(statement, column, cType, &value, sizeof value, &indicator);
    if (!SQL_SUCCEEDED(result))
        throw Error(diagnostics(statement));
    return indicator != SQL_NULL_DATA;
}

// Reads a value of any length in pieces of `Unit`, appending them to
// `value`; false for NULL. `terminator`: the units the driver ends a piece
// with.
template<typename Unit, typename Container>
bool readPieces(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, qsizetype terminator,
                Container &value)
{
    std::array<Unit, 2048> piece;
    const SQLLEN room = SQLLEN((piece.size() - terminator) * sizeof(Unit));
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN result =
                SQLGetData(statement, column, cType, piece.data(), sizeof piece, &indicator);
        if (result == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(result))
            throw Error(diagnostics(statement));
        if (indicator == SQL_NULL_DATA)
            return false;
        // More to come: the piece is full.
        const bool more =
                result == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
        value.append(piece.data(),
                     more ? room / SQLLEN(sizeof(Unit)) : indicator / SQLLEN(sizeof(Unit)));
        if (!more)
            return true;
    }
}

QVariant readText(SQLHSTMT statement, SQLUSMALLINT column)
{
    QString text = QStringLiteral(""); // empty, not null
    if (!readPieces<QChar>(statement, column, SQL_C_WCHAR, 1, text))
        return QVariant(QMetaType::fromType<QString>());
    return text;
}

QVariant readBytes(SQLHSTMT statement, SQLUSMALLINT column)
{
    QByteArray bytes("");
    if (!readPieces<char>(statement, column, SQL_C_BINARY, 0, bytes))
        return QVariant(QMetaType::fromType<QByteArray>());
    return bytes;
}

QVariant readDateTime(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQL_TIMESTAMP_STRUCT stamp{};
    if (!readFixed(statement, column, SQL_C_TYPE_TIMESTAMP, stamp))
        return QVariant(QMetaType::fromType<QDateTime>());
    return QDateTime(QDate(stamp.year, stamp.month, stamp.day),
                     QTime(stamp.hour, stamp.minute, stamp.second, int(stamp.fraction / 1000000)));
}

template<typename Value>
QVariant readNumber(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType)
{
    Value number{};
    if (!readFixed(statement, column, cType, number))
        return QVariant(QMetaType::fromType<Value>());
    return QVariant::fromValue(number);
}

QVariant readColumn(SQLHSTMT statement, SQLUSMALLINT column, QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
        return readNumber<int>(statement, column, SQL_C_SLONG);
    case QMetaType::UInt:
        return readNumber<uint>(statement, column, SQL_C_ULONG);
    case QMetaType::LongLong:
        return readNumber<qlonglong>(statement, column, SQL_C_SBIGINT);
    case QMetaType::ULongLong:
        return readNumber<qulonglong>(statement, column, SQL_C_UBIGINT);
    case QMetaType::Double:
        return readNumber<double>(statement, column, SQL_C_DOUBLE);
    case QMetaType::QDateTime:
        return readDateTime(statement, column);
    case QMetaType::QByteArray:
        return readBytes(statement, column);
    default: {
        const QVariant text = readText(statement, column);
        if (type.id() == QMetaType::QString || text.isNull() || !text.canConvert(type))
            return text;
        QVariant converted = text;
        converted.convert(type);
        return converted;
    }
    }
}

// The fetched row, whose columns nothing has read yet.
QVariantList readRow(SQLHSTMT statement, const QList<QMetaType> &types)
{
    QVariantList row;
    row.reserve(types.size());
    for (qsizetype i = 0; i < types.size(); ++i)
        row << readColumn(statement, SQLUSMALLINT(i + 1), types.at(i));
    return row;
}

} // namespace

QList<QVariantList> readRows(QSqlQuery &query, const QList<QMetaType> &types)
{
    QList<QVariantList> rows;
    while (query.next())
        rows << readRow(SQLHSTMT(statementHandle(query)), types);
    return rows;
}

void *statementHandle(const QSqlQuery &query)
{
    return *static_cast<void *const *>(query.result()->handle().constData());
}

QString diagnostics(void *statement)
{
    QStringList texts;
    SQLCHAR state[6];
    SQLINTEGER native = 0;
    SQLCHAR text[1024];
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(SQL_HANDLE_STMT, SQLHSTMT(statement), record, state, &native,
                                     text, sizeof(text), &length));
         ++record)
        texts << QString::fromUtf8(reinterpret_cast<const char *>(text));
    return texts.join(u' ');
}

} // namespace zym::OdbcRow
