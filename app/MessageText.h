#pragma once

#include <QString>

namespace zym {

// Title of the notice and error boxes: the program file's name without its
// extension. The tool sets no title of its own.
QString applicationTitle();

// An error message as the error box shows it: a full stop is added when the
// text is not empty and its last character's code is above that of "." (46),
// so a text ending in ".", "-" or a blank is left as it is.
QString withFullStop(const QString &message);

} // namespace zym
