#include "EmbeddedFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zym {

bool EmbeddedFolder::isFolderPath(const QString &serverText)
{
#ifdef Q_OS_WIN
    static const QRegularExpression folderPath(QStringLiteral(R"(^([A-Za-z]:[\\/]|\.\.?[\\/]))"));
#else
    static const QRegularExpression folderPath(QStringLiteral(R"(^(/|\.\.?/))"));
#endif
    return folderPath.match(serverText).hasMatch();
}

bool EmbeddedFolder::isEmbedded(const QString &serverText)
{
    return isFolderPath(serverText) && QFileInfo(serverText).isDir();
}

QString EmbeddedFolder::databaseFile(const QString &folder, const QString &database)
{
    return QDir(folder).filePath(database + QStringLiteral(".sqlite"));
}

QString EmbeddedFolder::backupFolder(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Yedek"));
}

} // namespace zym
