#pragma once

#include "db/Tables.h"

#include <QStringList>

namespace zym {
class EmbeddedDatabase;
}

namespace zym::test {

// Every row of the company tables (all of them unless named) as a line of text ("TABLE|value|..."),
// the rows of each table sorted, NULL told apart from empty text. Two
// digests are equal exactly when the company tables hold the same rows, so
// comparing the digests before and after a run shows anything it changed.
QStringList tableDigest(EmbeddedDatabase &db, const QList<TableSpec> &tables = Tables::companyTables());

} // namespace zym::test
