#include "DemoData.h"

#include "db/Error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Writes the sample databases the tool can open as its embedded server."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("Folder to write the databases into."));
    const QCommandLineOption cards(QStringLiteral("cards"),
                                   QStringLiteral("Cards in the first company."),
                                   QStringLiteral("n"), QString::number(zym::DemoSize().cards));
    const QCommandLineOption movements(
            QStringLiteral("movements"), QStringLiteral("Movement rows in the first company."),
            QStringLiteral("n"), QString::number(zym::DemoSize().movements));
    const QCommandLineOption refresh(
            QStringLiteral("refresh"),
            QStringLiteral("Write only when the folder holds no data of this size and version."));
    parser.addOptions({ cards, movements, refresh });
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    zym::DemoSize size;
    bool cardsOk = false;
    bool movementsOk = false;
    size.cards = parser.value(cards).toInt(&cardsOk);
    size.movements = parser.value(movements).toInt(&movementsOk);
    if (!cardsOk || !movementsOk || size.cards < 0 || size.movements < 0) {
        QTextStream(stderr) << "--cards and --movements take whole numbers of zero or more\n";
        return 1;
    }
    const QString folder = parser.positionalArguments().first();
    if (parser.isSet(refresh) && zym::DemoData::writtenStamp(folder) == zym::DemoData::stamp(size))
        return 0;
    try {
        zym::DemoData::write(folder, size);
    } catch (const zym::Error &error) {
        QTextStream(stderr) << error.text() << '\n';
        return 1;
    }
    return 0;
}
