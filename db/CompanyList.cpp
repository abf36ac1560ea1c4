#include "CompanyList.h"

#include "Connection.h"
#include "SqlText.h"

namespace zym {

QStringList companyList(Connection &connection)
{
    const ResultSet rows = connection.fetch(
            QStringLiteral("SELECT * FROM ")
                    + SqlText::bracketed(masterDatabaseName(connection.masterSuffix()))
                    + QStringLiteral(".dbo.SIRKET    "),
            {});
    const qsizetype column = rows.columnIndex(QStringLiteral("SIRDBNAME"));
    if (column < 0)
        throw Error(QStringLiteral("SIRKET: 'SIRDBNAME' alanı bulunamadı"));
    QStringList names;
    for (const QVariantList &row : rows.rows)
        names << (row.at(column).isNull() ? QString() : row.at(column).toString());
    return names;
}

} // namespace zym
