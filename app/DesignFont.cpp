#include "DesignFont.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace zym {

namespace {
const QString tahoma = QStringLiteral("Tahoma");
}

QStringList DesignFont::folders()
{
    return { QStringLiteral("/usr/share/wine/fonts") };
}

bool DesignFont::ensureTahoma(const QStringList &searched)
{
    if (QFontDatabase::families().contains(tahoma))
        return true;
    for (const QString &folder : searched) {
        const QString regular = QDir(folder).filePath(QStringLiteral("tahoma.ttf"));
        if (!QFileInfo::exists(regular))
            continue;
        QFontDatabase::addApplicationFont(regular);
        QFontDatabase::addApplicationFont(QDir(folder).filePath(QStringLiteral("tahomabd.ttf")));
        break;
    }
    return QFontDatabase::families().contains(tahoma);
}

} // namespace zym
