#include "ResultModel.h"

#include "db/Statement.h"

namespace zym {

ResultModel::ResultModel(Statement &statement, QObject *parent)
    : QAbstractTableModel(parent), m_statement(statement)
{
    connect(&statement, &Statement::reset, this, [this] {
        beginResetModel();
        mapColumns();
        endResetModel();
    });
}

void ResultModel::setColumns(const QStringList &names)
{
    beginResetModel();
    m_names = names;
    mapColumns();
    endResetModel();
}

void ResultModel::mapColumns()
{
    m_shown.clear();
    if (!m_statement.isOpen())
        return;
    const ResultSet &result = m_statement.result();
    if (m_names.isEmpty()) {
        for (qsizetype i = 0; i < result.columns.size(); ++i)
            m_shown << i;
        return;
    }
    for (const QString &name : m_names)
        m_shown << result.columnIndex(name);
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_statement.rowCount();
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const qsizetype column = m_shown.at(index.column());
    if (column < 0)
        return QString();
    const QVariant &value = m_statement.result().rows.at(index.row()).at(column);
    return value.isNull() ? QVariant(QString()) : value;
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_shown.size())
        return {};
    const qsizetype column = m_shown.at(section);
    return column >= 0 ? m_statement.result().columns.value(column) : m_names.at(section);
}

} // namespace zym
