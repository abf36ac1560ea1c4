// Runs every walking operation of the tool on a generated company, as the
// window runs it (recordedRun), and prints from this one run: units a
// second, statements and commits a unit, peak resident memory, and for the
// sequential re-coding the ratios to two references run on the same data,
// the way every statement was once sent (committed on its own, rollback
// journal, full sync) and a set-based bound (one UPDATE per table from an
// old-to-new mapping, in one transaction). It also measures how a card's
// cost grows with the company and with its own movement rows, a
// 100,000-card list, the longest gap between two repaints of the window
// during a re-coding, and, where it is built with the tests, every
// operation again through FreeTDS and the tests' TDS stand-in, counting the
// requests a unit sends.
#include "app/Menu1.h"
#include "audit/CompanyAudit.h"
#include "cards/CardAccounts.h"
#include "cards/CardCodePropagation.h"
#include "cards/CardList.h"
#include "cards/ControlledCodeChange.h"
#include "cards/MissingAccounts.h"
#include "cards/SequentialRecoding.h"
#include "db/Command.h"
#include "db/ConnectionSettings.h"
#include "db/EmbeddedFolder.h"
#include "db/SqliteText.h"
#include "db/Tables.h"
#include "demo/DemoData.h"
#include "journal/DescriptionTransfer.h"
#include "journal/DocumentRenumbering.h"
#include "journal/LineListing.h"
#include "journal/VoucherList.h"
#include "ops/CodeMask.h"
#include "ops/IntegerText.h"
#include "ops/Prompter.h"
#include "ops/RecordedRun.h"
#include "ops/Session.h"
#include "payroll/PayrollList.h"
#include "payroll/RegistryRenumbering.h"
#include "stock/StockLinkGeneration.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#ifdef ZYM_BENCH_TDS
#  include "tds/TdsStandIn.h"
#endif

using namespace zym;

namespace {

QTextStream out(stdout);

class AlwaysYes : public Prompter
{
public:
    bool confirm(const QString &, const QString &) override { return true; }
    void notify(const QString &text) override { notices << text; }
    void showError(const QString &message) override
    {
        QTextStream(stderr) << "error: " << message << '\n';
    }

    QStringList notices;
};

// Peak resident memory of the process since the last reset, in MiB.
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Starts a new peak: the kernel sets it back to what the process holds now.
void resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// A company written once by the demo-data generator; every run works on a
// fresh copy of its files.
class GeneratedCompany
{
public:
    GeneratedCompany(const QString &folder, const DemoSize &size) : m_folder(folder)
    {
        if (DemoData::writtenStamp(folder) == DemoData::stamp(size))
            return; // written by an earlier run into the same --dir
        QElapsedTimer timer;
        timer.start();
        DemoData::write(folder, size);
        out << QStringLiteral("generated %1 cards, %2 movement rows, %3 stock cards, %4 vouchers, "
                              "%5 employees in %6 s\n")
                        .arg(size.cards)
                        .arg(size.movements)
                        .arg(size.stockCards)
                        .arg(size.vouchers)
                        .arg(size.employees)
                        .arg(secondsOf(timer), 0, 'f', 1);
        out.flush();
    }

    void copyTo(const QString &target) const
    {
        QDir().mkpath(target);
        for (const QString &name : QDir(m_folder).entryList(QDir::Files))
            QFile::copy(QDir(m_folder).filePath(name), QDir(target).filePath(name));
    }

    static QString company() { return DemoData::companies().first(); }

private:
    QString m_folder;
};

// A fresh copy of a generated company, and a session connected to it:
// embedded, or through FreeTDS to a TDS stand-in serving the copy.
class FreshCopy
{
public:
    FreshCopy(const GeneratedCompany &source, const QString &scratch, bool overTds = false)
        : m_folder(QDir(scratch).filePath(QStringLiteral("copy")))
    {
        QDir(m_folder).removeRecursively();
        source.copyTo(m_folder);
#ifdef ZYM_BENCH_TDS
        if (overTds) {
            m_standIn = std::make_unique<zym::test::tds::StandIn>(m_folder);
            if (!m_standIn->listen())
                qFatal("the TDS stand-in found no free port");
        }
#else
        if (overTds)
            qFatal("built without the tests, so without the TDS stand-in");
#endif
    }

