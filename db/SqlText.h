#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zym {

// Facts read off a statement text the way Qt and the servers read it.
namespace SqlText {

// Parameter names written as ":name" outside quotes and brackets, each once,
// in order of first appearance. Qt's own placeholder scan skips the same
// quoted parts, so these are the placeholders Qt will bind.
QStringList parameterNames(const QString &sql);

// For a "USE name" or "USE [name]" statement, the database name (brackets
// removed, "]]" undoubled, a trailing ";" dropped); otherwise nothing.
std::optional<QString> useTarget(const QString &sql);

// `name` bracketed for T-SQL, with "]" doubled: any typed name stays one name.
QString bracketed(const QString &name);

// Index of the "]" that closes the bracketed name opening at `open`, reading
// "]]" as an escaped bracket; the text's size when it is never closed.
qsizetype closingBracket(const QString &sql, qsizetype open);

// Calls `code` for each stretch outside string literals and `literal` for
// each string literal ('...' or "..."), in order; bracketed names stay inside
// the code stretches, so a quote within brackets starts no literal.
template<typename Code, typename Literal>
void forEachPart(const QString &sql, Code code, Literal literal);

} // namespace SqlText

template<typename Code, typename Literal>
void SqlText::forEachPart(const QString &sql, Code code, Literal literal)
{
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < sql.size()) {
        const QChar c = sql.at(pos);
        if (c == u'[') {
            pos = qMin(closingBracket(sql, pos) + 1, sql.size());
            continue;
        }
        if (c != u'\'' && c != u'"') {
            ++pos;
            continue;
        }
        code(sql.mid(start, pos - start));
        qsizetype end = pos + 1;
        while (end < sql.size()) {
            if (sql.at(end) == c) {
                if (end + 1 < sql.size() && sql.at(end + 1) == c) {
                    end += 2;
                    continue;
                }
                break;
            }
            ++end;
        }
        end = qMin(end + 1, sql.size());
        literal(sql.mid(pos, end - pos));
        start = pos = end;
    }
    code(sql.mid(start));
}

} // namespace zym
