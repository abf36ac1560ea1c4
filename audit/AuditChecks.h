#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zym {

// One check of "Denetle": a single read-only query that lists what an
// operation would stop at, pass over or merge, letting the server compare
// codes with the columns' own collation.
//
// The query takes the most rows to return as :pSinir and answers one row per
// finding, at most that many, with the columns
//   TUR     which of the check's kinds of finding it is, from 1
//   TABLO   the table it lies in
//   ANAHTAR its key (a code or a voucher number; NULL where the code is NULL)
//   DETAY   what the explanation names besides the key, or NULL
//   SAYI    the rows it stands for
//   TOPLAM  the number of findings the check has in all
struct AuditCheck
{
    QString title;
    QString sql;
    // One per kind of finding, in TUR order; "%1" stands for DETAY.
    QStringList explanations;
};

namespace AuditChecks {

// Findings listed per check; the total is counted beyond it.
constexpr int findingLimit = 1000;

// The fixed list of checks, in the order they run.
const QList<AuditCheck> &all();

} // namespace AuditChecks

} // namespace zym
