#pragma once

#include <QString>

namespace zym {

// The embedded backend: a folder stands in for a server, and each database
// of it is the file NAME.sqlite in that folder.
namespace EmbeddedFolder {

// Whether the typed server text is written as a folder path: an absolute path
// (on Windows a drive path), or one that starts from the working directory
// with "./" or "../" (on Windows also ".\" or "..\"). "." and "(local)" are
// SQL Server's names for the local instance, and every other relative text
// goes to SQL Server too, whatever folders the working directory holds.
bool isFolderPath(const QString &serverText);

// Whether the typed server text names the embedded backend: a folder path
// of an existing folder.
bool isEmbedded(const QString &serverText);

QString databaseFile(const QString &folder, const QString &database);

// Where the backups of the folder's databases go: its folder "Yedek".
QString backupFolder(const QString &folder);

} // namespace EmbeddedFolder

} // namespace zym
