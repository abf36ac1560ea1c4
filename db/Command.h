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

private:
    const QVariantMap &checked(const QVariantMap &values) const;

    Connection *m_connection;
    QString m_text;
    QStringList m_parameters;
};

} // namespace zym
