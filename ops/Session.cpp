#include "Session.h"

namespace zym {

Session::Session()
{
    for (Statement *list : { &cardList, &voucherList, &journalLines, &registryList }) {
        QObject::connect(&connection, &Connection::databaseChanged, list, &Statement::close);
        QObject::connect(&connection, &Connection::disconnected, list, &Statement::close);
    }
}

} // namespace zym
