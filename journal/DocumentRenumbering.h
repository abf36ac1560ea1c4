#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed for a renumbering run, as typed.
struct RenumberingRequest
{
    QString prefix; // put before every new number; may be empty
    QString firstNumber; // the first voucher's running number
};

// Gives the vouchers selected by the last line listing new document numbers:
// the prefix followed by a running number in plain decimal, written on every
// line of the voucher.
//
// The selection is that of the listing's start date and pattern as qMUHHAR
// still carries them, whatever the editors show now; without them the
// operator is asked to list first and nothing changes. qMUHHAR then shows one
// row per voucher, in order of its earliest listed line's date, then of its
// reference number, and each voucher gets one number, so the numbers run
// without gaps. Each voucher is one unit of work. A run that reaches the end
// says so, also when nothing was selected.
class DocumentRenumbering
{
public:
    static const QString listFirst; // "Önce Listele ile kayıtları listeleyin."
    static const QString finished; // "İşlem Tamamlandı"

    explicit DocumentRenumbering(const OperationContext &context) : m_context(context) { }

    void run(const RenumberingRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
