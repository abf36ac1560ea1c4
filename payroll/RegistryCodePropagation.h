#pragma once

#include "db/Command.h"

#include <QList>
#include <QString>

namespace zym {

class Connection;

// Rewrites one registry code in every payroll table that carries it: ten
// statements in a fixed order, the registry row first. Of the four tables
// that all modules share, only payroll rows (module 8) are rewritten.
class RegistryCodePropagation
{
public:
    struct Step
    {
        QString table;
        QString column;
        QString moduleColumn; // empty where the table belongs to payroll alone
        QString sql;
    };

    // All ten steps, in the order they run.
    static const QList<Step> &steps();

    // "Sicil bulunamadı: X. Listeyi Listele ile yeniden yükleyin."
    static QString registryNotFound(const QString &listedCode);

    explicit RegistryCodePropagation(Connection &connection);

    // Runs the ten steps in order, from `oldCode` to `newCode`. Call it inside
    // the row's unit of work: a failing step raises and the unit's rollback
    // takes back the steps before it. A registry row that no longer carries
    // `oldCode` (a list loaded before it changed) fails the unit with
    // registryNotFound.
    void run(const QString &newCode, const QString &oldCode) const;

    // Whether a row of any of the ten tables already carries `newCode`: a
    // registry row, listed or not, or rows an employee no longer in the
    // registry left behind. A registry row whose code is `newCode` already
    // finds itself.
    bool codeTaken(const QString &newCode) const;

private:
    QList<Command> m_renames;
    Command m_probe;
};

} // namespace zym
