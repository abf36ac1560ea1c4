#pragma once

#include "ops/RunReport.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace zym {

class Prompter;
class TextTableModel;

// The report of the last run in a window of its own that leaves the main
// window free: its title and heading, how the run ended, one row per unit,
// the totals per table (a check's summary and findings instead), and a button that saves it all as a CSV file through the
// platform's save dialog.
class ReportWindow : public QWidget
{
    Q_OBJECT

public:
    // Errors of saving go to the prompter's error display.
    ReportWindow(Prompter &prompter, QWidget *owner);

    void setReport(const RunReport &report);
    // Writes the report's CSV file, whole or not at all; raises zym::Error
    // when the file cannot be written.
    void saveAs(const QString &path) const;

private:
    void chooseFileAndSave();

    Prompter &m_prompter;
    RunReport m_report;
    QLabel *m_title;
    QLabel *m_heading;
    QLabel *m_end;
    TextTableModel *m_units;
    TextTableModel *m_totals;
    QTableView *m_unitView;
    QTableView *m_totalView;
    QPushButton *m_save;
};

} // namespace zym
