#pragma once

#include "CardCodePropagation.h"

#include "db/Command.h"
#include "db/Connection.h"

#include <QList>
#include <QSet>
#include <QString>

namespace zym {

// The renames of the cards of one transaction, put off until it commits and
// then made with one statement per table: on the embedded backend a card
// then costs a fraction of a statement per table instead of one. The texts
// are SQLite's; on SQL Server each card renames its own rows.
//
// Made together, the renames leave the rows that card-by-card statements
// would. No two pending codes are alike, not even ignoring case and
// trailing blanks, so no row matches two cards and no renamed row matches
// another card; a card whose codes are alike a pending card's has the
// pending renames made first (see touches). Each table must change exactly
// the rows the cards counted under their old codes, or the commit is
// refused, and the walk runs the cards again one by one.
//
// Pending renames live in the transaction: a rollback takes them back. They
// are also made, still inside the transaction, once they hold about a
// twentieth of a second's work, so that no commit keeps the window from
// repainting for long.
class PendingRenames
{
public:
    PendingRenames(Connection &connection, QList<CardCodePropagation::Step> steps);

    // Whether either code is alike a pending card's, so that what this card
    // reads or renames depends on the renames still pending.
    bool touches(const QString &newCode, const QString &oldCode) const;
    // Puts off the renames of a card; `rows` holds, per step, the rows it
    // renames. Returns what the steps will change.
    QList<StatementEffect> add(const QString &newCode, const QString &oldCode, const QList<int> &rows);
    // Makes the pending renames now, inside the open transaction.
    void flush();

private:
    void forget();

    Connection &m_connection;
    QList<CardCodePropagation::Step> m_steps;
    Command m_remember;
    Command m_clear;
    QList<Command> m_renames;
    QList<int> m_expected; // per step, the rows the pending cards counted
    int m_cards = 0;
    int m_rows = 0;
    QSet<QString> m_codes; // the pending cards' codes, as compared in touches()
    Connection::Observation m_observation;
};

} // namespace zym
