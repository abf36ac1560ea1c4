#include "DriverCalls.h"

#include <QHash>
#include <QMap>
#include <QMutex>

#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>

namespace zym::test {

namespace {

struct Binding
{
    short cType = 0;
    short sqlType = 0;
    SQLULEN columnSize = 0;
    const char *buffer = nullptr;
    const SQLLEN *indicator = nullptr;
};

struct Calls
{
    QMutex mutex;
    QHash<SQLHSTMT, QMap<int, Binding>> bindings;
    QList<QList<DriverParameter>> executions;
};

Calls &calls()
{
    static Calls instance;
    return instance;
}

// libodbc's own entry point, which the definitions below pass each call to.
template<typename Function>
Function driverManager(const char *name)
{
    static void *const library = dlopen("libodbc.so.2", RTLD_NOW | RTLD_GLOBAL);
    return reinterpret_cast<Function>(dlsym(library, name));
}

} // namespace

bool DriverParameter::isText() const
{
    return cType == SQL_C_CHAR || cType == SQL_C_WCHAR;
}

QString DriverParameter::text() const
{
    if (length == SQL_NULL_DATA)
        return {};
    const QString text = cType == SQL_C_WCHAR
            ? QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                                 bytes.size() / 2)
            : QString::fromUtf8(bytes);
    return text.isNull() ? QStringLiteral("") : text;
}

QList<QList<DriverParameter>> DriverCalls::executions()
{
    QMutexLocker lock(&calls().mutex);
    return calls().executions;
}

void DriverCalls::clear()
{
    QMutexLocker lock(&calls().mutex);
    calls().executions.clear();
}

} // namespace zym::test

using zym::test::Binding;
using zym::test::calls;
using zym::test::driverManager;
using zym::test::DriverParameter;

extern "C" SQLRETURN SQL_API SQLBindParameter(SQLHSTMT statement, SQLUSMALLINT position,
                                              SQLSMALLINT direction, SQLSMALLINT cType,
                                              SQLSMALLINT sqlType, SQLULEN columnSize,
                                              SQLSMALLINT digits, SQLPOINTER buffer,
                                              SQLLEN bufferLength, SQLLEN *indicator)
{
    using Function =
            SQLRETURN(SQL_API *)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLSMALLINT, SQLSMALLINT,
                                 SQLULEN, SQLSMALLINT, SQLPOINTER, SQLLEN, SQLLEN *);
    static const auto passOn = driverManager<Function>("SQLBindParameter");
    {
        QMutexLocker lock(&calls().mutex);
        calls().bindings[statement][position] =
                Binding{ cType, sqlType, columnSize, static_cast<const char *>(buffer), indicator };
    }
    return passOn(statement, position, direction, cType, sqlType, columnSize, digits, buffer,
                  bufferLength, indicator);
}

extern "C" SQLRETURN SQL_API SQLExecute(SQLHSTMT statement)
{
    using Function = SQLRETURN(SQL_API *)(SQLHSTMT);
    static const auto passOn = driverManager<Function>("SQLExecute");
    {
        QMutexLocker lock(&calls().mutex);
        QList<DriverParameter> parameters;
        const auto bound = calls().bindings.value(statement);
        for (auto it = bound.cbegin(); it != bound.cend(); ++it) {
            const Binding &binding = it.value();
            DriverParameter parameter{ it.key(), binding.cType, binding.sqlType,
                                       binding.columnSize };
            parameter.length = binding.indicator ? *binding.indicator : 0;
            if (parameter.length > 0 && binding.buffer)
                parameter.bytes = QByteArray(binding.buffer, parameter.length);
            parameters << parameter;
        }
        calls().executions << parameters;
    }
    return passOn(statement);
}

// A statement's bindings end with it, or when its parameters are reset.
extern "C" SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT statement, SQLUSMALLINT option)
{
    using Function = SQLRETURN(SQL_API *)(SQLHSTMT, SQLUSMALLINT);
    static const auto passOn = driverManager<Function>("SQLFreeStmt");
    if (option == SQL_RESET_PARAMS || option == SQL_DROP) {
        QMutexLocker lock(&calls().mutex);
        calls().bindings.remove(statement);
    }
    return passOn(statement, option);
}

extern "C" SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    using Function = SQLRETURN(SQL_API *)(SQLSMALLINT, SQLHANDLE);
    static const auto passOn = driverManager<Function>("SQLFreeHandle");
    if (type == SQL_HANDLE_STMT) {
        QMutexLocker lock(&calls().mutex);
        calls().bindings.remove(handle);
    }
    return passOn(type, handle);
}
