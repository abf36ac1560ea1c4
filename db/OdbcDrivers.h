#pragma once

#include <QString>
#include <QStringList>

namespace zym {

// Names of the ODBC drivers registered on this machine (ODBC's SQLDrivers).
QStringList installedOdbcDrivers();

// Whether `message`, the text of a failed login through `driver`, says that
// the driver refused the server's certificate, as Microsoft's Driver 18 does
// by default for the self-signed certificate of an Express installation.
bool rejectsServerCertificate(const QString &driver, const QString &message);

} // namespace zym
