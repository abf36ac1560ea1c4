#include "StockAccountSets.h"

#include <QMap>

namespace zym {

namespace {

// Group number -> accounts of items 1 to 5. Group 2 differs from the pattern
// of the others: its item 3 is group 1's, its item 5 its own.
const QMap<int, QStringList> &accountTable()
{
    static const QMap<int, QStringList> table{
        { 1, { "153 03 05", "153 03 05", "600 03 05", "610 05", "600 03 05" } },
        { 2, { "153 00 01", "153 00 01", "600 03 05", "610 00", "600 00 01" } },
        { 3, { "153 02 01", "153 02 01", "600 02 01", "610 07", "600 02 01" } },
        { 4, { "153 01 01", "153 01 01", "600 02 03", "610 07", "600 02 03" } },
        { 5, { "153 03 06", "153 03 06", "600 03 06", "610 06", "600 03 06" } },
        { 6, { "153 01 02", "153 01 02", "600 01 01", "610 06", "600 01 01" } },
        { 8, { "153 02 02", "153 02 02", "600 02 02", "610 06", "600 02 02" } },
    };
    return table;
}

QString insertText(int item, const QString &account)
{
    return QStringLiteral(
                   "INSERT INTO STKMUHBAGLANTI([SMBSTKKOD],[SMBITEMNO],[SMBFTNO],[SMBMUHKOD1])"
                   "VALUES(:pKOD,%1,%1,'%2')")
            .arg(item)
            .arg(account);
}

} // namespace

QList<StockAccountSets::Item> StockAccountSets::items(int group)
{
    QList<Item> set;
    const QStringList accounts = accountTable().value(group);
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        const int number = int(i) + 1;
        set << Item{ number, accounts.at(i), insertText(number, accounts.at(i)) };
    }
    return set;
}

QList<int> StockAccountSets::groups()
{
    return accountTable().keys();
}

} // namespace zym
