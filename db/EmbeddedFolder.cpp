#include "EmbeddedFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zym {

bool EmbeddedFolder::isEmbedded(const QString &serverText)
{
#ifdef Q_OS_WIN
    static const QRegularExpression drivePath(QStringLiteral(R"(^[A-Za-z]:[\\/])"));
    if (!drivePath.match(serverText).hasMatch())
        return false;
#else
    if (!serverText.startsWith(u'/'))
        return false;
#endif
    return QFileInfo(serverText).isDir();
}

QString EmbeddedFolder::databaseFile(const QString &folder, const QString &database)
{
    return QDir(folder).filePath(database + QStringLiteral(".sqlite"));
}

} // namespace zym
