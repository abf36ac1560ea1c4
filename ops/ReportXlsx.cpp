#include "ReportXlsx.h"

#include "RunReport.h"

#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace zym {

namespace {

// In characters, as Excel measures a column.
constexpr int narrowestColumn = 6;
constexpr int widestColumn = 80;
constexpr int columnPadding = 2;

// One sheet being filled: its cells, and the width each column needs.
class Sheet
{
public:
    Sheet(lxw_workbook *book, const QString &name, lxw_format *bold)
        : m_sheet(workbook_add_worksheet(book, name.toUtf8().constData())), m_bold(bold)
    {
    }

    void text(int row, int column, const QString &value, bool bold = false, bool fits = true)
    {
        if (fits)
            fit(column, value);
        if (!value.isEmpty())
            worksheet_write_string(m_sheet, row, lxw_col_t(column), value.toUtf8().constData(),
                                   bold ? m_bold : nullptr);
    }

    void number(int row, int column, double value, const QString &shown)
    {
        fit(column, shown);
        worksheet_write_number(m_sheet, row, lxw_col_t(column), value, nullptr);
    }

    // The table's column titles on `row`, bold and kept in view, its rows below.
    void table(int row, const TextTable &table)
    {
        for (qsizetype column = 0; column < table.header.size(); ++column)
            text(row, int(column), table.header.at(column), true);
        worksheet_freeze_panes(m_sheet, lxw_row_t(row + 1), 0);
        for (const QStringList &cells : table.rows) {
            ++row;
            for (qsizetype column = 0; column < cells.size(); ++column)
                cell(row, int(column), cells.at(column), table.countColumns.contains(column));
        }
    }

    void setWidths()
    {
        for (qsizetype column = 0; column < m_widths.size(); ++column) {
            const int width =
                    qBound(narrowestColumn, m_widths.at(column) + columnPadding, widestColumn);
            worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
        }
    }

private:
    void cell(int row, int column, const QString &value, bool count)
    {
        bool isNumber = false;
        const qlonglong n = value.toLongLong(&isNumber);
        if (count && isNumber)
            number(row, column, double(n), value);
        else
            text(row, column, value);
    }

    void fit(int column, const QString &value)
    {
        if (m_widths.size() <= column)
            m_widths.resize(column + 1, 0);
        m_widths[column] = qMax(m_widths.at(column), int(value.size()));
    }

    lxw_worksheet *m_sheet;
    lxw_format *m_bold;
    QList<int> m_widths;
};

void fill(lxw_workbook *book, const RunReport &report)
{
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);

    Sheet units(book, QStringLiteral("Rapor"), bold);
    int row = 0;
    // Long texts of the heading run over the empty cells beside them.
    units.text(row, 0, report.title(), true, false);
    for (const auto &[name, value] : report.headingFields()) {
        ++row;
        units.text(row, 0, name, true);
        units.text(row, 1, value, false, false);
    }
    units.table(row + 2, report.unitTable());
    units.setWidths();

    Sheet totals(book, QStringLiteral("Tablo Toplamları"), bold);
    totals.table(0, report.totalTable());
    totals.setWidths();
}

Error notSaved(const QString &path, const QString &why)
{
    return Error(
            QStringLiteral("Rapor kaydedilemedi: %1: %2").arg(QDir::toNativeSeparators(path), why));
}

} // namespace

void writeReportXlsx(const RunReport &report, const QString &path)
{
    // Written beside its place under a name of its own, then put in place.
    QTemporaryFile part(path + QStringLiteral(".XXXXXX"));
    if (!part.open())
        throw notSaved(path, part.errorString());
    part.close();
    lxw_workbook *book = workbook_new(QFile::encodeName(part.fileName()).constData());
    if (!book)
        throw notSaved(path, QStringLiteral("dosya açılamadı"));
    fill(book, report);
    if (const lxw_error failure = workbook_close(book); failure != LXW_NO_ERROR)
        throw notSaved(path, QString::fromUtf8(lxw_strerror(failure)));
    if (QFile::exists(path) && !QFile::remove(path))
        throw notSaved(path, QStringLiteral("eski dosya silinemedi"));
    if (!part.rename(path))
        throw notSaved(path, part.errorString());
    part.setAutoRemove(false);
}

} // namespace zym
