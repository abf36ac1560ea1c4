#pragma once

#include <QString>

namespace zym {

struct RunReport;

// Writes the report as an Excel workbook at `path`, whole or not at all.
// The first sheet has the title and the heading fields above the units,
// the second the totals per table; each table's column titles are bold and
// stay in view as its rows scroll, and every column is as wide as its
// longest text. Codes, digits only or not, are text cells, so "0001" stays
// "0001"; counts are numbers. Raises zym::Error when the file cannot be
// written.
void writeReportXlsx(const RunReport &report, const QString &path);

} // namespace zym
