#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// What the operator typed and ticked for a renumbering run, as typed.
struct RegistryRenumberingRequest
{
    QString startNumber; // the first new registry number
    QString codeMask; // number picture of the new codes
    bool employeesOnly = false; // the list read again afterwards holds only those still at work
    bool showConversion = false; // each change is shown ("old->new") before it is made
};

// Gives every row of the payroll list, from its current row to its last, a
// new registry code from a running number and rewrites it in every payroll
// table.
//
// Each row is one unit of work of the walk: its ten statements commit
// together. A new code that a row of any of the ten tables already carries
// stops the run before that row with the conflict notice. A run that ends
// without an error (at the end of the list, at a conflict or cancelled) lists
// the registry again and says it is done.
class RegistryRenumbering
{
public:
    static const QString finished; // "İşlem Tamamlandı."

    explicit RegistryRenumbering(const OperationContext &context) : m_context(context) { }

    void run(const RegistryRenumberingRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
