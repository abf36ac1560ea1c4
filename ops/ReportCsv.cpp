#include "ReportCsv.h"

#include "RunReport.h"

namespace zym {

namespace {

// A field a spreadsheet would read as a formula is kept as text.
bool readAsFormula(const QString &text)
{
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString field(const QString &written)
{
    const QString text = readAsFormula(written) ? u'\'' + written : written;
    const bool quoted = text.contains(u';') || text.contains(u'"') || text.contains(u'\r')
            || text.contains(u'\n')
            || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

void addLine(QString &csv, const QStringList &fields)
{
    QStringList written;
    written.reserve(fields.size());
    for (const QString &text : fields)
        written << field(text);
    csv += written.join(u';') + QStringLiteral("\r\n");
}

void addTable(QString &csv, const TextTable &table)
{
    addLine(csv, table.header);
    for (const QStringList &row : table.rows)
        addLine(csv, row);
}

} // namespace

QByteArray reportCsv(const RunReport &report)
{
    QString csv;
    addLine(csv, { report.title() });
    addTable(csv, report.unitTable());
    csv += QStringLiteral("\r\n");
    addTable(csv, report.totalTable());
    csv += QStringLiteral("\r\n");
    addLine(csv, { QStringLiteral("Sonuç"), report.endText() });
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace zym
