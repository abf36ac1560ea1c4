#include "InitialServer.h"

#include <QSysInfo>

namespace zym {

QString initialServerText(const QStringList &arguments)
{
    if (arguments.size() > 1)
        return arguments.at(1);
    return QSysInfo::machineHostName() + QStringLiteral("\\SQLEXPRESS");
}

} // namespace zym
