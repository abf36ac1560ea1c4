#include "DatabaseBackup.h"

namespace zym {

const QString DatabaseBackup::sqlServerFolders =
        QStringLiteral("SELECT CAST(SERVERPROPERTY('InstanceDefaultBackupPath') AS NVARCHAR(4000)) "
                       "AS BACKUPFOLDER, "
                       "(SELECT TOP 1 physical_name FROM sys.database_files WHERE type = 0 ORDER "
                       "BY file_id) AS DATAFILE");

const QString DatabaseBackup::sqlServerBackup =
        QStringLiteral("BACKUP DATABASE :pDb TO DISK = :pFile WITH COPY_ONLY, INIT, CHECKSUM");

const QString DatabaseBackup::sqliteBackup = QStringLiteral("VACUUM main INTO :pFile");

QString DatabaseBackup::fileName(const QString &database, const QDateTime &at,
                                 const QString &extension)
{
    return database + at.toString(QStringLiteral("_yyyyMMdd_HHmmss")) + extension;
}

QString DatabaseBackup::sqlServerFolder(const QString &defaultBackupFolder, const QString &dataFile)
{
    if (!defaultBackupFolder.isEmpty())
        return defaultBackupFolder;
    const qsizetype cut = qMax(dataFile.lastIndexOf(u'\\'), dataFile.lastIndexOf(u'/'));
    return cut < 0 ? QString() : dataFile.left(cut);
}

QString DatabaseBackup::serverPath(const QString &folder, const QString &name)
{
    // A SQL Server on Linux writes "/" paths, on Windows "\" ones.
    const QChar separator = folder.contains(u'/') && !folder.contains(u'\\') ? u'/' : u'\\';
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

} // namespace zym
