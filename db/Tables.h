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

// A table that carries a code in one column.
struct CodeColumn
{
    QString table;
    QString column;
};

namespace Tables {

// The company list of the master database.
const TableSpec &companyList();

// Every table of a company database the tool reads or writes.
const QList<TableSpec> &companyTables();

// The seventeen document and movement tables that carry a card code, in the
// order a card-code change rewrites them.
const QList<CodeColumn> &movementTables();

// The description of a company table by name; raises zym::Error when unknown.
const TableSpec &company(const QString &name);

} // namespace Tables

} // namespace zym
