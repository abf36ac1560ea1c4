#include "RunLog.h"

#include "ReportXlsx.h"
#include "RunReport.h"

#include "db/Error.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace zym {

namespace {

// A company or operation name as part of a file name on every system.
QString fileNamePart(const QString &text)
{
    static const QRegularExpression unfit(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    return QString(text).replace(unfit, QStringLiteral("_")).trimmed();
}

} // namespace

QString RunLog::folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath(QStringLiteral("Raporlar"));
}

QString RunLog::fileName(const RunReport &report)
{
    QString name = report.heading.at.toString(QStringLiteral("yyyy-MM-dd_HHmmss")) + u' '
            + fileNamePart(report.heading.database) + u' ' + fileNamePart(report.heading.operation);
    if (report.kind == RunReport::Kind::Preview)
        name += QStringLiteral(" (önizleme)");
    return name + QStringLiteral(".xlsx");
}

bool RunLog::keeps(const RunReport &report)
{
    return report.kind != RunReport::Kind::Run
            || std::any_of(report.units.cbegin(), report.units.cend(),
                           [](const UnitRecord &unit) { return !unit.changedNothing(); });
}

QString RunLog::keep(const RunReport &report)
{
    const QString where = folder();
    if (!QDir().mkpath(where))
        throw Error(QStringLiteral("Rapor klasörü oluşturulamadı: %1")
                            .arg(QDir::toNativeSeparators(where)));
    const QString path = QDir(where).filePath(fileName(report));
    writeReportXlsx(report, path);
    return path;
}

} // namespace zym
