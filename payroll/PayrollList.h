#pragma once

#include <QString>

namespace zym {

struct Session;

// The payroll list: the rows of the employee registry in qBor, in the
// server's order. The renumbering walks it from its current row.
namespace PayrollList {

extern const QString allQuery; // "SELECT * FROM BORSICIL "
extern const QString employeesQuery; // "SELECT * FROM BORSICIL Where BORSCLISCIKKOD=0"

// Replaces qBor's text with the query of every registry row, or of those
// still at work only, and opens it on its first row.
void load(Session &session, bool employeesOnly);

} // namespace PayrollList

} // namespace zym
