#pragma once

#include <QStringList>

namespace zym {
class EmbeddedDatabase;
}

namespace zym::test {

// Every row of every company table as a line of text ("TABLE|value|..."),
// the rows of each table sorted, NULL told apart from empty text. Two
// digests are equal exactly when the company tables hold the same rows, so
// comparing the digests before and after a run shows anything it changed.
QStringList tableDigest(EmbeddedDatabase &db);

} // namespace zym::test
