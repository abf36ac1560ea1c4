#pragma once

#include <QString>
#include <QtGlobal>

namespace zym {

// Renders a whole number with a number picture such as "0000" or "C0000":
// "0" is a digit place that always shows a digit (a leading zero where the
// number has none), "#" one that shows a digit only where the number has one.
// Digits beyond the places come before the first place. Text in single or
// double quotes is copied without the quotes, any other character as it is.
// A negative number is preceded by "-"; an empty picture gives plain digits.
namespace CodeMask {

QString render(const QString &picture, qint32 number);

// The same, for a code that names something (a card, an account, an
// employee): a picture that leaves no character of it but blanks, as "#"
// does for 0, raises instead, since the code would name nothing.
QString renderCode(const QString &picture, qint32 number);

} // namespace CodeMask

} // namespace zym
