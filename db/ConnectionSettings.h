#pragma once

#include <QString>

namespace zym {

// The product's master database for a typed suffix: "ZYM_" followed by it.
inline QString masterDatabaseName(const QString &suffix)
{
    return QStringLiteral("ZYM_") + suffix;
}

// The four texts the operator types to reach a server, used exactly as typed.
struct ConnectionSettings
{
    QString server;
    QString login;
    QString password;
    QString masterSuffix;
    // Accept a server certificate the driver cannot verify; the operator
    // agrees to it for one connect only.
    bool trustServerCertificate = false;

    QString masterDatabase() const { return masterDatabaseName(masterSuffix); }
};

} // namespace zym
