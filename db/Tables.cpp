#include "Tables.h"

#include "Error.h"

namespace zym {

namespace {

const QString code40 = QStringLiteral("VARCHAR(40)");
const QString text80 = QStringLiteral("VARCHAR(80)");
const QString integer = QStringLiteral("INTEGER");
const QString dateTime = QStringLiteral("DATETIME");

// A table that carries one code column and is searched by it.
TableSpec codeCarrier(const QString &table, const QString &column)
{
    return { table, { { column, code40 } }, {}, { column } };
}

TableSpec moduleCodeCarrier(const QString &table, const QString &codeColumn,
                            const QString &moduleColumn, QList<ColumnSpec> more = {})
{
    QList<ColumnSpec> columns{ { codeColumn, code40 } };
    columns += more;
    columns << ColumnSpec{ moduleColumn, integer };
    return { table, columns, {}, { codeColumn } };
}

TableSpec payrollCarrier(const CodeColumn &carrier)
{
    return carrier.moduleColumn.isEmpty()
            ? codeCarrier(carrier.table, carrier.column)
            : moduleCodeCarrier(carrier.table, carrier.column, carrier.moduleColumn);
}

QList<TableSpec> makeCompanyTables()
{
    QList<TableSpec> tables{
        { QStringLiteral("CARKART"),
          { { QStringLiteral("CARKOD"), code40 },
            { QStringLiteral("CARUNVAN"), text80 },
            { QStringLiteral("CARVERDAIRE"), code40 },
            { QStringLiteral("CARVERHESNO"), code40 },
            { QStringLiteral("CARMUHTIPI"), integer },
            { QStringLiteral("CARMUHKODU"), code40 },
            { QStringLiteral("CAREKCHAR1"), text80 },
            { QStringLiteral("CAROZKOD3"), code40 } },
          { { QStringLiteral("CARKOD") } },
          { QStringLiteral("CARVERHESNO") } },
        moduleCodeCarrier(QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"),
                          QStringLiteral("KIMMODUL"),
                          { { QStringLiteral("KIMMERNISNO"), code40 } }),
        moduleCodeCarrier(QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"),
                          QStringLiteral("ADRMODUL")),
    };
    for (const CodeColumn &carrier : Tables::movementTables())
        tables << codeCarrier(carrier.table, carrier.column);
    tables += {
        { QStringLiteral("MUHHESAP"),
          { { QStringLiteral("MUHKOD"), code40 },
            { QStringLiteral("MUHADI1"), text80 },
            { QStringLiteral("MUHCALFLAG"), integer },
            { QStringLiteral("MUHVERGIKIMLIKNO"), code40 },
            { QStringLiteral("MUHTCKIMLIKNO"), code40 } },
          { { QStringLiteral("MUHKOD") } },
          {} },
        { QStringLiteral("MUHFIS"),
          { { QStringLiteral("MUHFISREFNO"), integer } },
          { { QStringLiteral("MUHFISREFNO") } },
          {} },
        { QStringLiteral("MUHHAR"),
          { { QStringLiteral("MUHHARREFNO"), integer },
            { QStringLiteral("MUHHARSIRANO"), integer },
            { QStringLiteral("MUHHARBATIPI"), integer },
            { QStringLiteral("MUHHARMUHKOD"), code40 },
            { QStringLiteral("MUHHARACIKLAMA1"), text80 },
            { QStringLiteral("MUHHARACIKLAMA2"), text80 },
            { QStringLiteral("MUHHARTAR"), dateTime },
            { QStringLiteral("MUHHAREVRAKNO"), code40 } },
          {},
          { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARMUHKOD"),
            QStringLiteral("MUHHARTAR") } },
        { QStringLiteral("STKKART"),
          { { QStringLiteral("STKKOD"), code40 },
            { QStringLiteral("STKACIK1"), text80 },
            { QStringLiteral("STKGENKDVNO"), integer } },
          { { QStringLiteral("STKKOD") } },
          {} },
        { QStringLiteral("STKMUHBAGLANTI"),
          { { QStringLiteral("SMBSTKKOD"), code40 },
            { QStringLiteral("SMBITEMNO"), integer },
            { QStringLiteral("SMBFTNO"), integer },
            { QStringLiteral("SMBMUHKOD1"), code40 } },
          { { QStringLiteral("SMBSTKKOD"), QStringLiteral("SMBITEMNO") } },
          {} },
        { QStringLiteral("BORSICIL"),
          { { QStringLiteral("BORSCLKOD"), code40 },
            { QStringLiteral("BORSCLISCIKKOD"), integer },
            { QStringLiteral("BORSCLISYKODU"), code40 } },
          { { QStringLiteral("BORSCLKOD") } },
          { QStringLiteral("BORSCLISCIKKOD"), QStringLiteral("BORSCLISYKODU") } },
    };
    // The registry is above; the identity and address tables are the cards'.
    for (const CodeColumn &carrier : Tables::payrollTables()) {
        if (carrier.table != QStringLiteral("BORSICIL")
            && !Tables::sharedTables().contains(carrier))
            tables << payrollCarrier(carrier);
    }
    return tables;
}

} // namespace

QStringList TableSpec::columnNames() const
{
    QStringList names;
    for (const ColumnSpec &column : columns)
        names << column.name;
    return names;
}

const TableSpec &Tables::companyList()
{
    static const TableSpec table{
        QStringLiteral("SIRKET"), { { QStringLiteral("SIRDBNAME"), code40 } }, {}, {}
    };
    return table;
}

const QList<TableSpec> &Tables::companyTables()
{
    static const QList<TableSpec> tables = makeCompanyTables();
    return tables;
}

const QList<CodeColumn> &Tables::movementTables()
{
    static const QList<CodeColumn> tables{
        { QStringLiteral("CARFIS"), QStringLiteral("CARFISCARKOD") },
        { QStringLiteral("CARHAR"), QStringLiteral("CARHARCARKOD") },
        { QStringLiteral("CARMIZDEGER"), QStringLiteral("CARKOD") },
        { QStringLiteral("BANKAHAR"), QStringLiteral("BANHARKARKOD") },
        { QStringLiteral("CSNFIS"), QStringLiteral("CSNFISKARTKOD") },
        { QStringLiteral("CSNHAR"), QStringLiteral("CSNHARKARTKOD") },
        { QStringLiteral("FATFIS"), QStringLiteral("FATFISCARKOD") },
        { QStringLiteral("FATHAR"), QStringLiteral("FATHARCARKOD") },
        { QStringLiteral("IRSFIS"), QStringLiteral("IRSFISCARKOD") },
        { QStringLiteral("IRSHAR"), QStringLiteral("IRSHARCARKOD") },
        { QStringLiteral("KASAHAR"), QStringLiteral("KASHARCARKOD") },
        { QStringLiteral("SATFIS"), QStringLiteral("SATFISKARTKOD") },
        { QStringLiteral("SATHAR"), QStringLiteral("SATHARKARTKOD") },
        { QStringLiteral("SIPFIS"), QStringLiteral("SIPFISCARKOD") },
        { QStringLiteral("SIPHAR"), QStringLiteral("SIPHARCARKOD") },
        { QStringLiteral("STKFIS"), QStringLiteral("STKFISCARKOD") },
        { QStringLiteral("STKHAR"), QStringLiteral("STKHARCARKOD") },
    };
    return tables;
}

const QList<CodeColumn> &Tables::sharedTables()
{
    static const QList<CodeColumn> tables{
        { QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL") },
        { QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") },
    };
    return tables;
}

const QList<CodeColumn> &Tables::payrollTables()
{
    static const QList<CodeColumn> tables{
        { QStringLiteral("BORSICIL"), QStringLiteral("BORSCLKOD") },
        { QStringLiteral("BORPUANTAJ"), QStringLiteral("BORPNPERKOD") },
        { QStringLiteral("BORKUMULE"), QStringLiteral("BORKMPERKOD") },
        { QStringLiteral("BORGENDET"), QStringLiteral("BORGENKOD") },
        { QStringLiteral("BORDETAY"), QStringLiteral("BORDETKOD") },
        { QStringLiteral("BORPUANDETAY"), QStringLiteral("BORPNDETPERKOD") },
        sharedTables().at(1),
        sharedTables().at(0),
        { QStringLiteral("RESIMLER"), QStringLiteral("RESIMKOD"), QStringLiteral("RESIMMODUL") },
        { QStringLiteral("SIRKETLOG"), QStringLiteral("SIRLOGKYTKODU"),
          QStringLiteral("SIRLOGMODUL") },
    };
    return tables;
}

QString Tables::outsidePayroll(const CodeColumn &carrier)
{
    return carrier.moduleColumn.isEmpty() ? QString()
                                          : QStringLiteral(" AND (%1 IS NULL OR %1<>%2)")
                                                    .arg(carrier.moduleColumn)
                                                    .arg(payrollModule);
}

QString Tables::payrollRowsOnly(const CodeColumn &carrier, const QString &alias)
{
    return carrier.moduleColumn.isEmpty()
            ? QString()
            : QStringLiteral(" AND %1%2=%3")
                      .arg(alias.isEmpty() ? QString() : alias + u'.', carrier.moduleColumn)
                      .arg(payrollModule);
}

const TableSpec &Tables::company(const QString &name)
{
    for (const TableSpec &table : companyTables()) {
        if (table.name == name)
            return table;
    }
    throw Error(QStringLiteral("Bilinmeyen tablo: %1").arg(name));
}

} // namespace zym
