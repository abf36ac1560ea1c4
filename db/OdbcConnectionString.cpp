#include "OdbcConnectionString.h"

namespace zym {

namespace {
const QString freeTds = QStringLiteral("FreeTDS");
const QString driver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
}

const QStringList &OdbcConnectionString::preferredDrivers()
{
    static const QStringList drivers{driver18,
                                     QStringLiteral("ODBC Driver 17 for SQL Server"),
                                     QStringLiteral("SQL Server Native Client 11.0"),
                                     QStringLiteral("SQL Server"),
                                     freeTds};
    return drivers;
}

QString OdbcConnectionString::chooseDriver(const QStringList &installed)
{
    for (const QString &driver : preferredDrivers()) {
        if (installed.contains(driver, Qt::CaseInsensitive))
            return driver;
    }
    return {};
}

QString OdbcConnectionString::quote(const QString &value)
{
    static const QString needsBraces = QStringLiteral(";{}= \t");
    const bool plain = std::none_of(value.begin(), value.end(),
                                    [](QChar c) { return needsBraces.contains(c); });
    if (plain)
        return value;
    QString doubled = value;
    doubled.replace(u'}', QStringLiteral("}}"));
    return u'{' + doubled + u'}';
}

QString OdbcConnectionString::build(const ConnectionSettings &settings, const QString &driver)
{
    QString text = QStringLiteral("Driver={%1};Server=%2;UID=%3;PWD=%4;Database=%5;")
                       .arg(QString(driver).replace(u'}', QStringLiteral("}}")),
                            quote(settings.server), quote(settings.login),
                            quote(settings.password), quote(settings.masterDatabase()));
    if (driver.compare(freeTds, Qt::CaseInsensitive) == 0)
        text += QStringLiteral("TDS_Version=auto;ClientCharset=UTF-8;");
    else if (settings.trustServerCertificate)
        text += QStringLiteral("TrustServerCertificate=yes;");
    return text;
}

} // namespace zym
