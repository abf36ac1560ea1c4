#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zym {

// The fixed table of account sets that links stock cards to the chart of
// accounts: a card's group number (STKGENKDVNO) selects five accounts, one
// for each link item 1 to 5. Groups without a set get no links.
namespace StockAccountSets {

struct Item
{
    int number; // SMBITEMNO and SMBFTNO
    QString account; // SMBMUHKOD1
    QString insert; // the statement that inserts this link row, with the stock code as :pKOD
};

// The five items of `group`'s set in item order; empty for a group without one.
QList<Item> items(int group);

// The group numbers that have a set, in ascending order.
QList<int> groups();

} // namespace StockAccountSets

} // namespace zym
