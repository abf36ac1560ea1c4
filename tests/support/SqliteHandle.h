#pragma once

#include "db/Connection.h"

#include <sqlite3.h>

namespace zym::test {

// The SQLite handle behind an embedded connection.
inline sqlite3 *sqliteHandle(Connection &connection)
{
    const QVariant handle = connection.nativeHandle();
    Q_ASSERT(qstrcmp(handle.typeName(), "sqlite3*") == 0);
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace zym::test
