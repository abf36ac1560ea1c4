#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zym::test {

// A parameter as the ODBC driver manager had it when a statement executed:
// its binding, and what its length indicator and buffer held.
struct DriverParameter
{
    int position = 0;
    short cType = 0;
    short sqlType = 0;
    quint64 columnSize = 0;
    qint64 length = 0; // the indicator: bytes, or SQL_NULL_DATA (-1)
    QByteArray bytes; // the buffer's first `length` bytes

    // Whether the parameter is bound as text (narrow or wide).
    bool isText() const;
    // The bytes read as the text the driver gets; null for NULL.
    QString text() const;
};

// What this test program hands the ODBC driver manager, seen by defining two
// of its entry points, SQLBindParameter and SQLExecute, in the program: they
// come before libodbc's for every caller, Qt's ODBC plugin included, note
// each call and pass it on. The program must export its symbols
// (ENABLE_EXPORTS).
namespace DriverCalls {

// The parameters of each statement executed since the last clear(), in order.
QList<QList<DriverParameter>> executions();
void clear();

} // namespace DriverCalls

} // namespace zym::test
