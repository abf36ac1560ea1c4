#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace zym {

// How the embedded backend reads T-SQL texts and values: the text and value
// rules SqliteDialect applies, also used by the tests' TDS stand-in.
namespace SqliteText {

struct Adapted
{
    QString text;
    // Databases the text reaches by a three-part name, other than the current one.
    QStringList databases;
};

// ISNULL( becomes IFNULL( (ISNULL is an SQLite keyword), a temporary table
// #T becomes temp.T, and "X.dbo.T" becomes "X".T, or plain T when X is the
// current database. String literals
// and comments are left alone.
Adapted adapt(const QString &tsql, const QString &currentDatabase);

// Date-times are stored and compared as 'yyyy-MM-dd HH:mm:ss' text.
QVariant bindable(const QVariant &value);

// Settings for runs that rewrite codes over many scattered rows: a page cache
// large enough to keep the touched pages of a company in memory (128 MiB at
// most, and only as far as pages are touched), and a write-ahead log that
// grows to 200 MiB before it is copied back, so that pages rewritten by many
// units are not copied back many times: a company's run of re-coding then
// copies back once, or not at all before the connection closes.
QStringList bulkWritePragmas();

// Whether a column declared as `declaredType` holds date-times.
bool isDateTimeType(const QString &declaredType);

// A date-time column's stored text read as the QDateTime it was bound as;
// a text of any other shape stays text.
QVariant storedDateTime(const QString &text);

// An SQLite identifier quoted with double quotes.
QString quotedName(const QString &name);

} // namespace SqliteText

} // namespace zym