    ~FreshCopy()
    {
        m_session.reset();
#ifdef ZYM_BENCH_TDS
        m_standIn.reset();
#endif
        QDir(m_folder).removeRecursively();
    }

    ConnectionSettings settings() const
    {
#ifdef ZYM_BENCH_TDS
        if (m_standIn)
            return { m_standIn->serverText(), QStringLiteral("sa"), QString(),
                     DemoData::defaultMasterSuffix };
#endif
        return { m_folder, QStringLiteral("sa"), QString(), DemoData::defaultMasterSuffix };
    }

    Session &session()
    {
        if (!m_session) {
            m_session = std::make_unique<Session>();
            m_session->connection.open(settings());
            m_session->connection.use(GeneratedCompany::company());
        }
        return *m_session;
    }

    // Requests the stand-in received since the last call; -1 when embedded.
    qint64 takeRequests()
    {
#ifdef ZYM_BENCH_TDS
        if (m_standIn) {
            const qint64 count = m_standIn->record().requests().size();
            m_standIn->record().clear();
            return count;
        }
#endif
        return -1;
    }

    QString companyFile() const
    {
        return EmbeddedFolder::databaseFile(m_folder, GeneratedCompany::company());
    }

private:
    QString m_folder;
    std::unique_ptr<Session> m_session;
#ifdef ZYM_BENCH_TDS
    std::unique_ptr<zym::test::tds::StandIn> m_standIn;
#endif
};

struct Result
{
    QString name;
    int units = 0;
    double seconds = 0;
    Connection::Activity activity;
    double peakMiB = 0;
    qint64 requests = -1; // TDS requests, through the stand-in only

