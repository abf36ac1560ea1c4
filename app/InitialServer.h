#pragma once

#include <QString>
#include <QStringList>

namespace zym {

// The server text the window opens with: the program's one optional argument
// when given, else the SQL Server Express instance on this machine,
// "HOST\SQLEXPRESS".
QString initialServerText(const QStringList &arguments);

} // namespace zym
