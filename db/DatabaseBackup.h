#pragma once

#include <QDateTime>
#include <QString>

namespace zym {

// What a backup of the current database is made with, on either backend:
// the statements, the file name and, on SQL Server, the folder the server
// writes into. A backup runs outside any transaction.
namespace DatabaseBackup {

// "<database>_<yyyyMMdd_HHmmss><extension>".
QString fileName(const QString &database, const QDateTime &at, const QString &extension);

// SQL Server: the instance's default backup folder, else the folder of the
// current database's first data file, as the server's own paths.
extern const QString sqlServerFolders; // columns BACKUPFOLDER, DATAFILE
// A copy-only backup leaves the product's own backup chain as it is;
// pDb and pFile are the database name and the file the server writes.
extern const QString sqlServerBackup;
// The folder a SQL Server backup goes into, from the two columns above.
QString sqlServerFolder(const QString &defaultBackupFolder, const QString &dataFile);
// `folder` joined with `name` by the separator the server's own path uses.
QString serverPath(const QString &folder, const QString &name);

// SQLite: an online copy of the main database into the file pFile.
extern const QString sqliteBackup;

} // namespace DatabaseBackup

} // namespace zym
