// Measures the card re-coding on generated companies of two sizes and prints
// ratios from the one run: how the cost of a card grows with the size of the
// company, what the code-conflict probe adds to a card, and card-code mode
// against sequential mode.
#include "cards/CardCodePropagation.h"
#include "cards/CardList.h"
#include "cards/SequentialRecoding.h"
#include "db/Session.h"
#include "ops/Prompter.h"
#include "demo/DemoData.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

using namespace zym;

namespace {

class AlwaysYes : public Prompter
{
public:
    bool confirm(const QString &, const QString &) override { return true; }
    void notify(const QString &text) override { QTextStream(stderr) << "notice: " << text << '\n'; }
    void showError(const QString &message) override { QTextStream(stderr) << "error: " << message << '\n'; }
};

struct Measure
{
    int generated = 0;
    int cards = 0;
    double recodingMs = 0;
    double probeMs = 0;
};

// A fresh company of `cards` cards, connected, its card list loaded.
class Company
{
public:
    Company(int cards, int movementsPerCard)
    {
        DemoData::write(m_dir.path(), DemoSize{cards, cards * movementsPerCard, 10, 5, 5});
        m_session.connection.open({m_dir.path(), QStringLiteral("sa"), QString(), DemoData::defaultMasterSuffix});
        m_session.connection.use(DemoData::companies().first());
        CardList::load(m_session, CardList::defaultQuery);
    }
    Session &session() { return m_session; }

private:
    QTemporaryDir m_dir;
    Session m_session;
};

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

Measure measure(int cards, int movementsPerCard, bool sequential)
{
    Measure result;
    result.generated = cards;
    {
        Company company(cards, movementsPerCard);
        result.cards = company.session().ADOQuery1.rowCount();
        AlwaysYes yes;
        SilentProgress progress;
        QElapsedTimer timer;
        timer.start();
        SequentialRecoding({company.session(), yes, progress})
            .run({QStringLiteral("1"), QStringLiteral("Y00000"), QStringLiteral("1"), QStringLiteral("1"), sequential, true});
        result.recodingMs = elapsedMs(timer);
    }
    {
        Company company(cards, movementsPerCard);
        const CardCodePropagation propagation(company.session().connection, sequential
                                                                                ? CardCodePropagation::Scope::AllTables
                                                                                : CardCodePropagation::Scope::CardRows);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < result.cards; ++i)
            propagation.codeTaken(QStringLiteral("Y%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("X"));
        result.probeMs = elapsedMs(timer);
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption cardsOption(QStringLiteral("cards"), QStringLiteral("Cards of the larger company."),
                                         QStringLiteral("n"), QStringLiteral("4000"));
    const QCommandLineOption movementsOption(QStringLiteral("movements-per-card"),
                                             QStringLiteral("Movement rows per card."), QStringLiteral("n"),
                                             QStringLiteral("20"));
    parser.addOptions({cardsOption, movementsOption});
    parser.process(app);
    const int large = qMax(8, parser.value(cardsOption).toInt());
    const int small = large / 4;
    const int movements = qMax(1, parser.value(movementsOption).toInt());

    QTextStream out(stdout);
    const auto perCard = [](const Measure &m) { return m.recodingMs / qMax(1, m.cards); };
    const Measure smallRun = measure(small, movements, true);
    const Measure largeRun = measure(large, movements, true);
    const Measure largeCardCode = measure(large, movements, false);
    for (const auto &[name, m] : {std::pair{"sequential", smallRun}, std::pair{"sequential", largeRun},
                                  std::pair{"card-code", largeCardCode}})
        out << QStringLiteral("%1 mode, %2 cards (%3 listed), %4 movement rows: %5 ms, %6 ms a card\n")
                   .arg(QLatin1String(name)).arg(m.generated).arg(m.cards).arg(m.generated * movements)
                   .arg(m.recodingMs, 0, 'f', 0).arg(perCard(m), 0, 'f', 3);
    out << QStringLiteral("ratio, cost of a card at %1 cards to one at %2 cards: %3\n")
               .arg(large).arg(small).arg(perCard(largeRun) / perCard(smallRun), 0, 'f', 2);
    out << QStringLiteral("ratio, conflict probe to the whole card (sequential): %1\n")
               .arg(largeRun.probeMs / largeRun.recodingMs, 0, 'f', 2);
    out << QStringLiteral("ratio, card-code mode to sequential mode, a card: %1\n")
               .arg(perCard(largeCardCode) / perCard(largeRun), 0, 'f', 2);
    return 0;
}
