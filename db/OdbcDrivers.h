#pragma once

#include <QStringList>

namespace zym {

// Names of the ODBC drivers registered on this machine (ODBC's SQLDrivers).
QStringList installedOdbcDrivers();

} // namespace zym
