#pragma once

#include "db/SqlText.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

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
// changes it left to the end of its group.
struct UnitNote
{
    QString key;
    QString newCode;
    QStringList accounts;
    // What the statements its group runs for it at the group's end change.
    QList<StatementEffect> atGroupEnd;
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
    // Columns that hold counts; every other column holds text, codes of
    // digits included.
    QList<qsizetype> countColumns = {};
};

// What a report names above its rows: the operation, where and when it ran,
// who ran it, and where its backup went (or why there is none).
struct RunHeading
{
    QString operation;
    QString server;
    QString database;
    QDateTime at;
    QString user;
    QString backup;

    // The operating system's user running the tool.
    static QString currentUser();
};

// What a report that changes nothing lists instead of units and totals:
// a check of the company ("Denetim"), its summary first, then its findings.
struct Listing
{
    TextTable summary;
    TextTable rows;
};

// The record of one run: every unit it kept, once, in the order kept, and
// how it ended. A preview's report lists what the run would have kept; a
// check's report lists what it found.
struct RunReport
{
    enum class Kind { Run, Preview, Audit };

    Kind kind = Kind::Run;
    QList<UnitRecord> units;
    RunEnd end;
    // A check's tables, which stand in for the units and the totals.
    std::optional<Listing> listing;

    // "Önizleme: hiçbir değişiklik kaydedilmedi" for a preview, "Denetim"
    // for a check.
    QString title() const;
    // Per table, in the order the tables were first changed.
    QList<TableTotal> totals() const;
    // One row per unit that changed something: list row (counted from 1),
    // key, new code, accounts made, and each statement as "UPDATE CARKART 1".
    // A check's summary.
    TextTable unitTable() const;
    // The units that changed nothing: counted, not listed.
    qsizetype unchangedUnits() const;
    // A check's findings.
    TextTable totalTable() const;
    // "Çakışma, satır 3: ..." and the like, with the count of the units that
    // changed nothing.
    QString endText() const;

    RunHeading heading;
    // The heading as named fields, in order, ending with the kind of run and
    // how it ended: "İşlem", "Sunucu", "Firma", "Tarih", "Kullanıcı", "Tür",
    // "Yedek", "Sonuç".
    QList<std::pair<QString, QString>> headingFields() const;
    // "Gerçek çalıştırma", "Önizleme" or "Denetim (veri değiştirmez)".
    QString kindText() const;
};

} // namespace zym
