#include "SqlText.h"

#include <QRegularExpression>
#include <QSet>

namespace zym {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// End of a literal opening with `quote` at `pos`; a doubled quote stays inside.
qsizetype literalEnd(const QString &sql, qsizetype pos, QChar quote)
{
    qsizetype end = pos + 1;
    while (end < sql.size()) {
        if (sql.at(end) == quote) {
            if (end + 1 < sql.size() && sql.at(end + 1) == quote) {
                end += 2;
                continue;
            }
            return end + 1;
        }
        ++end;
    }
    return sql.size();
}

// The word at `pos` (letters only) and where it ends, after the blanks before it.
QString wordAt(const QString &sql, qsizetype &pos)
{
    while (pos < sql.size() && sql.at(pos).isSpace())
        ++pos;
    const qsizetype start = pos;
    while (pos < sql.size() && sql.at(pos).isLetter())
        ++pos;
    return sql.mid(start, pos - start).toUpper();
}

// The table name at `pos`: a bracketed name, or everything up to a blank or
// an opening parenthesis.
QString tableAt(const QString &sql, qsizetype pos)
{
    while (pos < sql.size() && sql.at(pos).isSpace())
        ++pos;
    if (pos < sql.size() && sql.at(pos) == u'[') {
        const qsizetype close = SqlText::closingBracket(sql, pos);
        return sql.mid(pos + 1, close - pos - 1).replace(QStringLiteral("]]"), QStringLiteral("]"));
    }
    const qsizetype start = pos;
    while (pos < sql.size() && !sql.at(pos).isSpace() && sql.at(pos) != u'(' && sql.at(pos) != u';')
        ++pos;
    return sql.mid(start, pos - start);
}

// A column as written, "[A B]" or "m.CARKOD", as its bare name.
QString bareColumn(QString column)
{
    column = column.trimmed();
    if (column.endsWith(u']'))
        return column.mid(column.lastIndexOf(u'[') + 1)
                .chopped(1)
                .replace(QStringLiteral("]]"), QStringLiteral("]"));
    return column.mid(column.lastIndexOf(u'.') + 1);
}

// The items of the list that opens after `open` ("(" excluded), split at
// the commas outside any nested parenthesis, up to its closing ")".
QStringList listItems(const QString &sql, qsizetype open)
{
    QStringList items;
    int depth = 0;
    qsizetype start = open;
    for (qsizetype pos = open; pos < sql.size(); ++pos) {
        const QChar c = sql.at(pos);
        if (c == u'(') {
            ++depth;
        } else if (c == u')' && depth-- == 0) {
            items << sql.mid(start, pos - start);
            break;
        } else if (c == u',' && depth == 0) {
            items << sql.mid(start, pos - start);
            start = pos + 1;
        }
    }
    return items;
}

// A verbatim part (see forEachPart) that is a comment, not a literal.
bool isComment(const QString &verbatim)
{
    return verbatim.startsWith(u'-') || verbatim.startsWith(u'/');
}

} // namespace

