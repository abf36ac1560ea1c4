#include "OdbcConnectionString.h"

#include <algorithm>
#include <utility>

namespace zym {

namespace {
const QString freeTds = QStringLiteral("FreeTDS");
const QString driver18 = QStringLiteral("ODBC Driver 18 for SQL Server");

bool isFreeTds(const QString &driver)
{
    return driver.compare(freeTds, Qt::CaseInsensitive) == 0;
}
} // namespace

const QStringList &OdbcConnectionString::preferredDrivers()
{
    static const QStringList drivers{ driver18, QStringLiteral("ODBC Driver 17 for SQL Server"),
                                      QStringLiteral("SQL Server Native Client 11.0"),
                                      QStringLiteral("SQL Server"), freeTds };
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

QString OdbcConnectionString::connectOptions()
{
    return QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5;SQL_ATTR_ODBC_VERSION=SQL_OV_ODBC3");
}

QString OdbcConnectionString::build(const ConnectionSettings &settings, const QString &driver)
{
    QString text = QStringLiteral("Driver={%1};Server=%2;UID=%3;PWD=%4;Database=%5;")
                           .arg(QString(driver).replace(u'}', QStringLiteral("}}")),
                                quote(settings.server), quote(settings.login),
                                quote(settings.password), quote(settings.masterDatabase()));
    if (isFreeTds(driver))
        text += QStringLiteral("TDS_Version=auto;ClientCharset=UTF-8;");
    else if (settings.trustServerCertificate)
        text += QStringLiteral("TrustServerCertificate=yes;");
    return text;
}

QString OdbcConnectionString::refusal(const ConnectionSettings &settings, const QString &driver)
{
    const std::pair<QString, const QString &> fields[] = {
        { QStringLiteral("Sunucu"), settings.server },
        { QStringLiteral("Kullanıcı"), settings.login },
        { QStringLiteral("Parola"), settings.password },
        { QStringLiteral("Ana veritabanı eki"), settings.masterSuffix },
    };
    for (const auto &[label, value] : fields) {
        // Qt's ODBC driver reads any connection string holding ".dsn" as the
        // name of a file DSN, whatever the driver.
        if (value.contains(QStringLiteral(".dsn"), Qt::CaseInsensitive))
            return QStringLiteral("%1 '.dsn' içeriyor; Qt'nin ODBC sürücüsü böyle bir bağlantı "
                                  "metnini dosya DSN'i "
                                  "sanar ve sunucuya ulaşamaz.")
                    .arg(label);
        // FreeTDS 1.3 keeps the doubled "}" of a braced value, so "p}w" would
        // arrive as "p}}w"; the Microsoft drivers undo the doubling.
        if (isFreeTds(driver) && value.contains(u'}'))
            return QStringLiteral("%1 '}' karakteri içeriyor; FreeTDS sürücüsü bu karakteri "
                                  "sunucuya iletemez.")
                    .arg(label);
    }
    return {};
}

} // namespace zym
