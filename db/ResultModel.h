#pragma once

#include <QAbstractTableModel>

namespace zym {

class Statement;

// Shows an opened statement's rows in a grid, read-only. Grids set the
// statement's current row through Statement::setCurrentRow.
class ResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultModel(Statement &statement, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Statement &m_statement;
};

} // namespace zym
