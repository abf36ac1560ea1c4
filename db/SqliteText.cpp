#include "SqliteText.h"

#include "SqlText.h"

#include <QDateTime>
#include <QRegularExpression>

namespace zym {

namespace {

QString adaptCode(QString code, const QString &currentDatabase, QStringList &databases)
{
    static const QRegularExpression isNull(QStringLiteral(R"(\bISNULL(\s*\())"),
                                           QRegularExpression::CaseInsensitiveOption);
    code.replace(isNull, QStringLiteral("IFNULL\\1"));
    static const QRegularExpression temporary(QStringLiteral(R"((?<![\w@$#\]"])#([A-Za-z_]\w*))"));
    code.replace(temporary, QStringLiteral("temp.\\1"));

    static const QRegularExpression threePart(
            QStringLiteral(
                    R"((?:\[((?:[^\]]|\]\])*)\]|\b([A-Za-z_][A-Za-z0-9_@$#]*))\s*\.\s*(?:\[dbo\]|dbo)\s*\.)"),
            QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype last = 0;
    for (auto it = threePart.globalMatch(code); it.hasNext();) {
        const auto match = it.next();
        const QString database = match.capturedStart(1) >= 0
                ? match.captured(1).replace(QStringLiteral("]]"), QStringLiteral("]"))
                : match.captured(2);
        result += code.mid(last, match.capturedStart() - last);
        if (database.compare(currentDatabase, Qt::CaseInsensitive) != 0) {
            result += SqliteText::quotedName(database) + u'.';
            if (!databases.contains(database))
                databases << database;
        }
        last = match.capturedEnd();
    }
    return result + code.mid(last);
}

} // namespace

SqliteText::Adapted SqliteText::adapt(const QString &tsql, const QString &currentDatabase)
{
    Adapted adapted;
    SqlText::forEachPart(
            tsql,
            [&](const QString &code) {
                adapted.text += adaptCode(code, currentDatabase, adapted.databases);
            },
            [&](const QString &verbatim) { adapted.text += verbatim; });
    return adapted;
}

QVariant SqliteText::bindable(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDateTime>())
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return value;
}

QStringList SqliteText::bulkWritePragmas()
{
    return { QStringLiteral("PRAGMA cache_size=-131072"),
             QStringLiteral("PRAGMA wal_autocheckpoint=50000") };
}

bool SqliteText::isDateTimeType(const QString &declaredType)
{
    return declaredType.compare(QStringLiteral("DATETIME"), Qt::CaseInsensitive) == 0;
}

QVariant SqliteText::storedDateTime(const QString &text)
{
    for (const QString &format :
         { QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") }) {
        const QDateTime read = QDateTime::fromString(text, format);
        if (read.isValid())
            return read;
    }
    return text;
}

QString SqliteText::quotedName(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace zym
