#pragma once

#include <QList>
#include <QString>

namespace zym {

struct Session;
class Statement;

// Rewrites one card code in every table that carries it: twenty statements in
// a fixed order. The first three (card row, identity rows, address rows) are
// the card-row part; the identity and address statements leave payroll rows
// (module 8) alone.
class CardCodePropagation
{
public:
    enum class Scope { CardRows, AllTables };

    struct Step
    {
        QString table;
        QString column;
        QString moduleColumn; // empty where the table has no module
        QString sql;
        Statement Session::*statement;
    };

    // All twenty steps, in the order they run.
    static const QList<Step> &steps();

    explicit CardCodePropagation(Session &session) : m_session(session) {}

    // Runs the steps of `scope` in order, from `oldCode` to `newCode`. Call it
    // inside the card's unit of work: a failing step raises and the unit's
    // rollback takes back the steps before it.
    void run(Scope scope, const QString &newCode, const QString &oldCode);

    // Whether a row of a table that `scope` renames already carries `newCode`.
    bool codeTaken(Scope scope, const QString &newCode);

private:
    static qsizetype stepCount(Scope scope);

    Session &m_session;
};

} // namespace zym
