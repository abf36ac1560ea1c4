#pragma once

#include <QList>
#include <QTableView>

namespace zym {

class ResultModel;
class Statement;

// A read-only grid on a statement's rows. The row the operator selects
// becomes the statement's current row, and a walk of the statement moves the
// selection along with it.
class StatementGrid : public QTableView
{
    Q_OBJECT

public:
    explicit StatementGrid(Statement &statement, QWidget *parent = nullptr);

    struct Column
    {
        QString name;
        int width; // pixels; 0 keeps the grid's default
    };

    // Shows only these columns of the statement's rows, in this order and at
    // these widths, whatever the order of the result's columns; the widths
    // are set again each time the rows are new.
    void showColumns(const QList<Column> &columns);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitRowsToFont();
    void applyColumnWidths();
    void followStatement(int row);

    Statement &m_statement;
    ResultModel *m_model;
    QList<int> m_widths;
};

} // namespace zym