    double perSecond() const { return seconds > 0 ? units / seconds : 0; }
    double perUnit(qint64 count) const { return units > 0 ? double(count) / units : 0; }
};

// One operation on a fresh copy: `prepare` loads the list it walks and
// returns the units it will handle; `run` is what its handler runs.
struct Case
{
    QString name;
    std::function<int(Session &)> prepare;
    std::function<void(const OperationContext &)> run;
};

// Runs the operation as the window runs it, with its report.
Result measure(const Case &operation, const GeneratedCompany &company, const QString &scratch,
               CommitGrouping grouping = {}, bool overTds = false)
{
    FreshCopy copy(company, scratch, overTds);
    Session &session = copy.session();
    Result result{ operation.name };
    result.units = operation.prepare(session);
    AlwaysYes yes;
    SilentProgress progress;
    const Connection::Activity before = session.connection.activity();
    copy.takeRequests();
    resetPeakResident();
    QElapsedTimer timer;
    timer.start();
    const RunOutcome outcome =
            recordedRun(session, yes, progress, { .grouping = grouping }, operation.run);
    result.seconds = secondsOf(timer);
    result.peakMiB = peakResidentMiB();
    if (!outcome.ran || outcome.report.end.reason != RunEnd::Reason::End)
        qFatal("%s did not run through: %s", qPrintable(operation.name),
               qPrintable(outcome.report.end.text));
    result.activity.statements = session.connection.activity().statements - before.statements;
    result.activity.commits = session.connection.activity().commits - before.commits;
    result.requests = copy.takeRequests();
    return result;
}

int listedRows(const Statement &list)
{
    return list.rowCount() - list.currentRow();
}

int countOf(Session &session, const QString &sql)
{
    return Command(session.connection, sql).fetch().rows.constFirst().constFirst().toInt();
}

RecodingRequest recodingRequest(bool sequential)
{
    return { .startNumber = QStringLiteral("1"),
             .codeMask = QStringLiteral("0000"),
             .firstCustomerNumber = QStringLiteral("1"),
             .firstSupplierNumber = QStringLiteral("1"),
             .sequentialMode = sequential,
             .makeAccounts = true };
}

Case recodingCase(bool sequential)
{
    return { sequential ? QStringLiteral("sequential re-coding, accounts on")
                        : QStringLiteral("card-code re-coding"),
             [](Session &session) {
                 CardList::load(session, CardList::defaultQuery);
                 return listedRows(session.cardList);
             },
             [sequential](const OperationContext &context) {
                 SequentialRecoding(context).run(recodingRequest(sequential));
             } };
}

QList<Case> operationCases()
{
    return {
        recodingCase(true),
        recodingCase(false),
        { QStringLiteral("controlled code change"),
          [](Session &session) {
              CardList::load(session, CardList::defaultQuery);
              return listedRows(session.cardList);
          },
          [](const OperationContext &context) {
              ControlledCodeChange(context).run(
                      { .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
          } },
        { QStringLiteral("missing accounts"),
          [](Session &session) {
              CardList::load(session, CardList::defaultQuery);
              return listedRows(session.cardList);
          },
          [](const OperationContext &context) {
              MissingAccounts(context).run({ .firstCustomerNumber = QStringLiteral("1"),
                                             .firstSupplierNumber = QStringLiteral("1"),
                                             .accountMask = QStringLiteral("0000") });
          } },
        { QStringLiteral("stock links"),
          [](Session &session) {
              return countOf(session,
                             QStringLiteral("SELECT COUNT(*) FROM STKKART WHERE STKACIK1<>''"));
          },
          [](const OperationContext &context) { StockLinkGeneration(context).run({}); } },
        { QStringLiteral("journal transfer"),
          [](Session &session) {
              VoucherList::load(session);
              return listedRows(session.voucherList);
          },
          [](const OperationContext &context) { DescriptionTransfer(context).run({}); } },
        { QStringLiteral("document renumbering"),
          [](Session &session) {
              LineListing::open(session, { std::nullopt, QStringLiteral("103 01 %") });
              return countOf(
                      session,
                      QStringLiteral(
                              "SELECT COUNT(DISTINCT MUHHARREFNO) FROM MUHHAR WHERE MUHHARREFNO IN "
                              "(SELECT MUHHARREFNO FROM MUHHAR WHERE MUHHARMUHKOD LIKE '103 01 "
                              "%')"));
          },
          [](const OperationContext &context) {
              DocumentRenumbering(context).run(
                      { .prefix = QStringLiteral("22FCB0"), .firstNumber = QStringLiteral("1") });
          } },
        { QStringLiteral("payroll renumbering"),
          [](Session &session) {
              PayrollList::load(session, false);
              return listedRows(session.registryList);
          },
          [](const OperationContext &context) {
              RegistryRenumbering(context).run(
                      { .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
          } },
    };
}

// The cards of the default card list as the re-coding sees them.
struct ListedCard
{
    QString code;
    int type;
    QString title;
};

QList<ListedCard> listedCards(Session &session)
{
    CardList::load(session, CardList::defaultQuery);
    Statement &list = session.cardList;
    QList<ListedCard> cards;
    QSet<QString> seen;
    for (list.setCurrentRow(0); !list.atEnd(); list.next()) {
        const QString code = list.readKey(QStringLiteral("CARKOD"));
        if (seen.contains(code))
            continue;
        seen.insert(code);
        cards << ListedCard{ code, readInteger(list, QStringLiteral("CARMUHTIPI")),
                             list.readText(QStringLiteral("CARUNVAN")) };
    }
    return cards;
}

// The accounts the sequential re-coding gives a card of `type`, numbered on
// from `customer` and `supplier`.
AccountCodes accountsFor(int type, int &customer, int &supplier)
{
    AccountCodes codes;
    if (!CardAccounts::callsForAccounts(type))
        return codes;
    if (type != CardAccounts::supplierType)
        codes.customer =
                CardAccounts::customerPrefix + CodeMask::render(QStringLiteral("0000"), ++customer);
    if (type != CardAccounts::customerType)
        codes.supplier =
                CardAccounts::supplierPrefix + CodeMask::render(QStringLiteral("0000"), ++supplier);
    return codes;
}

// The way every statement was once sent, over the first `limit` cards: a
// card's twenty renames, then its accounts, with the re-coding's own texts,
// each statement committed on its own, with a rollback journal synced in
// full (each text is prepared once).
Result designWay(const GeneratedCompany &company, const QString &scratch, int limit)
{
    FreshCopy copy(company, scratch);
    Connection &connection = copy.session().connection;
    const QList<ListedCard> cards = listedCards(copy.session()).mid(0, limit);
    connection.executeDirect(QStringLiteral("PRAGMA journal_mode=DELETE"));
    connection.executeDirect(QStringLiteral("PRAGMA synchronous=FULL"));
    QList<Command> renames;
    for (const CardCodePropagation::Step &step : CardCodePropagation::steps())
        renames << Command(connection, step.sql);
    const CardAccounts accounts(connection);
    Result result{ QStringLiteral("reference: statement by statement, full sync") };
    const qint64 before = connection.activity().statements;
    int customer = 0;
    int supplier = 0;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < cards.size(); ++i) {
        const ListedCard &card = cards.at(i);
        const QString newCode = CodeMask::render(QStringLiteral("0000"), int(i + 1));
        for (const Command &rename : renames)
            rename.execute({ { QStringLiteral("pKod"), newCode },
                             { QStringLiteral("pCarKod"), card.code } });
        const AccountCodes codes = accountsFor(card.type, customer, supplier);
        for (const QString &code : codes.given())
            accounts.remove(code);
        for (const QString &code : codes.given())
            accounts.insert(code, card.title);
        if (CardAccounts::callsForAccounts(card.type))
            accounts.link(card.type, newCode, codes);
    }
    result.seconds = secondsOf(timer);
    result.units = int(cards.size());
    result.activity.statements = connection.activity().statements - before;
    result.activity.commits = result.activity.statements;
    return result;
}

// A direct connection to a copy's company file, for the set-based bound;
// any failure ends the bench.
class RawFile
{
public:
    explicit RawFile(const QString &file)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-raw"));
        m_db.setDatabaseName(file);
        if (!m_db.open())
            qFatal("%s: %s", qPrintable(file), qPrintable(m_db.lastError().text()));
    }
    ~RawFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench-raw"));
    }

    void exec(const QString &sql)
    {
        QSqlQuery query(m_db);
        if (!query.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    }

    QSqlDatabase &db() { return m_db; }

private:
    QSqlDatabase m_db;
};

// One UPDATE per table from an old-to-new mapping, the accounts in three
// statements, all in one transaction.
Result setBased(const GeneratedCompany &company, const QString &scratch)
{
    FreshCopy copy(company, scratch);
    const QList<ListedCard> cards = listedCards(copy.session());
    const QString file = copy.companyFile();
    copy.session().connection.close();
    RawFile raw(file);
    // The bound runs with the settings the tool's own connection uses.
    raw.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    raw.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    for (const QString &pragma : SqliteText::bulkWritePragmas())
        raw.exec(pragma);
    Result result{ QStringLiteral("reference: set-based, one transaction") };
    QElapsedTimer timer;
    timer.start();
    if (!raw.db().transaction())
        qFatal("%s", qPrintable(raw.db().lastError().text()));
    raw.exec(QStringLiteral("CREATE TEMP TABLE MAP(OLD TEXT PRIMARY KEY, NEW TEXT, TITLE TEXT, "
                            "CUSTOMER TEXT, SUPPLIER TEXT)"));
    {
        QSqlQuery insert(raw.db());
        if (!insert.prepare(QStringLiteral("INSERT INTO MAP VALUES(?,?,?,?,?)")))
            qFatal("%s", qPrintable(insert.lastError().text()));
        int customer = 0;
        int supplier = 0;
        for (qsizetype i = 0; i < cards.size(); ++i) {
            const ListedCard &card = cards.at(i);
            const AccountCodes codes = accountsFor(card.type, customer, supplier);
            insert.addBindValue(card.code);
            insert.addBindValue(CodeMask::render(QStringLiteral("0000"), int(i + 1)));
            insert.addBindValue(card.title);
            insert.addBindValue(codes.customer.isNull() ? QStringLiteral("") : codes.customer);
            insert.addBindValue(codes.supplier.isNull() ? QStringLiteral("") : codes.supplier);
            if (!insert.exec())
                qFatal("%s", qPrintable(insert.lastError().text()));
        }
    }
    for (const CardCodePropagation::Step &step : CardCodePropagation::steps()) {
        raw.exec(QStringLiteral("UPDATE %1 SET %2=(SELECT NEW FROM MAP WHERE OLD=%1.%2) WHERE %2 "
                                "IN (SELECT OLD FROM MAP)%3")
                         .arg(step.table, step.column, step.outsidePayroll()));
    }
    raw.exec(QStringLiteral("DELETE FROM MUHHESAP WHERE MUHKOD IN (SELECT CUSTOMER FROM MAP UNION "
                            "SELECT SUPPLIER FROM MAP)"));
    raw.exec(QStringLiteral("INSERT INTO MUHHESAP(MUHKOD,MUHADI1,MUHCALFLAG) SELECT "
                            "RTRIM(CUSTOMER),RTRIM(TITLE),1 FROM MAP "
                            "WHERE CUSTOMER<>'' UNION ALL SELECT RTRIM(SUPPLIER),RTRIM(TITLE),1 "
                            "FROM MAP WHERE SUPPLIER<>''"));
    raw.exec(QStringLiteral(
            "UPDATE CARKART SET CARMUHKODU=MAP.CUSTOMER,CAREKCHAR1=MAP.SUPPLIER FROM MAP "
            "WHERE CARKART.CARKOD=MAP.NEW AND (MAP.CUSTOMER<>'' OR MAP.SUPPLIER<>'')"));
    if (!raw.db().commit())
        qFatal("%s", qPrintable(raw.db().lastError().text()));
    result.seconds = secondsOf(timer);
    result.units = int(cards.size());
    result.activity.statements = 25;
    result.activity.commits = 1;
    return result;
}

// Loads the card list of the company in `folder`, in a process of its own so
// that its peak memory is the list's: prints the rows, seconds and MiB.
int loadListAlone(const QString &folder)
{
    Session session;
    session.connection.open(
            { folder, QStringLiteral("sa"), QString(), DemoData::defaultMasterSuffix });
    session.connection.use(GeneratedCompany::company());
    QElapsedTimer timer;
    timer.start();
    CardList::load(session, CardList::defaultQuery);
    out << session.cardList.rowCount() << ' ' << secondsOf(timer) << ' ' << peakResidentMiB()
        << '\n';
    return 0;
}

// The card list of a company of `cards` cards: load time and peak memory.
void measureLargeList(const QString &scratch, int cards)
{
    const QString folder = QDir(scratch).filePath(QStringLiteral("large-list"));
    const GeneratedCompany company(folder, DemoSize{ cards, cards, 10, 5, 5 });
    QProcess alone;
    alone.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--load-list"), folder });
    alone.waitForFinished(-1);
    const QStringList figures = QString::fromUtf8(alone.readAllStandardOutput()).split(u' ');
    out << QStringLiteral(
                   "card list of %1 cards (%2 rows), in a process of its own: loaded in %3 s, "
                   "peak resident memory %4 MiB\n")
                    .arg(cards)
                    .arg(figures.value(0))
                    .arg(figures.value(1).toDouble(), 0, 'f', 2)
                    .arg(figures.value(2).toDouble(), 0, 'f', 0);
}

// Records when the window and its dialogs are painted.
class PaintClock : public QObject
{
public:
    QList<qint64> paints;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            paints << clock.nsecsElapsed();
        return false;
    }
};

// A re-coding started from the window, as the operator starts it but with
// "Yedek al" cleared: the longest time the window went without a repaint
// while asked for one every 10 ms, as when another window moves over it.
// The backup is one statement, which holds the window under its note for as
// long as the server takes.
void measureWindow(const QString &scratch, int cards)
{
    const QString folder = QDir(scratch).filePath(QStringLiteral("window"));
    const GeneratedCompany company(folder, DemoSize{ cards, cards * 20, 10, 5, 5 });
    FreshCopy copy(company, scratch);
    AlwaysYes yes;
    TForm8 window(yes, copy.settings().server);
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    auto *companies = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    companies->setCurrentIndex(0);
    emit companies->activated(0);
    window.findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    window.findChild<QCheckBox *>(QStringLiteral("CheckBox6"))->setChecked(false);
    const int listed = window.session().cardList.rowCount();
    QCoreApplication::processEvents();

    QTimer exposure;
    QObject::connect(&exposure, &QTimer::timeout, &window, qOverload<>(&QWidget::update));
    exposure.start(10);
    PaintClock paints;
    qApp->installEventFilter(&paints);
    paints.clock.start();
    paints.paints << 0;
    window.findChild<QPushButton *>(QStringLiteral("BitBtn3"))->click();
    const qint64 end = paints.clock.nsecsElapsed();
    qApp->removeEventFilter(&paints);
    paints.paints << end;
    qint64 longest = 0;
    for (qsizetype i = 1; i < paints.paints.size(); ++i)
        longest = qMax(longest, paints.paints.at(i) - paints.paints.at(i - 1));
    out << QStringLiteral("window, re-coding %1 listed cards: %2 repaints in %3 s, longest gap "
                          "between two %4 ms\n")
                    .arg(listed)
                    .arg(paints.paints.size() - 2)
                    .arg(double(end) / 1e9, 0, 'f', 1)
                    .arg(double(longest) / 1e6, 0, 'f', 0);
}

// One query that counts the rows of every company table: with COUNT(*),
// which SQLite answers from the size of the tables' b-trees, or with the
// count of each table's first column, which reads every row.
QString countingQuery(bool readEveryRow)
{
    QStringList counts;
    for (const TableSpec &table : Tables::companyTables()) {
        counts << QStringLiteral("(SELECT COUNT(%1) FROM %2)")
                          .arg(readEveryRow ? table.columns.constFirst().name : QStringLiteral("*"),
                               table.name);
    }
    return QStringLiteral("SELECT ") + counts.join(u'+') + QStringLiteral(" AS SATIR");
}

// "Denetle" over the whole company against one plain count of the rows of
// every company table it reads, all on the same fresh copy, each run once
// before it is timed so that all read from a warm cache.
void measureAudit(const GeneratedCompany &company, const QString &scratch)
{
    FreshCopy copy(company, scratch);
    Connection &connection = copy.session().connection;
    const auto timed = [](const std::function<void()> &work) {
        work();
        QElapsedTimer timer;
        timer.start();
        work();
        return secondsOf(timer);
    };
    SilentProgress progress;
    AuditOutcome outcome;
    const Connection::Activity before = connection.activity();
    const double auditSeconds = timed([&] { outcome = CompanyAudit(connection, progress).run(); });
    const qint64 queries = (connection.activity().statements - before.statements) / 2;
    qint64 findings = 0;
    for (const CheckOutcome &check : outcome.checks)
        findings += check.total;
    out << QStringLiteral("Denetle: %1 checks in %2 queries, %3 findings, %4 s\n")
                    .arg(outcome.checks.size())
                    .arg(queries)
                    .arg(findings)
                    .arg(auditSeconds, 0, 'f', 3);
    for (const bool readEveryRow : { false, true }) {
        const Command count(connection, countingQuery(readEveryRow));
        qint64 rows = 0;
        const double seconds =
                timed([&] { rows = count.fetch().rows.constFirst().constFirst().toLongLong(); });
        out << QStringLiteral("  one SELECT %1 over the same %2 tables (%3 rows): %4 s; Denetle "
                              "takes %5x as long\n")
                        .arg(readEveryRow ? QStringLiteral("COUNT(first column)")
                                          : QStringLiteral("COUNT(*)"))
                        .arg(Tables::companyTables().size())
                        .arg(rows)
                        .arg(seconds, 0, 'f', 3)
                        .arg(auditSeconds / seconds, 0, 'f', 1);
    }
    out.flush();
}

void printResult(const Result &result)
{
    out << QStringLiteral("%1  %2 units  %3 s  %4 units/s  %5 statements/unit  %6 commits/unit  "
                          "peak %7 MiB\n")
                    .arg(result.name, -36)
                    .arg(result.units, 6)
                    .arg(result.seconds, 7, 'f', 2)
                    .arg(result.perSecond(), 8, 'f', 0)
                    .arg(result.perUnit(result.activity.statements), 5, 'f', 1)
                    .arg(result.perUnit(result.activity.commits), 6, 'f', 3)
                    .arg(result.peakMiB, 0, 'f', 0);
    if (result.requests >= 0)
        out << QStringLiteral("  %1 TDS requests/unit\n")
                        .arg(result.perUnit(result.requests), 0, 'f', 1);
    out.flush();
}

#ifdef ZYM_BENCH_TDS
// Every operation through FreeTDS and the stand-in, on the same company: its
// requests a unit, and what the sequential re-coding's would cost a card on
// a LAN and on a VPN.
void measureThroughTds(const GeneratedCompany &company, const QString &scratch)
{
    out << QStringLiteral("through FreeTDS and the TDS stand-in:\n");
    for (const Case &operation : operationCases()) {
        const Result result = measure(operation, company, scratch, {}, true);
        printResult(result);
        if (result.name == recodingCase(true).name) {
            const double requests = result.perUnit(result.requests);
            for (const double roundTripMs : { 0.5, 20.0 })
                out << QStringLiteral("  SQL Server at %1 ms a round trip: %2 ms a card\n")
                                .arg(roundTripMs)
                                .arg(requests * roundTripMs, 0, 'f', 1);
        }
    }
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const auto option = [&parser](const char *name, const char *description, const char *value) {
        QCommandLineOption added(QString::fromLatin1(name), QString::fromLatin1(description),
                                 QStringLiteral("n"), QString::fromLatin1(value));
        parser.addOption(added);
        return added;
    };
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Folder for the generated data."),
                                       QStringLiteral("folder"));
    parser.addOption(dirOption);
    const auto cards = option("cards", "Cards of the company.", "20000");
    const auto movements =
            option("movements", "Movement rows, over the seventeen tables.", "1000000");
    const auto stock = option("stock-cards", "Stock cards.", "20000");
    const auto vouchers = option("vouchers", "Journal vouchers.", "20000");
    const auto employees = option("employees", "Employees.", "5000");
    const auto designCards =
            option("design-cards", "Cards the statement-by-statement reference re-codes.", "400");
    const auto listCards = option("list-cards", "Cards of the large card list.", "100000");
    const auto windowCards = option("window-cards", "Cards re-coded in the window.", "10000");
    const QCommandLineOption groupingsOption(
            QStringLiteral("groupings"),
            QStringLiteral("Groupings the sequential re-coding is also measured with, "
                           "as UNITSxMILLISECONDS, comma-separated."),
            QStringLiteral("list"), QStringLiteral("1x0,100x200,2000x1000"));
    parser.addOption(groupingsOption);
    const QCommandLineOption auditOnlyOption(
            QStringLiteral("audit-only"),
            QStringLiteral("Measure only \"Denetle\" against a plain count."));
    parser.addOption(auditOnlyOption);
    QCommandLineOption loadListOption(
            QStringLiteral("load-list"),
            QStringLiteral("Only load the card list of a generated folder."),
            QStringLiteral("folder"));
    loadListOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(loadListOption);
    parser.process(app);
    if (parser.isSet(loadListOption))
        return loadListAlone(parser.value(loadListOption));
    const auto number = [&parser](const QCommandLineOption &o) {
        return qMax(1, parser.value(o).toInt());
    };

    // Beside the build, on the disk the tool's data would be on: never a RAM disk.
    std::optional<QTemporaryDir> temporary;
    QString scratch = parser.value(dirOption);
    if (scratch.isEmpty()) {
        temporary.emplace(QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("bench-XXXXXX")));
        scratch = temporary->path();
    }
    out << QStringLiteral("data in %1\n").arg(scratch);

