#include "OdbcDrivers.h"

#include <QRegularExpression>
#include <QSet>

#ifdef Q_OS_WIN
#  include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <iterator>

namespace zym {

QStringList installedOdbcDrivers()
{
    QStringList drivers;
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return drivers;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);

    // The wide call: UTF-16 on Windows and with unixODBC alike.
    SQLWCHAR description[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(environment, direction, description,
                                     SQLSMALLINT(std::size(description)), &descriptionLength,
                                     attributes, SQLSMALLINT(std::size(attributes)),
                                     &attributesLength))) {
        drivers << QString::fromUtf16(
                reinterpret_cast<const char16_t *>(description),
                qMin<qsizetype>(descriptionLength, std::size(description) - 1));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return drivers;
}

QString odbcDbmsName(const QVariant &connectionHandle)
{
    // Qt's ODBC driver hands out its SQLHDBC as a plain void*.
    if (qstrcmp(connectionHandle.typeName(), "void*") != 0)
        return {};
    auto connection = *static_cast<const SQLHANDLE *>(connectionHandle.constData());
    SQLWCHAR name[256];
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(
                SQLGetInfoW(connection, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof(name)), &bytes)))
        return {};
    return QString::fromUtf16(
            reinterpret_cast<const char16_t *>(name),
            qMin<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), std::size(name) - 1));
}

bool rejectsServerCertificate(const QString &driver, const QString &nativeCode,
                              const QString &message)
{
    if (driver.compare(QStringLiteral("ODBC Driver 18 for SQL Server"), Qt::CaseInsensitive) != 0)
        return false;
    // Windows' statuses for a certificate it does not trust, has expired or
    // was issued to another name, as signed 32-bit numbers.
    static const QSet<QString> windowsStatuses{
        QStringLiteral("-2146893019"), // SEC_E_UNTRUSTED_ROOT
        QStringLiteral("-2146893016"), // SEC_E_CERT_EXPIRED
        QStringLiteral("-2146893017"), // SEC_E_CERT_UNKNOWN
        QStringLiteral("-2146893022"), // SEC_E_WRONG_PRINCIPAL
        QStringLiteral("-2146762487"), // CERT_E_UNTRUSTEDROOT
        QStringLiteral("-2146762495"), // CERT_E_EXPIRED
        QStringLiteral("-2146762481"), // CERT_E_CN_NO_MATCH
    };
    // OpenSSL's "certificate verify failed" of its SSL library: 3.x, then 1.1.
    static const QRegularExpression openSslVerifyFailed(
            QStringLiteral(R"(\berror:(?:0A000086|1416F086):)"),
            QRegularExpression::CaseInsensitiveOption);
    return windowsStatuses.contains(nativeCode.trimmed())
            || openSslVerifyFailed.match(message).hasMatch();
}

} // namespace zym
