#pragma once

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariant>

namespace zym {

// A query's whole result, held in memory: what later statements do to the
// tables does not reach it.
struct ResultSet
{
    QStringList columns;
    QList<QMetaType> types;
    QList<QVariantList> rows;

    // Position of `column` (case-insensitive, as the servers match names), or -1.
    qsizetype columnIndex(const QString &column) const
    {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
};

} // namespace zym
