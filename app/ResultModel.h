#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace zym {

class Statement;

// Shows an opened statement's rows in a grid, read-only: every column of the
// result, or only the columns named, in the order named. Grids set the
// statement's current row through Statement::setCurrentRow.
class ResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultModel(Statement &statement, QObject *parent = nullptr);

    // Shows only these columns (matched case-insensitively), whatever the
    // order of the result's; an empty list shows them all.
    void setColumns(const QStringList &names);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void mapColumns();

    Statement &m_statement;
    QStringList m_names;
    // Result column shown in each grid column; -1 where the result lacks it.
    QList<qsizetype> m_shown;
};

} // namespace zym
