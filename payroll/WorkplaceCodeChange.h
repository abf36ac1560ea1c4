#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed for a workplace code change, as typed.
struct WorkplaceChangeRequest
{
    QString currentCode; // the workplace code to replace
    QString newCode; // the workplace code to write
    bool employeesOnly = false; // the list read again afterwards holds only those still at work
};

// Moves every registry row of one workplace code to another, in one
// statement over the whole registry, whatever the list shows. Codes are
// compared and written as typed: an empty text matches only rows whose code
// is the empty text, never rows without one. The operator is told how many
// rows changed, and the registry is listed again.
class WorkplaceCodeChange
{
public:
    static const QString countSuffix; // " Kart işlem gördü", after the number of rows changed

    explicit WorkplaceCodeChange(const OperationContext &context) : m_context(context) { }

    void run(const WorkplaceChangeRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
