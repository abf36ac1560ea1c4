#include "TableDigest.h"

#include "TestServer.h"

#include "db/DatabaseSeeder.h"
#include "db/Tables.h"

#include <QCryptographicHash>
#include <QStringList>

#include <algorithm>

namespace zym::test {

QMap<QString, QByteArray> tableDigests(TestServer &server)
{
    QMap<QString, QByteArray> digests;
    for (const TableSpec &table : Tables::companyTables()) {
        const QString query = server.isEmbedded()
                ? QStringLiteral("SELECT rowid AS ROW_ID, * FROM %1 ORDER BY rowid")
                : QStringLiteral("SELECT * FROM %1");
        QStringList rows;
        for (const QVariantList &row : server.db().select(query.arg(table.name))) {
            QStringList values;
            for (const QVariant &value : row)
                values << QString::fromLatin1(value.typeName()) + u':'
                                + (value.isNull() ? QStringLiteral("NULL") : value.toString());
            rows << values.join(QChar(0x1f));
        }
        if (!server.isEmbedded())
            rows.sort();
        digests.insert(table.name,
                       QCryptographicHash::hash(rows.join(QChar(0x1e)).toUtf8(),
                                                QCryptographicHash::Sha256));
    }
    return digests;
}

QStringList changedTables(const QMap<QString, QByteArray> &before,
                          const QMap<QString, QByteArray> &after)
{
    QStringList tables;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) != it.value())
            tables << it.key();
    }
    return tables;
}

QStringList tableDigest(DatabaseSeeder &db, const QList<TableSpec> &tables)
{
    QStringList digest;
    for (const TableSpec &table : tables) {
        QStringList rows;
        for (const QVariantList &row :
             db.select(QStringLiteral("SELECT %1 FROM %2")
                               .arg(table.columnNames().join(u','), table.name))) {
            QString line = table.name;
            for (const QVariant &value : row)
                line += value.isNull() ? QStringLiteral("|NULL")
                                       : QStringLiteral("|'") + value.toString() + u'\'';
            rows << line;
        }
        // Sorted here, not by the server, whose collation may differ.
        std::sort(rows.begin(), rows.end());
        digest += rows;
    }
    return digest;
}

} // namespace zym::test
