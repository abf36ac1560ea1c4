#include "StatementGrid.h"

#include "GridDates.h"

#include "app/ResultModel.h"
#include "db/Statement.h"

#include <QEvent>
#include <QHeaderView>

namespace zym {

StatementGrid::StatementGrid(Statement &statement, QWidget *parent)
    : QTableView(parent), m_statement(statement), m_model(new ResultModel(statement, this))
{
    setModel(m_model);
    setItemDelegate(new GridDates(m_model, this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // One line a record, as record grids show them.
    setWordWrap(false);
    fitRowsToFont();

    connect(m_model, &QAbstractItemModel::modelReset, this, &StatementGrid::applyColumnWidths);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    m_statement.setCurrentRow(current.row());
            });
    connect(&statement, &Statement::currentRowChanged, this, &StatementGrid::followStatement);
}

void StatementGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowsToFont();
}

void StatementGrid::fitRowsToFont()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void StatementGrid::showColumns(const QList<Column> &columns)
{
    QStringList names;
    m_widths.clear();
    for (const Column &column : columns) {
        names << column.name;
        m_widths << column.width;
    }
    m_model->setColumns(names);
}

void StatementGrid::applyColumnWidths()
{
    // Columns the grid was not told about are at least as wide as their titles.
    if (m_widths.isEmpty()) {
        for (int column = 0; column < m_model->columnCount(); ++column)
            setColumnWidth(column,
                           qMax(horizontalHeader()->defaultSectionSize(),
                                horizontalHeader()->sectionSizeHint(column)));
        return;
    }
    for (int column = 0; column < qMin(m_model->columnCount(), int(m_widths.size())); ++column) {
        if (m_widths.at(column) > 0)
            setColumnWidth(column, m_widths.at(column));
    }
}

void StatementGrid::followStatement(int row)
{
    if (row >= m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex current = m_model->index(row, qMax(currentIndex().column(), 0));
    selectionModel()->setCurrentIndex(
            current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace zym
