#pragma once

#include <QString>
#include <QtGlobal>

namespace zym {

class Statement;

// Converts a typed number the way the operator's runtime always has: optional
// leading blanks and sign, decimal digits, nothing after them, within the
// signed 32-bit range. Anything else raises
// "'<text>' is not a valid integer value".
qint32 parseInteger(const QString &typed);

// A column of a list's current row as a whole number, by the same rule; an
// empty value reads as 0. A whole number stored as a decimal or floating
// point value (100000.0) reads as that number.
qint32 readInteger(const Statement &list, const QString &column);
// The same for a key column, whose NULL raises (see Statement::keyValue).
qint32 readIntegerKey(const Statement &list, const QString &column);

} // namespace zym
