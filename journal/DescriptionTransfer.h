#pragma once

#include "ops/Operation.h"

namespace zym {

// The run takes nothing the operator types.
struct DescriptionTransferRequest
{
};

// Writes into the descriptions of every voucher's lines the accounts its
// lines of the other type use: each type-2 line gets the codes and names of
// the type-1 lines, then each type-1 line those of the type-2 lines.
//
// It walks the voucher list (qMUHFIS) from its current row; each voucher is
// one unit of work, its two updates commit together. The lines are read
// through qMUHHAR, which is left on the last voucher's type-2 lines. The
// voucher grid stays where it is during the walk and follows the list again
// when the run ends, however it ends.
class DescriptionTransfer
{
public:
    explicit DescriptionTransfer(const OperationContext &context) : m_context(context) { }

    void run(const DescriptionTransferRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
