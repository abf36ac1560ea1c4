#pragma once

#include <QString>
#include <QStringList>

namespace zym {

// How much sample data a company database gets.
struct DemoSize
{
    int cards = 240;
    int movements = 3000;
    int stockCards = 60;
    int vouchers = 40;
    int employees = 30;
};

// Writes a folder the tool can connect to as its embedded server: the master
// database ZYM_<masterSuffix>.sqlite listing the companies, and one database
// file per company with Turkish sample data for every operation. The first
// company gets `size`, the others a small fixed amount; the second also holds
// a handful of rows for "Denetle" to find. Deterministic: the same size gives
// the same rows. Existing files in the folder are replaced, and the folder
// keeps the stamp of what was written.
class DemoData
{
public:
    static const QString defaultMasterSuffix;

    // What the generator writes for `size`, as a short text: the same text
    // means the same rows. The version in it goes up with every change to
    // the rows the generator writes.
    static QString stamp(const DemoSize &size);
    // The stamp the folder was written with; empty when none.
    static QString writtenStamp(const QString &folder);

    // The company databases written, in the order the master lists them.
    static QStringList companies();

    static void write(const QString &folder, const DemoSize &size,
                      const QString &masterSuffix = defaultMasterSuffix);
    static void writeCompany(const QString &folder, const QString &company, const DemoSize &size);
};

} // namespace zym
