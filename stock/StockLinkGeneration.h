#pragma once

#include "ops/Operation.h"

namespace zym {

// The run takes nothing the operator types.
struct StockLinkRequest
{
};

// Gives every stock card that has a first description the link rows of its
// group's account set (STKMUHBAGLANTI), from the fixed table of sets.
//
// Each card is one unit of work of the walk: its inserts commit together. A
// card gets only the items of its set it does not have yet, so running again
// adds nothing, whether or not the table keeps (stock code, item) unique.
// Cards whose group has no set get nothing. Nothing is shown at the end.
class StockLinkGeneration
{
public:
    explicit StockLinkGeneration(const OperationContext &context) : m_context(context) { }

    void run(const StockLinkRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
