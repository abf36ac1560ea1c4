#pragma once

#include "CodePage.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace zym {

struct ServerText;

// The parameters of one prepared ODBC statement, bound once to buffers of
// their own and refilled in place at each execution. FreeTDS prepares a
// statement anew after any SQLBindParameter, so binding at every execution,
// as Qt does, costs an sp_unprepare and an sp_prepexec each time; bound once,
// a later execution is one sp_execute. A parameter is bound again only when
// its value's kind changes or outgrows its buffer.
//
// Text goes as UTF-16 with its own length, never a terminating NUL, and is
// declared VARCHAR of a fixed size, the kind of the product's code and title
// columns: the server then compares it with a column as it stands (an index
// seek) and keeps one plan per statement text.
class OdbcParameters
{
public:
    // `names`: the name of each "?" of `sql`, in order; `codePage`: the
    // database's, which every text must fit.
    OdbcParameters(QString sql, QStringList names, CodePage codePage);

    // `sql` with "?" for its named parameters, which bind through this.
    static ServerText serverText(const QString &sql, const CodePage &codePage);

    // Fills the parameters of `statement` (an SQLHSTMT) from `values`;
    // raises with the driver's text when a binding is refused, and before
    // any binding, naming the value and its column, when a text does not fit
    // the code page.
    void fill(void *statement, const QVariantMap &values);

private:
    struct Parameter
    {
        short cType = 0;
        short sqlType = 0;
        qsizetype capacity = -1; // bytes bound; -1 while unbound
        QByteArray buffer;
        long long indicator = 0;
    };
    void bind(void *statement, int position, Parameter &parameter, short cType, short sqlType,
              qsizetype size);
    void requireHeld(const QVariantMap &values) const;

    QString m_sql; // as written, with ":name" placeholders
    QStringList m_names;
    CodePage m_codePage;
    QList<Parameter> m_parameters;
};

} // namespace zym
