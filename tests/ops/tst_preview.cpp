#include "../cards/CardFixture.h"
#include "../journal/JournalFixture.h"
#include "../payroll/PayrollFixture.h"
#include "CompanyTest.h"
#include "ErrorRaised.h"
#include "RecordingPrompter.h"
#include "TableDigest.h"

#include "cards/CardDeletion.h"
#include "cards/CardList.h"
#include "cards/ControlledCodeChange.h"
#include "cards/MissingAccounts.h"
#include "cards/SequentialRecoding.h"
#include "db/Error.h"
#include "journal/DescriptionTransfer.h"
#include "journal/DocumentRenumbering.h"
#include "journal/LineListing.h"
#include "journal/VoucherList.h"
#include "ops/Preview.h"
#include "ops/RecordedRun.h"
#include "ops/ReportCsv.h"
#include "ops/RunRecorder.h"
#include "payroll/PayrollList.h"
#include "payroll/RegistryRenumbering.h"
#include "payroll/WorkplaceCodeChange.h"
#include "stock/StockLinkGeneration.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>

using namespace zym;
using namespace zym::test;

namespace {

// What an operation needs: rows to work on, its list loaded as the operator
// would load it, and the run itself.
struct Scenario
{
    std::function<void(DatabaseSeeder &)> seed;
    std::function<void(Session &)> load;
    std::function<void(const OperationContext &)> run;
};

const RecodingRequest recoding{ .startNumber = QStringLiteral("1"),
                                .codeMask = QStringLiteral("0000"),
                                .firstCustomerNumber = QStringLiteral("1"),
                                .firstSupplierNumber = QStringLiteral("1"),
                                .sequentialMode = true,
                                .makeAccounts = true };

// Four cards: a customer with an account already, a supplier, one of both
// types sharing the first card's tax number, and one of no type.
void seedFourCards(DatabaseSeeder &db)
{
    seedCards(db,
              { { QStringLiteral("K1"), QStringLiteral("Ağaç Ltd."), 1 },
                { QStringLiteral("K2"), QStringLiteral("Bahçe A.Ş."), 2 },
                { QStringLiteral("K3"), QStringLiteral("Çiçek Tic."), 3 },
                { QStringLiteral("K4"), QStringLiteral("Dere Koll."), 0 } });
    db.exec(QStringLiteral("UPDATE CARKART SET CARMUHKODU='120 ESKI' WHERE CARKOD='K1'"));
    db.exec(QStringLiteral(
            "UPDATE CARKART SET CARVERHESNO='1111111111' WHERE CARKOD IN ('K1','K3')"));
}

void loadCards(Session &session)
{
    CardList::load(session, CardList::defaultQuery);
}

void seedStock(DatabaseSeeder &db)
{
    db.insert(
            QStringLiteral("STKKART"),
            { QStringLiteral("STKKOD"), QStringLiteral("STKACIK1"), QStringLiteral("STKGENKDVNO") },
            { { QStringLiteral("S1"), QStringLiteral("Vida"), 4 },
              { QStringLiteral("S2"), QStringLiteral("Somun"), 2 },
              { QStringLiteral("S3"), QStringLiteral("Pul"), 7 } });
    db.insert(QStringLiteral("STKMUHBAGLANTI"),
              { QStringLiteral("SMBSTKKOD"), QStringLiteral("SMBITEMNO") },
              { { QStringLiteral("S2"), 1 } });
}

void seedVouchers(DatabaseSeeder &db)
{
    seedJournal(db, { 1, 2 },
                { { 1, 1, 1, "600 01" },
                  { 1, 2, 2, "103 01 001" },
                  { 2, 1, 1, "600 01" },
                  { 2, 2, 2, "103 01 001" } });
    seedAccounts(db,
                 { { QStringLiteral("600 01"), QStringLiteral("Satışlar") },
                   { QStringLiteral("103 01 001"), QStringLiteral("Çek Hesabı") } });
}

void seedEmployees(DatabaseSeeder &db)
{
    seedRegistry(db,
                 { { QStringLiteral("S1") }, { QStringLiteral("S2") }, { QStringLiteral("S3") } });
}

void loadRegistry(Session &session)
{
    PayrollList::load(session, false);
}

const QMap<QString, Scenario> &scenarios()
{
    static const QMap<QString, Scenario> all{
        { QStringLiteral("sequential re-coding"),
          { seedFourCards, loadCards,
            [](const OperationContext &c) { SequentialRecoding(c).run(recoding); } } },
        { QStringLiteral("controlled code change"),
          { seedFourCards, loadCards,
            [](const OperationContext &c) {
                ControlledCodeChange(c).run(
                        { .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("000") });
            } } },
        { QStringLiteral("missing accounts"),
          { seedFourCards, loadCards,
            [](const OperationContext &c) {
                MissingAccounts(c).run({ .firstCustomerNumber = QStringLiteral("1"),
                                         .firstSupplierNumber = QStringLiteral("1"),
                                         .accountMask = QStringLiteral("0000") });
            } } },
        { QStringLiteral("card deletion"),
          { seedFourCards,
            [](Session &s) {
                loadCards(s);
                s.cardList.setCurrentRow(1);
            },
            [](const OperationContext &c) {
                CardDeletion(c).run({ .listQuery = CardList::defaultQuery });
            } } },
        { QStringLiteral("stock links"),
          { seedStock, [](Session &) {},
            [](const OperationContext &c) { StockLinkGeneration(c).run({}); } } },
        { QStringLiteral("description transfer"),
          { seedVouchers, VoucherList::load,
            [](const OperationContext &c) { DescriptionTransfer(c).run({}); } } },
        { QStringLiteral("document renumbering"),
          { seedVouchers,
            [](Session &s) {
                LineListing::open(s,
                                  { .startDate = QDate(2024, 1, 1),
                                    .accountPattern = QStringLiteral("103 01 %") });
            },
            [](const OperationContext &c) {
                DocumentRenumbering(c).run(
                        { .prefix = QStringLiteral("22FCB0"), .firstNumber = QStringLiteral("7") });
            } } },
        { QStringLiteral("registry renumbering"),
          { seedEmployees, loadRegistry,
            [](const OperationContext &c) {
                RegistryRenumbering(c).run(
                        { .startNumber = QStringLiteral("1"), .codeMask = QStringLiteral("0000") });
            } } },
        { QStringLiteral("workplace code change"),
          { seedEmployees, loadRegistry,
            [](const OperationContext &c) {
                WorkplaceCodeChange(c).run({ .currentCode = QStringLiteral("MERKEZ"),
                                             .newCode = QStringLiteral("ŞUBE") });
            } } },
    };
    return all;
}

// The tables a report says rows of were inserted, updated or deleted in, sorted.
QStringList reportedTables(const RunReport &report)
{
    QStringList tables;
    for (const TableTotal &total : report.totals()) {
        if (total.inserted + total.updated + total.deleted > 0)
            tables << total.table;
    }
    tables.sort();
    return tables;
}

// Reads a CSV file as the report writes it: ";" between fields, quoted
// fields with doubled quotes, CR LF between lines.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> lines{ {} };
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            lines.last() << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            lines.last() << std::exchange(field, QString());
            lines << QStringList();
            ++i;
        } else {
            field += c;
        }
    }
    if (lines.last().isEmpty() && field.isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

// A preview runs an operation for real and takes all of it back; its report
// says what the run would keep.
class TestPreview : public CompanyTest
{
    Q_OBJECT

private slots:
    void init() { startServer(); }
    void cleanup() { stopServer(); }

    void previewKeepsNothingAndReportsWhatTheRunKeeps_data()
    {
        QTest::addColumn<QString>("operation");
        for (const QString &name : scenarios().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    // Preview first, then the same run for real on the rows the preview left:
    // the same prompts, the same report, and the tables the report names are
    // the tables the run changed.
    void previewKeepsNothingAndReportsWhatTheRunKeeps()
    {
        QFETCH(QString, operation);
        const Scenario &scenario = scenarios().value(operation);
        scenario.seed(m_server->db());
        m_server->connect(*m_session);
        scenario.load(*m_session);
        const auto before = tableDigests(*m_server);

        RecordingPrompter previewPrompter;
        const RunReport previewed = run(scenario, RunReport::Kind::Preview, previewPrompter);
        QCOMPARE(changedTables(before, tableDigests(*m_server)), QStringList());
        QVERIFY(!m_session->connection.inPreview());
        QVERIFY(!previewed.units.isEmpty());

        RecordingPrompter runPrompter;
        const RunReport real = run(scenario, RunReport::Kind::Run, runPrompter);
        QCOMPARE(previewPrompter.questions, runPrompter.questions);
        QCOMPARE(previewPrompter.notices, runPrompter.notices);
        QCOMPARE(previewed.unitTable().rows, real.unitTable().rows);
        QCOMPARE(previewed.totalTable().rows, real.totalTable().rows);
        QCOMPARE(previewed.endText(), real.endText());
        QCOMPARE(changedTables(before, tableDigests(*m_server)), reportedTables(real));
    }

    void previewEndedEarlyRollsEverythingBack_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("said");
        QTest::newRow("code conflict") << "conflict"
                                       << "Çakışma, satır 3: "
                                       << "Kod Çakışması mevcut! Farklı bir KOD seçin.";
        QTest::newRow("statement refused") << "error"
                                           << "Hata, satır 3: "
                                           << "FATHAR kilitli";
    }

    // The third card stops the re-coding: the two before it are reported as
    // the run keeps them, once each, though the preview ran them twice.
    void previewEndedEarlyRollsEverythingBack()
    {
        QFETCH(QString, fault);
        QFETCH(QString, end);
        QFETCH(QString, said);
        seedFourCards(m_server->db());
        if (fault == QStringLiteral("conflict")) {
            m_server->db().insert(QStringLiteral("CARHAR"), { QStringLiteral("CARHARCARKOD") },
                                  { { QStringLiteral("0003") } });
        } else {
            if (!m_server->hasFiles())
                QSKIP("the trigger is SQLite's");
            m_server->db().exec(QStringLiteral(
                    "CREATE TRIGGER kilit BEFORE UPDATE ON FATHAR WHEN NEW.FATHARCARKOD='0003' "
                    "BEGIN SELECT RAISE(ABORT,'FATHAR kilitli'); END"));
        }
        m_server->connect(*m_session);
        loadCards(*m_session);
        const auto before = tableDigests(*m_server);

        RecordingPrompter previewPrompter;
        const RunReport previewed = recodeToItsEnd(RunReport::Kind::Preview, previewPrompter);
        QCOMPARE(changedTables(before, tableDigests(*m_server)), QStringList());
        QVERIFY2(previewed.endText().startsWith(end) && previewed.endText().contains(said),
                 qPrintable(previewed.endText()));
        QCOMPARE(column(previewed, 1), (QStringList{ "K1", "K2" }));
        QCOMPARE(m_session->cardList.currentRow(), 0);

        RecordingPrompter runPrompter;
        const RunReport real = recodeToItsEnd(RunReport::Kind::Run, runPrompter);
        QCOMPARE(previewPrompter.notices, runPrompter.notices);
        QCOMPARE(previewed.unitTable().rows, real.unitTable().rows);
        QCOMPARE(previewed.endText(), real.endText());
        QCOMPARE(codesIn(m_server->db(), QStringLiteral("CARKART"), QStringLiteral("CARKOD")),
                 (QStringList{ "0001", "0002", "K3", "K4" }));
    }

    // Inside the preview, a unit that fails is taken back whole and the units
    // before it stay, as in a real run; at its end nothing stays.
    void unitsStayWholeInsideAPreview()
    {
        seedFourCards(m_server->db());
        m_server->connect(*m_session);
        loadCards(*m_session);
        const auto before = tableDigests(*m_server);
        int executedOnK3 = 0;
        const Connection::Observation failing = m_session->connection.observe(
                { .executed = [&](const QString &, const QVariantMap &values, int) {
                    if (values.value(QStringLiteral("pCarKod")) == QStringLiteral("K3")
                        && ++executedOnK3 == 1)
                        throw Error(QStringLiteral("kilitli"));
                } });
        RecordingPrompter prompter;
        SilentProgress progress;
        QStringList cards;
        QStringList movements;
        runAsPreview(*m_session, [&] {
            QVERIFY(!errorRaisedBy([&] {
                         SequentialRecoding({ *m_session, prompter, progress }).run(recoding);
                     }).isNull());
            cards = fetched(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
            movements = fetched(
                    QStringLiteral("SELECT FATHARCARKOD FROM FATHAR ORDER BY FATHARCARKOD"));
        });
        QCOMPARE(cards, (QStringList{ "0001", "0002", "K3", "K4" }));
        QCOMPARE(movements, (QStringList{ "0001", "0002", "DIGER", "K3", "K4" }));
        QCOMPARE(changedTables(before, tableDigests(*m_server)), QStringList());
    }

    // A transaction that SQLite ends by itself leaves no savepoint to go back
    // to: the connection is closed, which keeps nothing.
    void previewWhoseTransactionTheServerEndsClosesTheConnection()
    {
        if (!m_server->hasFiles())
            QSKIP("the trigger is SQLite's");
        seedFourCards(m_server->db());
        m_server->db().exec(QStringLiteral(
                "CREATE TRIGGER kilit BEFORE UPDATE ON FATHAR WHEN NEW.FATHARCARKOD='0003' "
                "BEGIN SELECT RAISE(ROLLBACK,'FATHAR kilitli'); END"));
        m_server->connect(*m_session);
        loadCards(*m_session);
        const auto before = tableDigests(*m_server);
        RecordingPrompter prompter;
        const QString error = errorRaisedBy([&] {
            run(scenarios().value(QStringLiteral("sequential re-coding")), RunReport::Kind::Preview,
                prompter);
        });
        QVERIFY2(error.contains(QStringLiteral("FATHAR kilitli")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Önizleme geri alınamadı, bağlantı kapatıldı; "
                                               "hiçbir değişiklik kaydedilmedi")),
                 qPrintable(error));
        QVERIFY(!m_session->connection.isOpen());
        // The lists went with the connection; none is put back on it.
        QVERIFY(!m_session->cardList.isOpen());
        QCOMPARE(changedTables(before, tableDigests(*m_server)), QStringList());
    }

    // A list the operation loads again is put back as it was before the
    // preview, on the same row, so a run that follows starts there.
    void listsArePutBackAfterAPreview()
    {
        seedFourCards(m_server->db());
        m_server->connect(*m_session);
        const Scenario &deletion = scenarios().value(QStringLiteral("card deletion"));
        deletion.load(*m_session);
        const ResultSet rows = m_session->cardList.result();
        RecordingPrompter prompter;
        run(deletion, RunReport::Kind::Preview, prompter);
        QCOMPARE(m_session->cardList.result().rows, rows.rows);
        QCOMPARE(m_session->cardList.currentRow(), 1);
        QCOMPARE(m_session->cardList.readText(QStringLiteral("CARKOD")), QStringLiteral("K2"));
    }

    // The file an operator takes to the other systems that hold card codes.
    void recodingCsvListsEveryCardsOldAndNewCode()
    {
        const QStringList codes{ "Ş;1", "K\"2\"", " İğ3", "Öü4 " };
        QList<CardRow> cards;
        for (const QString &code : codes)
            cards << CardRow{ code, QStringLiteral("Kart ") + code, 3 };
        seedCards(m_server->db(), cards);
        m_server->connect(*m_session);
        loadCards(*m_session);
        RecordingPrompter prompter;
        const RunReport report = run(scenarios().value(QStringLiteral("sequential re-coding")),
                                     RunReport::Kind::Run, prompter);

        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("kodlar.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reportCsv(report));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.peek(3) == QByteArrayLiteral("\xEF\xBB\xBF"));
        QTextStream stream(&file);
        const QList<QStringList> lines = readCsv(stream.readAll());

        QCOMPARE(lines.at(0), QStringList{ "Rapor: kaydedilen değişiklikler" });
        QCOMPARE(lines.at(1),
                 (QStringList{ "Satır", "Kod", "Yeni Kod", "Açılan Hesaplar", "Değişiklikler" }));
        QMap<QString, QString> renamed;
        for (qsizetype i = 2; i < 2 + codes.size(); ++i)
            renamed.insert(lines.at(i).at(1), lines.at(i).at(2));
        QMap<QString, QString> expected;
        for (int i = 0; i < codes.size(); ++i)
            expected.insert(m_session->cardList.result().rows.at(i).first().toString(),
                            QStringLiteral("000%1").arg(i + 1));
        QCOMPARE(renamed, expected);
        QCOMPARE(lines.at(2).at(3), QStringLiteral("120 0001, 320 0001"));
        QVERIFY(lines.at(2).at(4).startsWith(QStringLiteral("UPDATE CARKART 1, ")));
        QVERIFY(lines.at(2).at(4).contains(
                QStringLiteral("UPDATE KIMLIKLER 1, UPDATE ADRESLER 1")));
        QCOMPARE(lines.at(6), QStringList{ "" });
        QCOMPARE(lines.at(7), (QStringList{ "Tablo", "Eklenen", "Güncellenen", "Silinen" }));
        QCOMPARE(lines.at(8), (QStringList{ "CARKART", "0", "8", "0" }));
        QCOMPARE(lines.last(), (QStringList{ "Sonuç", "Tamamlandı" }));
    }

    // A field a spreadsheet would take for a formula is written as text: an
    // apostrophe before it.
    void csvKeepsFormulaLikeFieldsAsText()
    {
        const QStringList codes{ "=1+1", "+90", "-5", "@A", "\tT" };
        QList<CardRow> cards;
        for (const QString &code : codes)
            cards << CardRow{ code, QStringLiteral("Kart"), 0 };
        seedCards(m_server->db(), cards);
        m_server->connect(*m_session);
        loadCards(*m_session);
        RecordingPrompter prompter;
        const RunReport report = run(scenarios().value(QStringLiteral("sequential re-coding")),
                                     RunReport::Kind::Run, prompter);
        QStringList written;
        for (const QStringList &line :
             readCsv(QString::fromUtf8(reportCsv(report))).mid(2, codes.size()))
            written << line.at(1);
        QStringList expected;
        for (const QString &code : codes)
            expected << u'\'' + code;
        written.sort();
        expected.sort();
        QCOMPARE(written, expected);
    }

    // A unit that changed nothing (a card that has its accounts, one whose
    // type calls for none) is counted at the end, not listed.
    void unitsThatChangedNothingAreCountedNotListed()
    {
        seedFourCards(m_server->db());
        m_server->connect(*m_session);
        loadCards(*m_session);
        RecordingPrompter prompter;
        const RunReport report = run(scenarios().value(QStringLiteral("missing accounts")),
                                     RunReport::Kind::Run, prompter);
        QCOMPARE(column(report, 1), (QStringList{ "K2", "K3" }));
        QCOMPARE(report.endText(),
                 QStringLiteral("Tamamlandı (değişiklik yapmayan 2 satır listelenmedi)"));
    }

private:
    // Runs the scenario as a preview or for real. An error that ends it is
    // raised, or with `errorsRaised` off only reported.
    RunReport run(const Scenario &scenario, RunReport::Kind kind, RecordingPrompter &prompter,
                  bool errorsRaised = true)
    {
        SilentProgress progress;
        const RunOutcome outcome =
                recordedRun(*m_session, prompter, progress,
                            { .preview = kind == RunReport::Kind::Preview }, scenario.run);
        if (errorsRaised)
            outcome.rethrow();
        return outcome.report;
    }

    RunReport recodeToItsEnd(RunReport::Kind kind, RecordingPrompter &prompter)
    {
        return run(scenarios().value(QStringLiteral("sequential re-coding")), kind, prompter,
                   false);
    }

    static QStringList column(const RunReport &report, int index)
    {
        QStringList values;
        for (const QStringList &row : report.unitTable().rows)
            values << row.at(index);
        return values;
    }

    QStringList fetched(const QString &sql)
    {
        QStringList values;
        for (const QVariantList &row : m_session->connection.fetch(sql, {}).rows)
            values << row.first().toString();
        return values;
    }
};

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
