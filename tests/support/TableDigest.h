#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace zym::test {

class TestServer;

// A digest of the rows of every company table, per table: equal digests,
// equal rows, each value with its kind. On embedded files the rows' ids
// count too, so that a row deleted and written back again differs.
QMap<QString, QByteArray> tableDigests(TestServer &server);

// The tables whose digests differ between `before` and `after`.
QStringList changedTables(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after);

} // namespace zym::test
