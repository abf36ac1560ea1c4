#include "SingleUnit.h"

#include "db/Error.h"
#include "db/UnitOfWork.h"

namespace zym {

void runAsOneUnit(Connection &connection, const std::function<void()> &work)
{
    UnitOfWork unit(connection);
    try {
        work();
    } catch (const Error &error) {
        unit.rollbackAfter(error.text());
        throw;
    } catch (...) {
        unit.rollbackAfter(QString());
        throw;
    }
    unit.commit();
}

} // namespace zym
