#include "XlsxSheet.h"

#include <QList>
#include <QProcess>
#include <QXmlStreamReader>

namespace zym::test {

namespace {

QByteArray part(const QString &path, const QString &member, QString &error)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-p"), path, member });
    if (!unzip.waitForFinished() || unzip.exitCode() != 0) {
        error = QStringLiteral("unzip -p %1 %2: %3")
                        .arg(path, member, QString::fromUtf8(unzip.readAllStandardError()));
        return {};
    }
    return unzip.readAllStandardOutput();
}

// The texts of <si> entries, in order.
QStringList sharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("si"))
            strings << QString();
        else if (reader.isStartElement() && reader.name() == QLatin1String("t")
                 && !strings.isEmpty())
            strings.last() += reader.readElementText();
    }
    return strings;
}

// For each cell style, whether its font is bold.
QList<bool> boldStyles(const QByteArray &xml)
{
    QList<bool> boldFonts;
    QList<bool> styles;
    bool inCellStyles = false;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == QLatin1String("font"))
                boldFonts << false;
            else if (reader.name() == QLatin1String("b") && !boldFonts.isEmpty())
                boldFonts.last() = true;
            else if (reader.name() == QLatin1String("cellXfs"))
                inCellStyles = true;
            else if (inCellStyles && reader.name() == QLatin1String("xf"))
                styles << boldFonts.value(
                        reader.attributes().value(QLatin1String("fontId")).toInt());
        } else if (reader.isEndElement() && reader.name() == QLatin1String("cellXfs")) {
            inCellStyles = false;
        }
    }
    return styles;
}

QString sheetName(const QByteArray &workbook, int number)
{
    QXmlStreamReader reader(workbook);
    int seen = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("sheet") && ++seen == number)
            return reader.attributes().value(QLatin1String("name")).toString();
    }
    return QString();
}

} // namespace

XlsxSheet::XlsxSheet(const QString &path, int number)
{
    const QByteArray sheet =
            part(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number), error);
    const QStringList strings =
            sharedStrings(part(path, QStringLiteral("xl/sharedStrings.xml"), error));
    const QList<bool> bold = boldStyles(part(path, QStringLiteral("xl/styles.xml"), error));
    name = sheetName(part(path, QStringLiteral("xl/workbook.xml"), error), number);
    if (!error.isEmpty())
        return;
    QXmlStreamReader reader(sheet);
    QString reference;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == QLatin1String("pane")
            && attributes.value(QLatin1String("state")) == QLatin1String("frozen")) {
            frozenRows = attributes.value(QLatin1String("ySplit")).toInt();
        } else if (reader.name() == QLatin1String("col")) {
            for (int column = attributes.value(QLatin1String("min")).toInt();
                 column <= attributes.value(QLatin1String("max")).toInt(); ++column)
                widths[column] = attributes.value(QLatin1String("width")).toDouble();
        } else if (reader.name() == QLatin1String("c")) {
            reference = attributes.value(QLatin1String("r")).toString();
            Cell &cell = cells[reference];
            cell.type = attributes.hasAttribute(QLatin1String("t"))
                    ? attributes.value(QLatin1String("t")).toString()
                    : QStringLiteral("n");
            cell.bold = bold.value(attributes.value(QLatin1String("s")).toInt());
        } else if (reader.name() == QLatin1String("v")) {
            Cell &cell = cells[reference];
            const QString value = reader.readElementText();
            cell.text = cell.type == QLatin1String("s") ? strings.value(value.toInt()) : value;
        }
    }
}

} // namespace zym::test
