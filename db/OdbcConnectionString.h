#pragma once

#include "ConnectionSettings.h"

#include <QString>
#include <QStringList>

namespace zym {

// Builds the ODBC connection string for SQL Server from the typed settings.
// Every value is braced where it would otherwise split the string, so a
// password with ";" or "=" reaches its key whole. The string ends with ";":
// the login and password travel inside it, never through Qt's user name and
// password setters.
class OdbcConnectionString
{
public:
    // Driver names in the order they are preferred when several are installed.
    static const QStringList &preferredDrivers();

    // The first preferred driver among the installed ones, or an empty text.
    static QString chooseDriver(const QStringList &installed);

    // `value` as an ODBC attribute value: braced, with "}" doubled, when it
    // holds ; { } = or a blank; otherwise unchanged.
    static QString quote(const QString &value);

    static QString build(const ConnectionSettings &settings, const QString &driver);

    // Qt's connect options for a server connection: a login that gives up
    // after a few seconds, and ODBC 3 behaviour (its SQLSTATEs and date-time
    // types) instead of the ODBC 2 Qt asks for by default.
    static QString connectOptions();

    // Why `settings` cannot reach the server intact through `driver`, as a
    // message naming the field; empty when they can. Check it before
    // connecting: the driver would log in with a different text.
    static QString refusal(const ConnectionSettings &settings, const QString &driver);
};

} // namespace zym
