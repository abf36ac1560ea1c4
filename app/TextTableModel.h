#pragma once

#include "ops/RunReport.h"

#include <QAbstractTableModel>

namespace zym {

// Shows a table of texts in a grid, read-only.
class TextTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) { }

    void setTable(TextTable table);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    TextTable m_table;
};

} // namespace zym
