#pragma once

#include <QHash>
#include <QString>

namespace zym::test {

// One sheet of an Excel file as a test reads it back: the file is a zip of
// XML parts, taken out with the unzip program.
class XlsxSheet
{
public:
    struct Cell
    {
        QString type; // "s" shared text, "n" number, "inlineStr" ...
        QString text; // a text cell's text, a number's digits
        bool bold = false;
    };

    // Sheet `number` (from 1) of the file at `path`; a part that cannot be
    // read leaves the sheet empty and `error` saying why.
    XlsxSheet(const QString &path, int number);

    QString error;
    QHash<QString, Cell> cells; // by reference, "B12"
    QHash<int, double> widths; // by column, from 1
    int frozenRows = 0;
    QString name;
};

} // namespace zym::test
