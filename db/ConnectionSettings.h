#pragma once

#include <QString>

namespace zym {

// The four texts the operator types to reach a server, used exactly as typed.
struct ConnectionSettings
{
    QString server;
    QString login;
    QString password;
    QString masterSuffix;

    // The product's master database: "ZYM_" followed by the typed suffix.
    QString masterDatabase() const { return QStringLiteral("ZYM_") + masterSuffix; }
};

} // namespace zym
