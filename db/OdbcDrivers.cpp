#include "OdbcDrivers.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace zym {

QStringList installedOdbcDrivers()
{
    QStringList drivers;
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return drivers;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);

    SQLCHAR description[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDrivers(environment, direction, description, sizeof description,
                                    &descriptionLength, attributes, sizeof attributes,
                                    &attributesLength))) {
        drivers << QString::fromLocal8Bit(reinterpret_cast<const char *>(description));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return drivers;
}

} // namespace zym
