#include "TableDigest.h"

#include "cards/CardCodePropagation.h"
#include "cards/CardList.h"
#include "db/DatabaseSeeder.h"
#include "demo/DemoData.h"
#include "ops/CodeMask.h"
#include "ops/Session.h"
#include "payroll/PayrollList.h"
#include "payroll/RegistryCodePropagation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <limits>

using namespace zym;
using namespace zym::test;

namespace {

// Sized so that a whole run takes a few seconds: long enough for kills to
// fall between many commits, short enough for the trials to stay quick.
const DemoSize demoSize{
    .cards = 11000, .movements = 110000, .stockCards = 12, .vouchers = 6, .employees = 12000
};
constexpr int killsPerOperation = 30;
// Kills fall up to this much past the length of a whole run, so some land
// after its end.
constexpr double pastTheEnd = 1.1;
// The first kills fall anywhere in the run and show where its commits lie:
// starting the process, listing and writing the report take much of a run,
// so the rest fall between the latest kill that found nothing committed and
// the earliest that found everything.
constexpr int scoutingKills = killsPerOperation / 3;

QString company()
{
    return DemoData::companies().first();
}

// The column a renaming run rewrites in one table, in the rows `rows` picks
// out (every row when empty).
struct Carrier
{
    QString table;
    QString column;
    QString rows;
};

using Counts = QHash<QString, int>; // code -> rows carrying it

// Per carrier: the codes of the rows it renames, and of the rows it leaves.
struct CodeCounts
{
    QList<Counts> renamed;
    QList<Counts> left;

