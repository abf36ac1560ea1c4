#include "SqlText.h"

#include <QRegularExpression>

namespace zym {

namespace {
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}
}

qsizetype SqlText::closingBracket(const QString &sql, qsizetype open)
{
    qsizetype pos = open + 1;
    while (pos < sql.size()) {
        if (sql.at(pos) == u']') {
            if (pos + 1 < sql.size() && sql.at(pos + 1) == u']') {
                pos += 2;
                continue;
            }
            return pos;
        }
        ++pos;
    }
    return sql.size();
}

QStringList SqlText::parameterNames(const QString &sql)
{
    QStringList names;
    forEachPart(
        sql,
        [&names](const QString &code) {
            for (qsizetype pos = 0; pos < code.size(); ++pos) {
                const QChar c = code.at(pos);
                if (c == u'[') {
                    pos = closingBracket(code, pos);
                    continue;
                }
                if (c != u':' || pos + 1 >= code.size() || !isNameChar(code.at(pos + 1)))
                    continue;
                qsizetype end = pos + 1;
                while (end < code.size() && isNameChar(code.at(end)))
                    ++end;
                const QString name = code.mid(pos + 1, end - pos - 1);
                if (!names.contains(name))
                    names << name;
                pos = end - 1;
            }
        },
        [](const QString &) {});
    return names;
}

std::optional<QString> SqlText::useTarget(const QString &sql)
{
    static const QRegularExpression use(
        QStringLiteral(R"(^\s*USE\s+(?:\[((?:[^\]]|\]\])*)\]|([^\s;\[]\S*?))\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = use.match(sql);
    if (!match.hasMatch())
        return std::nullopt;
    if (match.capturedStart(1) >= 0)
        return match.captured(1).replace(QStringLiteral("]]"), QStringLiteral("]"));
    return match.captured(2);
}

QString SqlText::bracketed(const QString &name)
{
    return u'[' + QString(name).replace(u']', QStringLiteral("]]")) + u']';
}

} // namespace zym
