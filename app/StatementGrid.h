#pragma once

#include <QHash>
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

    // Column widths by column name (case-insensitive), applied each time the
    // statement's rows are new; other columns keep the default width.
    void setColumnWidths(const QHash<QString, int> &widths);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitRowsToFont();
    void applyColumnWidths();
    void followStatement(int row);

    Statement &m_statement;
    ResultModel *m_model;
    QHash<QString, int> m_widths;
};

} // namespace zym
