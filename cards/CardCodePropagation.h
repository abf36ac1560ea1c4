#pragma once

#include "db/Command.h"

#include <QList>
#include <QString>

namespace zym {

class Connection;

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
    };

    // All twenty steps, in the order they run.
    static const QList<Step> &steps();

    // "Kart bulunamadı: X. Kart listesini CariKart ile yeniden yükleyin."
    static QString cardNotFound(const QString &listedCode);

    CardCodePropagation(Connection &connection, Scope scope);

    // Runs the steps of the scope in order, from `oldCode` to `newCode`. Call
    // it inside the card's unit of work: a failing step raises and the unit's
    // rollback takes back the steps before it. A card row that no longer
    // carries `oldCode` (a list loaded before the card changed) fails the
    // unit with cardNotFound.
    void run(const QString &newCode, const QString &oldCode) const;

    // Whether a row of a table the scope renames, other than the card's own
    // rows under `oldCode`, already carries `newCode`. The card's own rows
    // are told apart by their code, not by the server's comparison, which may
    // ignore case and trailing blanks.
    bool codeTaken(const QString &newCode, const QString &oldCode) const;

private:
    QList<Command> m_renames;
    Command m_probe;
};

} // namespace zym
