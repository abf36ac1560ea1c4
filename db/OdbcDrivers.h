#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace zym {

// Names of the ODBC drivers registered on this machine (ODBC's SQLDrivers).
QStringList installedOdbcDrivers();

// Whether a failed login through `driver` was the driver refusing the
// server's certificate, as Microsoft's Driver 18 does by default for the
// self-signed certificate of an Express installation. Decided from codes,
// never from words, which Windows writes in its display language:
// `nativeCode` is the driver's native error (on Windows the certificate
// check's own status), `message` its text, where on Linux OpenSSL's error
// code stands.
bool rejectsServerCertificate(const QString &driver, const QString &nativeCode,
                              const QString &message);

// The database an ODBC connection talks to, as its driver names it
// (SQL_DBMS_NAME: "Microsoft SQL Server", "SQLite"); `connectionHandle` is
// the SQLHDBC that Qt's ODBC driver hands out. Empty for any other handle.
QString odbcDbmsName(const QVariant &connectionHandle);

} // namespace zym
