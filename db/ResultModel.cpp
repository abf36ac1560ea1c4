#include "ResultModel.h"

#include "Statement.h"

namespace zym {

ResultModel::ResultModel(Statement &statement, QObject *parent)
    : QAbstractTableModel(parent)
    , m_statement(statement)
{
    connect(&statement, &Statement::reset, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_statement.rowCount();
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_statement.isOpen() ? 0 : int(m_statement.result().columns.size());
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariant &value = m_statement.result().rows.at(index.row()).at(index.column());
    return value.isNull() ? QVariant(QString()) : value;
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_statement.result().columns.value(section);
    return section + 1;
}

} // namespace zym
