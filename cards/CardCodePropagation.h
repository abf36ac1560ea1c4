#pragma once

#include "db/Command.h"
#include "ops/RunReport.h"
#include "ops/Walk.h"

#include <QList>
#include <QString>

namespace zym {

class Connection;

// Rewrites card codes in every table that carries them: twenty steps in a
// fixed order. The first three (card row, identity rows, address rows) are
// the card-row part; the identity and address steps leave payroll rows
// (module 8) alone.
//
// A card's own row is renamed at once, inside its unit. The scope's other
// steps wait for the end of the walk's group: each card's old and new codes
// go into a temporary mapping table, and the group then renames with one
// statement a table for all of its cards. The statements see the rows as
// they were before the group's renames, so codes swapped or passed on
// between the group's cards come out as card-by-card renames would leave
// them. Each statement must change exactly the rows the cards counted under
// their old codes (see codeTaken), else the group is refused and the walk
// runs its cards again one by one, where a card stays all or nothing.
class CardCodePropagation : public GroupWork
{
public:
    enum class Scope { CardRows, AllTables };

    struct Step
    {
        QString table;
        QString column;
        QString moduleColumn; // empty where the table has no module
        QString sql; // one card's rename, from :pCarKod to :pKod
        QString groupSql; // the renames of the cards in the mapping table

        // " AND (M IS NULL OR M<>8)" where the table has a module: what
        // keeps the step off payroll rows.
        QString outsidePayroll() const;
    };

    // All twenty steps, in the order they run.
    static const QList<Step> &steps();

    // One at a time on a connection; made outside any unit, as it readies
    // the mapping table.
    CardCodePropagation(Connection &connection, Scope scope);

    // Whether a row of any table of the propagation, other than the card's
    // own rows under `oldCode` and rows the group still has to rename,
    // already carries `newCode`: the renamed card would adopt it. Codes are
    // compared by the server, as each table's column compares them. Also
    // counts the card's rows that the group's statements will rename.
    bool codeTaken(const QString &newCode, const QString &oldCode);

    // Renames the card row from `oldCode` to `newCode` and leaves the
    // scope's other steps to the group's end; returns what those will
    // change. Call it inside the card's unit, after codeTaken for the same
    // codes. A card row that no longer carries `oldCode` (a list loaded
    // before the card changed) fails the unit with CardList::cardNotFound.
    QList<StatementEffect> run(const QString &newCode, const QString &oldCode);

    void startGroup() override;
    // Makes the group's renames; a table whose rows changed other than
    // counted raises.
    void finishGroup(Progress &progress) override;

private:
    qsizetype m_stepCount;
    Command m_cardRow;
    Command m_probe;
    Command m_remember;
    Command m_clear;
    QList<Command> m_groupRenames;
    QList<int> m_counted; // per group step, the rows the last probe counted
    QList<int> m_expected; // per group step, the rows the group's cards counted
    bool m_pending = false;
};

} // namespace zym