    bool operator==(const CodeCounts &) const = default;
};

Counts countCodes(DatabaseSeeder &db, const Carrier &carrier, const QString &where)
{
    Counts counts;
    const QString sql =
            QStringLiteral("SELECT %1, COUNT(*) FROM %2%3 GROUP BY %1")
                    .arg(carrier.column, carrier.table,
                         where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    for (const QVariantList &row : db.select(sql))
        counts.insert(row.at(0).isNull() ? QStringLiteral("<NULL>") : row.at(0).toString(),
                      row.at(1).toInt());
    return counts;
}

CodeCounts countCodes(DatabaseSeeder &db, const QList<Carrier> &carriers)
{
    CodeCounts counts;
    for (const Carrier &carrier : carriers) {
        counts.renamed << countCodes(db, carrier, carrier.rows);
        counts.left << (carrier.rows.isEmpty()
                                ? Counts()
                                : countCodes(
                                        db, carrier,
                                        QStringLiteral("COALESCE((%1),0)=0").arg(carrier.rows)));
    }
    return counts;
}

// A card's links to its accounts, and its type.
struct Links
{
    int type = 0;
    QString customer;
    QString supplier;

    bool operator==(const Links &) const = default;
};

struct Chart
{
    QSet<QString> accounts;
    QHash<QString, Links> cards; // card code -> links
};

Chart chartOf(DatabaseSeeder &db)
{
    Chart chart;
    for (const QVariantList &row : db.select(QStringLiteral("SELECT MUHKOD FROM MUHHESAP")))
        chart.accounts.insert(row.at(0).toString());
    for (const QVariantList &row : db.select(
                 QStringLiteral("SELECT CARKOD, CARMUHTIPI, CARMUHKODU, CAREKCHAR1 FROM CARKART")))
        chart.cards.insert(row.at(0).toString(),
                           { row.at(1).toInt(), row.at(2).toString(), row.at(3).toString() });
    return chart;
}

// A run that renames listed codes, in list order, each to its new code, in
// every carrier; the tables it may change besides the carriers.
struct Renaming
{
    QString operation; // the helper's name for it
    QList<Carrier> carriers;
    QStringList oldCodes;
    QStringList newCodes;
    QStringList alsoChanged;
    bool makesAccounts = false;
};

QStringList distinctCodes(Statement &list, const QString &column)
{
    QStringList codes;
    QSet<QString> seen;
    for (; !list.atEnd(); list.next()) {
        const QString code = list.readText(column);
        if (!seen.contains(code)) {
            seen.insert(code);
            codes << code;
        }
    }
    return codes;
}

// The new codes the window's defaults give: start "1", mask "0000".
QStringList newCodesFor(const QStringList &oldCodes)
{
    QStringList codes;
    for (qsizetype i = 0; i < oldCodes.size(); ++i)
        codes << CodeMask::render(QStringLiteral("0000"), qint32(i + 1));
    return codes;
}

// What the window lists in `folder`, read through the tool's own lists.
QStringList listedCodes(const QString &folder, const std::function<Statement &(Session &)> &load,
                        const QString &column)
{
    Session session;
    session.connection.open(
            { folder, QStringLiteral("sa"), QStringLiteral("vyx"), DemoData::defaultMasterSuffix });
    session.connection.use(company());
    return distinctCodes(load(session), column);
}

Renaming cardRecoding(const QString &folder)
{
    Renaming renaming{ .operation = QStringLiteral("recoding"),
                       .alsoChanged = { QStringLiteral("MUHHESAP") },
                       .makesAccounts = true };
    for (const auto &step : CardCodePropagation::steps()) {
        const QString rows = step.moduleColumn.isEmpty()
                ? QString()
                : QStringLiteral("%1 IS NULL OR %1<>8").arg(step.moduleColumn);
        renaming.carriers << Carrier{ step.table, step.column, rows };
    }
    renaming.oldCodes = listedCodes(
            folder,
            [](Session &session) -> Statement & {
                CardList::load(session, CardList::defaultQuery);
                return session.cardList;
            },
            QStringLiteral("CARKOD"));
    renaming.newCodes = newCodesFor(renaming.oldCodes);
    return renaming;
}

Renaming registryRenumbering(const QString &folder)
{
    Renaming renaming{ .operation = QStringLiteral("payroll") };
    for (const auto &step : RegistryCodePropagation::steps()) {
        const QString rows = step.moduleColumn.isEmpty()
                ? QString()
                : QStringLiteral("%1=8").arg(step.moduleColumn);
        renaming.carriers << Carrier{ step.table, step.column, rows };
    }
    renaming.oldCodes = listedCodes(
            folder,
            [](Session &session) -> Statement & {
                PayrollList::load(session, false);
                return session.registryList;
            },
            QStringLiteral("BORSCLKOD"));
    renaming.newCodes = newCodesFor(renaming.oldCodes);
    return renaming;
}

// The tables a run must leave as they were.
QList<TableSpec> untouchedTables(const Renaming &renaming)
{
    QList<TableSpec> tables;
    for (const TableSpec &table : Tables::companyTables()) {
        const bool carries =
                std::any_of(renaming.carriers.begin(), renaming.carriers.end(),
                            [&](const Carrier &carrier) { return carrier.table == table.name; });
        if (!carries && !renaming.alsoChanged.contains(table.name))
            tables << table;
    }
    return tables;
}

// The company as it was before a run.
struct Before
{
    CodeCounts codes;
    Chart chart;
    QStringList untouched;
};

// What a run left: how many listed codes it renamed, and what is wrong.
struct Outcome
{
    int renamed = 0;
    QStringList faults;
};

// Each listed code is renamed in every carrier or in none, the renamed ones
// the first of the list; the rows the carriers leave stay as they were.
Outcome renamingOutcome(const Renaming &renaming, const CodeCounts &before, const CodeCounts &after)
{
    Outcome outcome;
    bool anyKept = false;
    for (qsizetype i = 0; i < renaming.oldCodes.size(); ++i) {
        const QString &old = renaming.oldCodes.at(i);
        const QString &code = renaming.newCodes.at(i);
        bool kept = true;
        bool renamed = true;
        for (qsizetype c = 0; c < renaming.carriers.size(); ++c) {
            const Counts &was = before.renamed.at(c);
            const Counts &is = after.renamed.at(c);
            kept = kept && is.value(old) == was.value(old) && is.value(code) == was.value(code);
            renamed = renamed && is.value(code) == was.value(old) + was.value(code)
                    && is.value(old) == 0;
        }
        if (renamed && !kept) {
            if (anyKept)
                outcome.faults
                        << QStringLiteral("%1 renamed after a code before it was not").arg(old);
            ++outcome.renamed;
        } else if (kept && !renamed) {
            anyKept = true;
        } else {
            outcome.faults << QStringLiteral("%1 half renamed").arg(old);
        }
    }
    if (after.left != before.left)
        outcome.faults << QStringLiteral("rows the renaming leaves alone changed");
    return outcome;
}

// The accounts made are linked from a card; renamed cards link accounts of
// their type that exist, the others keep their links; no account is lost.
QStringList accountFaults(const Renaming &renaming, const Outcome &outcome, const Chart &before,
                          const Chart &after)
{
    QStringList faults;
    for (const QString &account : before.accounts) {
        if (!after.accounts.contains(account))
            faults << QStringLiteral("account %1 lost").arg(account);
    }
    QSet<QString> linked;
    for (const Links &links : after.cards)
        linked << links.customer << links.supplier;
    int made = 0;
    for (const QString &account : after.accounts) {
        if (before.accounts.contains(account))
            continue;
        ++made;
        if (!linked.contains(account))
            faults << QStringLiteral("account %1 linked from no card").arg(account);
    }
    int expected = 0;
    for (qsizetype i = 0; i < renaming.oldCodes.size(); ++i) {
        const Links was = before.cards.value(renaming.oldCodes.at(i));
        if (i >= outcome.renamed) {
            if (after.cards.value(renaming.oldCodes.at(i)) != was)
                faults << QStringLiteral("%1 not renamed but its links changed")
                                  .arg(renaming.oldCodes.at(i));
            continue;
        }
        if (was.type < 1 || was.type > 3)
            continue;
        const Links is = after.cards.value(renaming.newCodes.at(i));
        const bool customer = was.type != 2;
        const bool supplier = was.type != 1;
        expected += int(customer) + int(supplier);
        const bool linksRight =
                (customer ? after.accounts.contains(is.customer) : is.customer.isEmpty())
                && (supplier ? after.accounts.contains(is.supplier) : is.supplier.isEmpty());
        if (!linksRight)
            faults << QStringLiteral("%1 renamed without its accounts")
                              .arg(renaming.oldCodes.at(i));
    }
    if (made != expected)
        faults << QStringLiteral("%1 accounts made for %2 called for").arg(made).arg(expected);
    return faults;
}

void copyFolder(const QString &from, const QString &to)
{
    QDir target(to);
    for (const QString &file : target.entryList(QDir::Files))
        target.remove(file);
    const QDir source(from);
    for (const QString &file : source.entryList(QDir::Files))
        QFile::copy(source.filePath(file), target.filePath(file));
}

// A run of the helper: when it was killed, and how far it said it got.
struct Run
{
    bool killed = false;
    bool started = false; // the operation's button was pressed
    bool done = false; // its handler had returned
    qint64 elapsedMs = 0;
    int exitCode = -1;
    QStringList errors; // shown by the default error display
};

Run runHelper(const QString &folder, const QString &operation, qint64 killAfterMs)
{
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    helper.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    helper.start(QStringLiteral(KILLABLE_RUN), { folder, company(), operation });
    if (!helper.waitForStarted())
        qFatal("zym-killable-run did not start: %s", qPrintable(helper.errorString()));
    Run run;
    if (killAfterMs >= 0
        && !helper.waitForFinished(int(qMax<qint64>(0, killAfterMs - clock.elapsed())))) {
        helper.kill(); // SIGKILL
        run.killed = true;
    }
    helper.waitForFinished(120000);
    run.elapsedMs = clock.elapsed();
    const QByteArray said = helper.readAllStandardOutput();
    run.started = said.contains("started\n");
    run.done = said.contains("done\n");
    run.exitCode = helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1;
    for (const QByteArray &line : said.split('\n')) {
        if (line.startsWith("error: "))
            run.errors << QString::fromUtf8(line.mid(7));
    }
    return run;
}

// A kill falls before the run, amid it, or after it, as the rows tell.
enum class Moment { Before, Amid, After };

// Where the kills are drawn: the whole run at first, then the span the
// scouting kills left between the run's first and last commits.
class KillSpan
{
public:
    explicit KillSpan(qint64 wholeRunMs) : m_from(0), m_to(qint64(wholeRunMs * pastTheEnd)) { }

    qint64 draw(QRandomGenerator &moments) const
    {
        return m_from + qint64(moments.bounded(double(m_to - m_from)));
    }

    void narrowBy(qint64 at, Moment moment)
    {
        if (moment == Moment::Before)
            m_latestBefore = qMax(m_latestBefore, at);
        else if (moment == Moment::After)
            m_earliestAfter = qMin(m_earliestAfter, at);
    }

    // Keeps the whole run when the scouts' times cross, as a slow start can
    // make them.
    void settle()
    {
        const qint64 from = m_latestBefore < 0 ? m_from : m_latestBefore;
        const qint64 to = qMin(m_earliestAfter, m_to);
        if (from < to) {
            m_from = from;
            m_to = to;
        }
    }

    qint64 from() const { return m_from; }
    qint64 to() const { return m_to; }

private:
    qint64 m_from;
    qint64 m_to;
    qint64 m_latestBefore = -1;
    qint64 m_earliestAfter = std::numeric_limits<qint64>::max();
};

} // namespace

// The re-coding and the payroll renumbering, started from the window in a
// process of their own and killed at random moments: the files are sound
// afterwards, and every listed code is renamed everywhere or nowhere, the
// renamed ones the first of the list.
class TestKilledRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A killed process loses nothing the system has been handed, on a
        // disk or in memory: the files go in memory where it can, for speed.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        m_dir = std::make_unique<QTemporaryDir>(
                QDir(base).filePath(QStringLiteral("zym-killed-XXXXXX")));
        QVERIFY(m_dir->isValid());
        QDir(m_dir->path()).mkdir(QStringLiteral("pristine"));
        QDir(m_dir->path()).mkdir(QStringLiteral("trial"));
        DemoData::write(pristine(), demoSize);

        const quint32 seed = qEnvironmentVariableIsSet("ZYM_KILL_SEED")
                ? quint32(qEnvironmentVariableIntValue("ZYM_KILL_SEED"))
                : QRandomGenerator::system()->generate();
        m_moments.seed(seed);
        qInfo("kill moments drawn with ZYM_KILL_SEED=%u", seed);
    }

    void cleanupTestCase() { m_dir.reset(); }

    void killedAtRandomMoments_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("sequential re-coding") << "recoding";
        QTest::newRow("payroll renumbering") << "payroll";
    }

    void killedAtRandomMoments()
    {
        QFETCH(QString, operation);
        copyFolder(pristine(), trial());
        const Renaming renaming = operation == QStringLiteral("recoding")
                ? cardRecoding(trial())
                : registryRenumbering(trial());
        QVERIFY(renaming.oldCodes.size() > 2000);
        copyFolder(pristine(), trial());
        const Before before = state(renaming);

        // A whole run, not killed, sets the span the kills fall in.
        const Run whole = runHelper(trial(), operation, -1);
        QVERIFY2(whole.exitCode == 0 && whole.done, qPrintable(whole.errors.join(u'\n')));
        const Outcome complete = check(renaming, before);
        QCOMPARE(complete.faults, QStringList());
        QCOMPARE(complete.renamed, int(renaming.oldCodes.size()));

        QMap<Moment, int> byRows;
        int beforeStart = 0;
        int amidHandler = 0;
        int afterHandler = 0;
        int halfChanged = 0;
        QStringList faults;
        KillSpan span(whole.elapsedMs);
        for (int kill = 0; kill < killsPerOperation; ++kill) {
            if (kill == scoutingKills)
                span.settle();
            copyFolder(pristine(), trial());
            const qint64 at = span.draw(m_moments);
            const Run run = runHelper(trial(), operation, at);
            Outcome outcome = check(renaming, before);
            outcome.faults += run.errors;
            for (const QString &fault : outcome.faults)
                faults << QStringLiteral("kill %1 at %2 ms: %3").arg(kill).arg(at).arg(fault);
            halfChanged += outcome.faults.isEmpty() ? 0 : 1;
            const Moment moment = outcome.renamed == 0                 ? Moment::Before
                    : outcome.renamed == int(renaming.oldCodes.size()) ? Moment::After
                                                                       : Moment::Amid;
            ++byRows[moment];
            if (kill < scoutingKills)
                span.narrowBy(at, moment);
            (run.done ? afterHandler : run.started ? amidHandler : beforeStart) += 1;
        }
        qInfo("%s: %d kills in %lld ms runs of %lld codes, the last %d of them in %lld-%lld ms; "
              "by the rows: %d before any commit, %d amid the run, %d after its last commit; "
              "by the helper: %d before the button, %d in the handler, %d after it; "
              "%d left anything wrong",
              qPrintable(operation), killsPerOperation, whole.elapsedMs,
              qlonglong(renaming.oldCodes.size()), killsPerOperation - scoutingKills, span.from(),
              span.to(), byRows.value(Moment::Before), byRows.value(Moment::Amid),
              byRows.value(Moment::After), beforeStart, amidHandler, afterHandler, halfChanged);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        QVERIFY2(byRows.value(Moment::Amid) >= killsPerOperation / 3,
                 "too few kills fell amid the run");
    }