SqlText::Change SqlText::changeOf(const QString &sql)
{
    qsizetype pos = 0;
    const QString verb = wordAt(sql, pos);
    Change::Kind kind = Change::Kind::None;
    QString optional;
    if (verb == QStringLiteral("INSERT")) {
        kind = Change::Kind::Insert;
        optional = QStringLiteral("INTO");
    } else if (verb == QStringLiteral("UPDATE")) {
        kind = Change::Kind::Update;
    } else if (verb == QStringLiteral("DELETE")) {
        kind = Change::Kind::Delete;
        optional = QStringLiteral("FROM");
    } else {
        return {};
    }
    if (!optional.isEmpty()) {
        qsizetype after = pos;
        if (wordAt(sql, after) == optional)
            pos = after;
    }
    // A temporary table (#T) is the connection's own, not the database's.
    const QString table = tableAt(sql, pos);
    return table.isEmpty() || table.startsWith(u'#') ? Change{} : Change{ kind, table };
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

qsizetype SqlText::verbatimEnd(const QString &sql, qsizetype pos)
{
    const QChar c = sql.at(pos);
    if (c == u'\'' || c == u'"')
        return literalEnd(sql, pos, c);
    const QStringView rest = QStringView(sql).mid(pos);
    if (rest.startsWith(u"--")) {
        const qsizetype newline = sql.indexOf(u'\n', pos);
        return newline < 0 ? sql.size() : newline;
    }
    if (rest.startsWith(u"/*")) {
        const qsizetype close = sql.indexOf(QStringLiteral("*/"), pos + 2);
        return close < 0 ? sql.size() : close + 2;
    }
    return pos;
}

SqlText::Positional SqlText::positional(const QString &sql)
{
    Positional result;
    forEachPart(
            sql,
            [&result](const QString &code) {
                for (qsizetype pos = 0; pos < code.size(); ++pos) {
                    const QChar c = code.at(pos);
                    if (c == u'[') {
                        const qsizetype close = closingBracket(code, pos);
                        result.text += code.mid(pos, close + 1 - pos);
                        pos = close;
                        continue;
                    }
                    if (c != u':' || pos + 1 >= code.size() || !isNameChar(code.at(pos + 1))) {
                        result.text += c;
                        continue;
                    }
                    qsizetype end = pos + 1;
                    while (end < code.size() && isNameChar(code.at(end)))
                        ++end;
                    result.names << code.mid(pos + 1, end - pos - 1);
                    result.text += u'?';
                    pos = end - 1;
                }
            },
            [&result](const QString &verbatim) { result.text += verbatim; });
    return result;
}

QStringList SqlText::parameterNames(const QString &sql)
{
    QStringList names;
    for (const QString &name : positional(sql).names) {
        if (!names.contains(name))
            names << name;
    }
    return names;
}

bool SqlText::holdsSecondStatement(const QString &sql)
{
    bool ended = false;
    bool second = false;
    forEachPart(
            sql,
            [&](const QString &code) {
                for (qsizetype pos = 0; pos < code.size() && !second; ++pos) {
                    const QChar c = code.at(pos);
                    if (c == u';')
                        ended = true;
                    else if (ended && !c.isSpace())
                        second = true;
                    else if (c == u'[')
                        pos = closingBracket(code, pos);
                }
            },
            // A literal is code; a comment is not.
            [&](const QString &verbatim) { second = second || (ended && !isComment(verbatim)); });
    return second;
}

QString SqlText::beyondOneQuery(const QString &sql)
{
    static const QSet<QString> writing{
        QStringLiteral("INSERT"),         QStringLiteral("UPDATE"),
        QStringLiteral("DELETE"),         QStringLiteral("MERGE"),
        QStringLiteral("INTO"),           QStringLiteral("DROP"),
        QStringLiteral("ALTER"),          QStringLiteral("CREATE"),
        QStringLiteral("TRUNCATE"),       QStringLiteral("EXEC"),
        QStringLiteral("EXECUTE"),        QStringLiteral("COMMIT"),
        QStringLiteral("ROLLBACK"),       QStringLiteral("SAVE"),
        QStringLiteral("BEGIN"),          QStringLiteral("USE"),
        QStringLiteral("GRANT"),          QStringLiteral("REVOKE"),
        QStringLiteral("DENY"),           QStringLiteral("BACKUP"),
        QStringLiteral("RESTORE"),        QStringLiteral("DBCC"),
        QStringLiteral("KILL"),           QStringLiteral("SHUTDOWN"),
        QStringLiteral("DECLARE"),        QStringLiteral("SET"),
        QStringLiteral("WAITFOR"),        QStringLiteral("BULK"),
        QStringLiteral("OPENROWSET"),     QStringLiteral("OPENQUERY"),
        QStringLiteral("OPENDATASOURCE"), QStringLiteral("RECONFIGURE"),
        QStringLiteral("ATTACH"),         QStringLiteral("DETACH"),
        QStringLiteral("PRAGMA"),         QStringLiteral("VACUUM"),
    };
    // The code alone: literals, comments and bracketed names are blanks.
    QString code;
    forEachPart(
            sql,
            [&](const QString &part) {
                for (qsizetype pos = 0; pos < part.size(); ++pos) {
                    if (part.at(pos) != u'[') {
                        code += part.at(pos);
                        continue;
                    }
                    pos = closingBracket(part, pos);
                    code += u' ';
                }
            },
            [&](const QString &) { code += u' '; });

    bool first = true;
    for (qsizetype pos = 0; pos < code.size();) {
        if (!isNameChar(code.at(pos)) && code.at(pos) != u'@' && code.at(pos) != u'#') {
            ++pos;
            continue;
        }
        const qsizetype start = pos;
        while (pos < code.size()
               && (isNameChar(code.at(pos)) || code.at(pos) == u'@' || code.at(pos) == u'#'))
            ++pos;
        const QString word = code.mid(start, pos - start).toUpper();
        const bool refused = first
                ? word != QStringLiteral("SELECT") && word != QStringLiteral("WITH")
                : writing.contains(word);
        if (refused)
            return word;
        first = false;
    }
    return QString();
}

QString SqlText::withoutComments(const QString &sql)
{
    QString text;
    forEachPart(
            sql, [&](const QString &code) { text += code; },
            [&](const QString &verbatim) {
                text += isComment(verbatim) ? QStringLiteral(" ") : verbatim;
            });
    return text;
}

QString SqlText::bracketed(const QString &name)
{
    return u'[' + QString(name).replace(u']', QStringLiteral("]]")) + u']';
}

QString SqlText::columnOf(const QString &sql, const QString &name)
{
    const QString code = withoutComments(sql);
    const QString parameter = QStringLiteral(":%1(?!\\w)").arg(QRegularExpression::escape(name));
    static const QRegularExpression insert(
            QStringLiteral("^\\s*INSERT\\s+(?:INTO\\s+)?(?:\\[[^\\]]*\\]|[^\\s(]+)\\s*\\(([^)]*)\\)"
                           "\\s*VALUES\\s*\\("),
            QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = insert.match(code); match.hasMatch()) {
        const QStringList columns = match.captured(1).split(u',');
        const QStringList values = listItems(code, match.capturedEnd());
        const QRegularExpression used(parameter);
        for (qsizetype i = 0; i < qMin(columns.size(), values.size()); ++i) {
            if (values.at(i).contains(used))
                return bareColumn(columns.at(i));
        }
    }
    const QRegularExpression compared(
            QStringLiteral("(\\[[^\\]]*\\]|[\\w.]+)\\s*(?:=|<>)\\s*(?:\\w+\\s*\\(\\s*)*")
            + parameter);
    const QRegularExpressionMatch match = compared.match(code);
    return match.hasMatch() ? bareColumn(match.captured(1)) : QString();
}

} // namespace zym
