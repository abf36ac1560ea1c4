#pragma once

#include <QByteArray>

namespace zym {

struct RunReport;

// The report as a CSV file for spreadsheets set up for Turkey: UTF-8 with a
// byte-order mark, fields separated by ";", lines ended by CR LF. The title
// comes first, so that a preview's file is never taken for a run's, with the
// heading's lines under it; then the
// units under their header, the totals per table, and how the run ended,
// each part after an empty line. A field holding a separator, a quote, a line
// break or blanks at either end is quoted, its quotes doubled.
QByteArray reportCsv(const RunReport &report);

} // namespace zym
