#include "Dialect.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zym {

QMetaType Dialect::columnType(const QSqlQuery &, const QSqlRecord &record, int column) const
{
    return record.field(column).metaType();
}

} // namespace zym
