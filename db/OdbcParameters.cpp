#include "OdbcParameters.h"

#include "Dialect.h"
#include "Error.h"
#include "OdbcRow.h"
#include "SqlText.h"

#include <QDateTime>

#ifdef Q_OS_WIN
#  include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace zym {

namespace {

static_assert(sizeof(SQLLEN) == sizeof(long long), "indicators are kept as 64-bit lengths");
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "wide text is bound as UTF-16");

// Text is declared as wide as the widest code or title column, so that a
// statement keeps one declaration whatever the lengths of its values; a
// longer text, which no column holds, as the widest VARCHAR short of a MAX
// type, or as long as it is beyond that.
qsizetype declaredLength(qsizetype length)
{
    constexpr qsizetype widestColumn = 80;
    constexpr qsizetype widestVarchar = 8000;
    return length <= widestColumn ? widestColumn : qMax(length, widestVarchar);
}

bool boundAsText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Double:
    case QMetaType::QDateTime:
        return false;
    }
    return true;
}

} // namespace

ServerText OdbcParameters::serverText(const QString &sql, const CodePage &codePage)
{
    SqlText::Positional positional = SqlText::positional(sql);
    return { positional.text,
             std::make_shared<OdbcParameters>(sql, std::move(positional.names), codePage) };
}

OdbcParameters::OdbcParameters(QString sql, QStringList names, CodePage codePage)
    : m_sql(std::move(sql)),
      m_names(std::move(names)),
      m_codePage(codePage),
      m_parameters(m_names.size())
{
}

void OdbcParameters::bind(void *statement, int position, Parameter &parameter, short cType,
                          short sqlType, qsizetype size)
{
    if (parameter.capacity >= size && parameter.cType == cType && parameter.sqlType == sqlType)
        return;
    parameter.cType = cType;
    parameter.sqlType = sqlType;
    parameter.capacity = qMax(size, parameter.capacity);
    parameter.buffer.resize(parameter.capacity);
    const SQLULEN columnSize = cType == SQL_C_WCHAR ? SQLULEN(parameter.capacity / sizeof(SQLWCHAR))
            : sqlType == SQL_TYPE_TIMESTAMP         ? 23
                                                    : 0;
    const SQLSMALLINT digits = sqlType == SQL_TYPE_TIMESTAMP ? 3 : 0;
    const SQLRETURN result = SQLBindParameter(
            SQLHSTMT(statement), SQLUSMALLINT(position), SQL_PARAM_INPUT, cType, sqlType,
            columnSize, digits, parameter.buffer.data(), SQLLEN(parameter.buffer.size()),
            reinterpret_cast<SQLLEN *>(&parameter.indicator));
    if (!SQL_SUCCEEDED(result))
        throw Error(OdbcRow::diagnostics(statement));
}

void OdbcParameters::requireHeld(const QVariantMap &values) const
{
    for (const QString &name : m_names) {
        const QVariant value = values.value(name);
        if (!boundAsText(value) || m_codePage.holds(value.toString()))
            continue;
        const QString column = SqlText::columnOf(m_sql, name);
        throw Error(QStringLiteral("'%1' metni veritabanının kod sayfasında yazılamıyor (%2).")
                            .arg(value.toString(), column.isEmpty() ? name : column));
    }
}

void OdbcParameters::fill(void *statement, const QVariantMap &values)
{
    requireHeld(values);
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        const QVariant value = values.value(m_names.at(i));
        Parameter &parameter = m_parameters[i];
        const int position = int(i) + 1;
        const int type = value.metaType().id();
        if (boundAsText(value)) {
            const QString text = value.toString();
            const qsizetype bytes = text.size() * qsizetype(sizeof(SQLWCHAR));
            bind(statement, position, parameter, SQL_C_WCHAR, SQL_VARCHAR,
                 declaredLength(text.size()) * sizeof(SQLWCHAR));
            std::memcpy(parameter.buffer.data(), text.utf16(), size_t(bytes));
            // A null text goes as empty text: the product writes '' where a
            // value is missing, never NULL.
            parameter.indicator = value.isValid() ? SQLLEN(bytes) : SQL_NULL_DATA;
            continue;
        }
        if (type == QMetaType::Int || type == QMetaType::Bool || type == QMetaType::Short) {
            bind(statement, position, parameter, SQL_C_SLONG, SQL_INTEGER, sizeof(SQLINTEGER));
            const SQLINTEGER integer = value.toInt();
            std::memcpy(parameter.buffer.data(), &integer, sizeof integer);
        } else if (type == QMetaType::LongLong || type == QMetaType::UInt) {
            bind(statement, position, parameter, SQL_C_SBIGINT, SQL_BIGINT, sizeof(SQLBIGINT));
            const SQLBIGINT integer = value.toLongLong();
            std::memcpy(parameter.buffer.data(), &integer, sizeof integer);
        } else if (type == QMetaType::Double) {
            bind(statement, position, parameter, SQL_C_DOUBLE, SQL_DOUBLE, sizeof(double));
            const double number = value.toDouble();
            std::memcpy(parameter.buffer.data(), &number, sizeof number);
        } else if (type == QMetaType::QDateTime) {
            bind(statement, position, parameter, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                 sizeof(SQL_TIMESTAMP_STRUCT));
            const QDateTime at = value.toDateTime();
            SQL_TIMESTAMP_STRUCT stamp{};
            stamp.year = SQLSMALLINT(at.date().year());
            stamp.month = SQLUSMALLINT(at.date().month());
            stamp.day = SQLUSMALLINT(at.date().day());
            stamp.hour = SQLUSMALLINT(at.time().hour());
            stamp.minute = SQLUSMALLINT(at.time().minute());
            stamp.second = SQLUSMALLINT(at.time().second());
            stamp.fraction = SQLUINTEGER(at.time().msec()) * 1000000;
            std::memcpy(parameter.buffer.data(), &stamp, sizeof stamp);
        }
        parameter.indicator = value.isNull() ? SQL_NULL_DATA : 0;
    }
}

} // namespace zym
