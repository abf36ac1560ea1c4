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
// window free: its title, its heading (operation, server, company, time,
// user, kind of run, backup, how the run ended), the file the run log keeps
// it in, one row per unit and the totals per table (a check's summary and
// findings instead), and buttons that save it all as a CSV or an Excel file
// through the platform's save dialog, saying where it went, and open the run
// log's folder.
class ReportWindow : public QWidget
{
    Q_OBJECT

public:
    // Errors of saving go to the prompter's error display.
    ReportWindow(Prompter &prompter, QWidget *owner);

    // `logFile` is where the run log keeps it, or why it does not.
    void setReport(const RunReport &report, const QString &logFile = QString());
    // Writes the report's CSV file, whole or not at all; raises zym::Error
    // when the file cannot be written.
    void saveAs(const QString &path) const;
    void saveAsXlsx(const QString &path) const;

private:
    enum class Format { Csv, Xlsx };
    void chooseFileAndSave(Format format);
    void openLogFolder();

    Prompter &m_prompter;
    RunReport m_report;
    QLabel *m_title;
    QLabel *m_heading;
    QLabel *m_end;
    QLabel *m_logFile;
    TextTableModel *m_units;
    TextTableModel *m_totals;
    QTableView *m_unitView;
    QTableView *m_totalView;
    QPushButton *m_save;
    QPushButton *m_saveXlsx;
    QPushButton *m_openFolder;
};

} // namespace zym
