#pragma once

#include <QString>
#include <QtGlobal>

namespace zym {

// Converts a typed number the way the operator's runtime always has: optional
// leading blanks and sign, decimal digits, nothing after them, within the
// signed 32-bit range. Anything else raises
// "'<text>' is not a valid integer value".
qint32 parseInteger(const QString &typed);

} // namespace zym