private:
    QString pristine() const { return QDir(m_dir->path()).filePath(QStringLiteral("pristine")); }
    QString trial() const { return QDir(m_dir->path()).filePath(QStringLiteral("trial")); }

    Before state(const Renaming &renaming)
    {
        DatabaseSeeder db(trial(), company());
        return { countCodes(db, renaming.carriers), chartOf(db),
                 tableDigest(db, untouchedTables(renaming)) };
    }

    // What the run left in the trial folder, its files opened afresh.
    Outcome check(const Renaming &renaming, const Before &before)
    {
        Outcome outcome;
        for (const QString &name :
             { company(), masterDatabaseName(DemoData::defaultMasterSuffix) }) {
            DatabaseSeeder db(trial(), name);
            const QString integrity =
                    db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
            if (integrity != QStringLiteral("ok"))
                outcome.faults << name + QStringLiteral(": ") + integrity;
        }
        DatabaseSeeder db(trial(), company());
        const Outcome renamed =
                renamingOutcome(renaming, before.codes, countCodes(db, renaming.carriers));
        outcome.renamed = renamed.renamed;
        outcome.faults += renamed.faults;
        if (renaming.makesAccounts)
            outcome.faults += accountFaults(renaming, renamed, before.chart, chartOf(db));
        if (tableDigest(db, untouchedTables(renaming)) != before.untouched)
            outcome.faults << QStringLiteral("a table the run does not change has changed");
        return outcome;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QRandomGenerator m_moments;
};

QTEST_GUILESS_MAIN(TestKilledRuns)
#include "tst_killedruns.moc"
