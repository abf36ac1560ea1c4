#pragma once

#include "ResultSet.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace zym {

class Connection;

// A fixed statement an operation owns. Its text is set once; each run binds
// every parameter of it at once, by name (names without the colon). A name
// left without a value, or a value for a name the text lacks, is an error:
// nothing carries over from an earlier run.
//
// Values bind as their kind: QString as text (a null text as empty text),
// qint32 as integer, QDateTime as date-time.
class Command
{
public:
    Command(Connection &connection, QString sql);

    const QString &text() const { return m_text; }

    // Runs the text once; returns the number of rows affected.
    int execute(const QVariantMap &values = {}) const;
    // Runs a query and returns its whole result.
    ResultSet fetch(const QVariantMap &values = {}) const;

    // For a statement meant for the one record `key` names (a card, an
    // account, a registry row): where no unique key keeps alike codes apart,
    // the server may take several rows for that one ('abc' and 'ABC', 'K1'
    // and 'K1 '). More than one raises, so the unit is rolled back; fewer is
    // the caller's to judge. Returns the rows changed, or the rows read.
    int executeOnOneRow(const QVariantMap &values, const QString &key) const;
    ResultSet fetchOneRow(const QVariantMap &values, const QString &key) const;

    // The check of the two above on the rows a statement reported for the
    // record `key` names. A count the server did not report (-1, as under
    // NOCOUNT) raises too: neither "no such record" nor "one record" could
    // be told from it.
    static void requireOneRow(qsizetype rows, const QString &key);

private:
    const QVariantMap &checked(const QVariantMap &values) const;

    Connection *m_connection;
    QString m_text;
    QStringList m_parameters;
};

} // namespace zym
