#include "TableDigest.h"

#include "db/EmbeddedDatabase.h"

#include <algorithm>

namespace zym::test {

QStringList tableDigest(EmbeddedDatabase &db, const QList<TableSpec> &tables)
{
    QStringList digest;
    for (const TableSpec &table : tables) {
        QStringList rows;
        for (const QVariantList &row :
             db.select(QStringLiteral("SELECT %1 FROM %2").arg(table.columnNames().join(u','), table.name))) {
            QString line = table.name;
            for (const QVariant &value : row)
                line += value.isNull() ? QStringLiteral("|NULL") : QStringLiteral("|'") + value.toString() + u'\'';
            rows << line;
        }
        // Sorted here, not by the server, whose collation may differ.
        std::sort(rows.begin(), rows.end());
        digest += rows;
    }
    return digest;
}

} // namespace zym::test
