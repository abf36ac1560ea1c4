#pragma once

#include "db/Tables.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace zym {
class DatabaseSeeder;
}

namespace zym::test {

class TestServer;

// A digest of the rows of every company table, per table: equal digests,
// equal rows, each value with its kind. On embedded files the rows' ids
// count too, so that a row deleted and written back again differs.
QMap<QString, QByteArray> tableDigests(TestServer &server);

// The tables whose digests differ between `before` and `after`.
QStringList changedTables(const QMap<QString, QByteArray> &before,
                          const QMap<QString, QByteArray> &after);

// Every row of the company tables (all of them unless named) as a line of text ("TABLE|value|..."),
// the rows of each table sorted, NULL told apart from empty text. Two
// digests are equal exactly when the company tables hold the same rows, so
// comparing the digests before and after a run shows anything it changed.
QStringList tableDigest(DatabaseSeeder &db,
                        const QList<TableSpec> &tables = Tables::companyTables());

} // namespace zym::test
