#pragma once

#include <QString>

namespace zym {

// The embedded backend: a folder stands in for a server, and each database
// of it is the file NAME.sqlite in that folder.
namespace EmbeddedFolder {

// Whether the typed server text names the embedded backend: only an absolute
// path (on Windows a drive path) of an existing folder does. "." and
// "(local)" are SQL Server's names for the local instance, and every relative
// text goes to SQL Server too, whatever folders the working directory holds.
bool isEmbedded(const QString &serverText);

QString databaseFile(const QString &folder, const QString &database);

} // namespace EmbeddedFolder

} // namespace zym
