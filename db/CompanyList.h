#pragma once

#include <QStringList>

namespace zym {

class Connection;

// The company databases the master database lists (SIRKET.SIRDBNAME), in
// the server's order. The master is named explicitly, so the list reads the
// same from any current database.
QStringList companyList(Connection &connection);

} // namespace zym
