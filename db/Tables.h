#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zym {

// The product's tables and the columns the tool touches: the one place that
// names them. The tool owns no schema; these descriptions also give the
// embedded backend its tables, with the kinds of value each column holds,
// the keys the product keeps unique and an index on every searched column.
struct ColumnSpec
{
    QString name;
    QString type; // T-SQL-style type name; SQLite reads it by affinity
};

struct TableSpec
{
    QString name;
    QList<ColumnSpec> columns;
    QList<QStringList> uniqueKeys;
    QStringList indexed;

    QStringList columnNames() const;
};

// A table that carries a code in one column; in a table that all modules
// share, the column that says which module a row belongs to.
struct CodeColumn
{
    QString table;
    QString column;
    QString moduleColumn = {};

    bool operator==(const CodeColumn &) const = default;
};

namespace Tables {

// The company list of the master database.
const TableSpec &companyList();

// Every table of a company database the tool reads or writes.
const QList<TableSpec> &companyTables();

// The seventeen document and movement tables that carry a card code, in the
// order a card-code change rewrites them.
const QList<CodeColumn> &movementTables();

// The identity and address tables, which all modules share: a card's rows
// there carry its code, an employee's its registry code.
const QList<CodeColumn> &sharedTables();

// The ten tables that carry a registry code, the registry first, in the
// order a registry-code change rewrites them; the shared ones last.
const QList<CodeColumn> &payrollTables();

// The module number of payroll rows in the shared tables.
inline constexpr int payrollModule = 8;

// The condition, after the others of a statement, that keeps it off the
// payroll rows of `carrier` (" AND (M IS NULL OR M<>8)"), and the one that
// keeps it on them (" AND M=8", or " AND a.M=8" for the table's `alias`);
// empty where the table has no module.
QString outsidePayroll(const CodeColumn &carrier);
QString payrollRowsOnly(const CodeColumn &carrier, const QString &alias = {});

// The description of a company table by name; raises zym::Error when unknown.
const TableSpec &company(const QString &name);

} // namespace Tables

} // namespace zym
