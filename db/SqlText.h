#pragma once

#include <QString>
#include <QStringList>

namespace zym {

// Facts read off a statement text the way the servers read it.
namespace SqlText {

// Parameter names written as ":name" in the code of the text (outside
// literals, bracketed names and comments), each once, in order of first
// appearance.
QStringList parameterNames(const QString &sql);

// The text with each ":name" placeholder written as "?", and the name of
// each "?" in order: a name used twice fills two places.
struct Positional
{
    QString text;
    QStringList names;
};
Positional positional(const QString &sql);

// What a statement that changes rows does, and to which table.
struct Change
{
    enum class Kind { None, Insert, Update, Delete };
    Kind kind = Kind::None;
    QString table; // as written, brackets removed
};

// Read off the statement's first words: INSERT [INTO] t, UPDATE t, DELETE
// [FROM] t. Any other text, or one that changes a temporary table #t,
// changes nothing that is told apart (Kind::None).
Change changeOf(const QString &sql);

// The column that ":name" is written to or compared with: its place in an
// INSERT's column and VALUES lists, else "COLUMN = :name" or "<>", the
// parameter perhaps inside a function, RTRIM(:name). The first such column,
// brackets and alias removed; empty when the text names none.
QString columnOf(const QString &sql, const QString &name);

// Whether anything but blanks and comments follows a ";" that ends a
// statement: a second statement, which the servers would run too.
bool holdsSecondStatement(const QString &sql);

// The first word that makes `sql` more than one query, upper-cased: a
// first word other than SELECT or WITH, or anywhere in the code a word that
// writes, defines, runs or ends something (INSERT, DELETE, INTO, EXEC,
// COMMIT, ...). A T-SQL batch needs no ";" between two statements, so the
// words themselves are looked for. Empty for one query.
QString beyondOneQuery(const QString &sql);

// `sql` with each comment replaced by a blank, as the servers read it.
// Qt's scan for ":name" placeholders reads comments as code: a colon in
// one ("-- 10:30") would make a placeholder the server never sees.
QString withoutComments(const QString &sql);

// `name` bracketed for T-SQL, with "]" doubled: any typed name stays one name.
QString bracketed(const QString &name);

// Index of the "]" that closes the bracketed name opening at `open`, reading
// "]]" as an escaped bracket; the text's size when it is never closed.
qsizetype closingBracket(const QString &sql, qsizetype open);

// Calls `code` for each stretch of code and `verbatim` for each string
// literal ('...' or "...") and comment (-- to the end of the line, /* */), in
// order. Bracketed names stay inside the code stretches, so a quote within
// brackets starts no literal, and an apostrophe in a comment opens none.
template<typename Code, typename Verbatim>
void forEachPart(const QString &sql, Code code, Verbatim verbatim);

// Where the literal or comment starting at `pos` ends (one past its last
// character); `pos` itself when none starts there.
qsizetype verbatimEnd(const QString &sql, qsizetype pos);

} // namespace SqlText

template<typename Code, typename Verbatim>
void SqlText::forEachPart(const QString &sql, Code code, Verbatim verbatim)
{
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < sql.size()) {
        if (sql.at(pos) == u'[') {
            pos = qMin(closingBracket(sql, pos) + 1, sql.size());
            continue;
        }
        const qsizetype end = verbatimEnd(sql, pos);
        if (end == pos) {
            ++pos;
            continue;
        }
        code(sql.mid(start, pos - start));
        verbatim(sql.mid(pos, end - pos));
        start = pos = end;
    }
    code(sql.mid(start));
}

} // namespace zym
