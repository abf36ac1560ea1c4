#pragma once

#include "db/Command.h"
#include "ops/RunReport.h"

#include <QList>
#include <QString>

#include <memory>

namespace zym {

class Connection;
class PendingRenames;

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

        // " AND (M IS NULL OR M<>8)" where the table has a module: what
        // keeps the step off payroll rows.
        QString outsidePayroll() const;
    };

    // All twenty steps, in the order they run.
    static const QList<Step> &steps();

    // How many of the scope's steps run inside the card's unit on
    // `connection`; the others are put off to the unit's commit.
    static qsizetype stepsInUnit(const Connection &connection, Scope scope);

    // One at a time on a connection.
    CardCodePropagation(Connection &connection, Scope scope);
    ~CardCodePropagation();

    // Runs the steps of the scope in order, from `oldCode` to `newCode`. Call
    // it inside the card's unit of work: a failing step raises and the unit's
    // rollback takes back the steps before it. A card row that no longer
    // carries `oldCode` (a list loaded before the card changed) fails the
    // unit with CardList::cardNotFound.
    //
    // On the embedded backend, every step of the whole scope but the card
    // row's is made when the unit's transaction commits (see
    // PendingRenames); what those steps will change is returned, for the
    // unit's note.
    QList<StatementEffect> run(const QString &newCode, const QString &oldCode);

    // Whether a row of any table of the propagation, other than the card's
    // own rows under `oldCode`, already carries `newCode`. The card's own rows
    // are told apart by their code, not by the server's comparison, which may
    // ignore case and trailing blanks.
    bool codeTaken(const QString &newCode, const QString &oldCode);

private:
    // The rows the put-off steps' tables hold under a card's old code, as
    // the probe for its new code counted them.
    struct Counted
    {
        QString newCode;
        QString oldCode;
        QList<int> rows;
    };

    Connection &m_connection;
    QList<Command> m_renames;
    Command m_probe;
    std::unique_ptr<PendingRenames> m_pending;
    Counted m_counted;
};

} // namespace zym