    const DemoSize size{ number(cards), number(movements), number(stock), number(vouchers),
                         number(employees) };
    const GeneratedCompany company(QDir(scratch).filePath(QStringLiteral("company")), size);
    measureAudit(company, scratch);
    if (parser.isSet(auditOnlyOption))
        return 0;

    QList<Result> results;
    for (const Case &operation : operationCases()) {
        results << measure(operation, company, scratch);
        printResult(results.last());
    }
    const Result design = designWay(company, scratch, number(designCards));
    printResult(design);
    const Result bound = setBased(company, scratch);
    printResult(bound);
    const Result &sequential = results.first();
    out << QStringLiteral("sequential re-coding: %1x the statement-by-statement way, %2x the "
                          "set-based bound\n")
                    .arg(sequential.perSecond() / design.perSecond(), 0, 'f', 1)
                    .arg(sequential.perSecond() / bound.perSecond(), 0, 'f', 2);
    for (const QString &grouping : parser.value(groupingsOption).split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = grouping.split(u'x');
        const CommitGrouping alternative{ parts.value(0).toInt(), parts.value(1).toInt() };
        Result other = measure(recodingCase(true), company, scratch, alternative);
        other.name = QStringLiteral("  grouped %1 units / %2 ms")
                             .arg(alternative.maxUnits)
                             .arg(alternative.maxAgeMs);
        printResult(other);
    }

