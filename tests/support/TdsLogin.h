#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zym::test {

// The texts of a LOGIN7 message, the client's login request to SQL Server.
struct TdsLogin
{
    quint32 tdsVersion = 0;
    QString hostName;
    QString userName;
    QString password;
    QString appName;
    QString serverName;
    QString library;
    QString language;
    QString database;

    // Empty when the payload is too short or a field lies outside it.
    static std::optional<TdsLogin> decode(const QByteArray &payload);
};

} // namespace zym::test
