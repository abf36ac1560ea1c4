#pragma once

#include "db/SqlText.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zym {

// One statement a unit ran and the rows it affected.
struct StatementEffect
{
    SqlText::Change::Kind kind;
    QString table;
    int rows;
};

// What a unit of work says about itself in the report: the key of what it
// handled, for a re-coding the new code, the accounts it made, and the
// changes it left to be made when its transaction commits.
struct UnitNote
{
    QString key;
    QString newCode;
    QStringList accounts;
    QList<StatementEffect> atCommit;
};

// A unit whose work was kept: the list row it ran on (-1 where no list is
// walked), its note and its statements in the order they ran.
struct UnitRecord
{
    int row;
    UnitNote note;
    QList<StatementEffect> statements;

    // Every statement affected no row (or none ran).
    bool changedNothing() const;
};

// How a run ended, with the notice or error text and the list row it ended
// on (-1 where there is none).
struct RunEnd
{
    enum class Reason { End, Cancelled, Conflict, Error };
    Reason reason = Reason::End;
    QString text;
    int row = -1;
};

// The rows one table had inserted, updated and deleted over a run.
struct TableTotal
{
    QString table;
    int inserted = 0;
    int updated = 0;
    int deleted = 0;
};

// Rows of texts under a header, as the report window and its file show them.
struct TextTable
{
    QStringList header;
    QList<QStringList> rows;
};

// The record of one run: every unit it kept, once, in the order kept, and
// how it ended. A preview's report lists what the run would have kept.
struct RunReport
{
    enum class Kind { Run, Preview };

    Kind kind = Kind::Run;
    QList<UnitRecord> units;
    RunEnd end;

    // "Önizleme: hiçbir değişiklik kaydedilmedi" for a preview.
    QString title() const;
    // Per table, in the order the tables were first changed.
    QList<TableTotal> totals() const;
    // One row per unit that changed something: list row (counted from 1),
    // key, new code, accounts made, and each statement as "UPDATE CARKART 1".
    TextTable unitTable() const;
    // The units that changed nothing: counted, not listed.
    qsizetype unchangedUnits() const;
    TextTable totalTable() const;
    // "Çakışma, satır 3: ..." and the like, with the count of the units that
    // changed nothing.
    QString endText() const;
};

} // namespace zym
