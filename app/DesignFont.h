#pragma once

#include <QStringList>

namespace zym {

// The window is drawn in Tahoma 8 pt, its bold controls in Tahoma Bold. Where
// the system has no Tahoma, Debian's fonts-wine package ships one with
// Tahoma's metrics, outside the folders fontconfig searches: it is loaded
// from there, before the window is built. Without either, the window falls
// back to the system's sans serif.
namespace DesignFont {

// Folders searched for tahoma.ttf and tahomabd.ttf.
QStringList folders();

// Makes Tahoma available to the application; true when it is.
bool ensureTahoma(const QStringList &searched = folders());

} // namespace DesignFont

} // namespace zym