    // A card's cost as the company grows: the same cards with as many rows
    // each in a company a tenth the size, then the same company with a tenth
    // of the rows on each card.
    DemoSize tenth = size;
    tenth.cards = qMax(1, size.cards / 10);
    tenth.movements = qMax(1, size.movements / 10);
    const GeneratedCompany smallCompany(QDir(scratch).filePath(QStringLiteral("tenth")), tenth);
    Result small = measure(recodingCase(true), smallCompany, scratch);
    small.name = QStringLiteral("  in a company a tenth the size");
    printResult(small);
    out << QStringLiteral("a card of %1 movement rows in a company of %2 rows costs %3x what it "
                          "costs in one of %4\n")
                    .arg(size.movements / size.cards)
                    .arg(size.movements)
                    .arg(small.perSecond() / sequential.perSecond(), 0, 'f', 2)
                    .arg(tenth.movements);

    DemoSize fewer = size;
    fewer.movements = qMax(1, size.movements / 10);
    const GeneratedCompany smaller(QDir(scratch).filePath(QStringLiteral("smaller")), fewer);
    Result fewerRows = measure(recodingCase(true), smaller, scratch);
    fewerRows.name = QStringLiteral("  with a tenth of the rows on each card");
    printResult(fewerRows);
    const Result fewerBound = setBased(smaller, scratch);
    out << QStringLiteral(
                   "a card of %1 movement rows costs %2x one of %3; in the set-based bound %4x\n")
                    .arg(size.movements / size.cards)
                    .arg(fewerRows.perSecond() / sequential.perSecond(), 0, 'f', 2)
                    .arg(fewer.movements / size.cards)
                    .arg(fewerBound.perSecond() / bound.perSecond(), 0, 'f', 2);

    measureLargeList(scratch, number(listCards));
    measureWindow(scratch, number(windowCards));
#ifdef ZYM_BENCH_TDS
    measureThroughTds(company, scratch);
#endif
    return 0;
}
