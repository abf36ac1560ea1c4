#pragma once

#include <QSet>
#include <QStyledItemDelegate>

namespace zym {

// Shows the dates of a grid in one Turkish form, "dd.MM.yyyy", with the time
// ("dd.MM.yyyy HH:mm:ss") in the columns where some value has one; a column
// of midnights holds dates. Other values are shown as the grid shows them.
class GridDates : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridDates(QAbstractItemModel *model, QObject *parent = nullptr);

    static QString shown(const QVariant &value, bool withTime);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    void findTimedColumns();

    QAbstractItemModel *m_model;
    QSet<int> m_timed;
};

} // namespace zym
