#pragma once

#include <QString>

namespace zym {

struct RunReport;

// The record on disk of the runs that changed data and of the previews:
// each report as an Excel file in the folder "Raporlar" of the tool's data
// folder, named "<yyyy-MM-dd_HHmmss> <company> <operation>.xlsx" after its
// heading, a preview's with " (önizleme)" before the extension.
namespace RunLog {

QString folder();
QString fileName(const RunReport &report);
// Whether the report belongs in the log: a preview, a check, or a run that
// kept a change.
bool keeps(const RunReport &report);
// Writes the report's file and returns its path; raises zym::Error when it
// cannot be written.
QString keep(const RunReport &report);

} // namespace RunLog

} // namespace zym
