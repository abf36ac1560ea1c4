#include "DemoData.h"

#include "db/ConnectionSettings.h"
#include "db/DatabaseSeeder.h"
#include "db/EmbeddedFolder.h"
#include "db/Error.h"
#include "db/Tables.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QVariantList>

#include <array>
#include <cstdint>

namespace zym {

const QString DemoData::defaultMasterSuffix = QStringLiteral("MASTERV8");

namespace {
// Goes up whenever what is written for a size changes: the rows, or the
// tables they go in.
constexpr int rowsVersion = 3;
const QString stampFile = QStringLiteral("demo-version");
} // namespace

QString DemoData::stamp(const DemoSize &size)
{
    return QStringLiteral("%1: %2 %3 %4 %5 %6")
            .arg(rowsVersion)
            .arg(size.cards)
            .arg(size.movements)
            .arg(size.stockCards)
            .arg(size.vouchers)
            .arg(size.employees);
}

QString DemoData::writtenStamp(const QString &folder)
{
    QFile file(QDir(folder).filePath(stampFile));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

namespace {

// A small deterministic generator: the same seed gives the same rows on
// every platform and compiler.
class Dice
{
public:
    explicit Dice(std::uint64_t seed)
        : m_state(seed * 6364136223846793005ULL + 1442695040888963407ULL)
    {
    }

    int below(int bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((m_state >> 33) % std::uint64_t(bound));
    }
    bool chance(int percent) { return below(100) < percent; }
    template<typename T, std::size_t N>
    const T &pick(const std::array<T, N> &items)
    {
        return items[std::size_t(below(int(N)))];
    }

private:
    std::uint64_t m_state;
};

// The product writes empty texts, not NULLs, where a card has no value.
const QString empty = QStringLiteral("");

constexpr int currentAccountModule = 1;

const std::array<const char *, 16> surnames{ "Yılmaz", "Kaya",    "Demir",    "Şahin",
                                             "Çelik",  "Yıldız",  "Yıldırım", "Öztürk",
                                             "Aydın",  "Özdemir", "Arslan",   "Doğan",
                                             "Kılıç",  "Aslan",   "Çetin",    "Kara" };
const std::array<const char *, 12> trades{ "Ticaret",  "İnşaat",  "Gıda",      "Tekstil",
                                           "Otomotiv", "Mobilya", "Kırtasiye", "Elektrik",
                                           "Nakliyat", "Tarım",   "Kimya",     "Ambalaj" };
const std::array<const char *, 5> forms{ "Ltd. Şti.", "A.Ş.", "San. ve Tic. Ltd. Şti.",
                                         "Koll. Şti.", "" };
const std::array<const char *, 10> taxOffices{ "Kadıköy",   "Çankaya",  "Beşiktaş", "Karşıyaka",
                                               "Osmangazi", "Selçuklu", "Şişli",    "Üsküdar",
                                               "Muratpaşa", "Nilüfer" };
const std::array<const char *, 8> firstNames{ "Ayşe",   "Mehmet", "Fatma", "Mustafa",
                                              "Zeynep", "Ahmet",  "Elif",  "Hüseyin" };
const std::array<const char *, 10> stockNames{ "Vida M6",       "Somun M8",        "Boya 2,5 lt",
                                               "Kablo 3x1,5",   "Çimento 50 kg",   "Fayans 30x60",
                                               "Pirinç 5 kg",   "Zeytinyağı 1 lt", "Defter A4",
                                               "Şampuan 500 ml" };
const std::array<const char *, 4> workplaces{ "MERKEZ", "MERKEZ", "ŞUBE1", "DEPO" };
const std::array<const char *, 6> journalAccounts{ "103 01 001", "103 01 002", "100 01",
                                                   "102 01 001", "600 01",     "770 01" };

QString cardTitle(Dice &dice, int number)
{
    QString title =
            QStringLiteral("%1 %2 %3")
                    .arg(QString::fromUtf8(dice.pick(surnames)),
                         QString::fromUtf8(dice.pick(trades)), QString::fromUtf8(dice.pick(forms)));
    // Some titles keep the trailing blanks the product pads them with.
    if (number % 7 == 0)
        title += QStringLiteral("   ");
    return title;
}

QString taxNumber(int seed)
{
    return QStringLiteral("%1").arg(1000000000LL + qint64(seed) * 7919 % 8999999999LL);
}

struct Card
{
    QString code;
    int type;
};

class CompanyWriter
{
public:
    CompanyWriter(DatabaseSeeder &db, const DemoSize &size, std::uint64_t seed)
        : m_db(db), m_size(size), m_dice(seed)
    {
    }

    void write()
    {
        writeCards();
        writeMovements();
        writeStock();
        writeJournal();
        writePayroll();
    }

private:
    void writeCards()
    {
        QList<QVariantList> cards, identities, addresses, accounts;
        int customerAccount = 0;
        int supplierAccount = 0;
        QString sharedTax;
        for (int i = 1; i <= m_size.cards; ++i) {
            const int type = i % 11 == 0 ? 0 : 1 + m_dice.below(3);
            const QString prefix = type == 2 ? QStringLiteral("TED") : QStringLiteral("MUS");
            const QString code =
                    QStringLiteral("%1-%2").arg(prefix).arg(i, 4, 10, QLatin1Char('0'));
            const QString title = cardTitle(m_dice, i);

            QString tax;
            if (i % 13 == 0)
                tax = empty; // no tax number
            else if (i % 9 == 0 && !sharedTax.isEmpty())
                tax = sharedTax; // same taxpayer as an earlier card
            else
                tax = taxNumber(i);
            if (i % 5 == 0)
                sharedTax = tax;

            const QString specialCode = i % 17 == 0 ? QStringLiteral("SK")
                    : i % 19 == 0                   ? QStringLiteral("IHR")
                                                    : empty;
            // About a third of the cards have no accounts yet.
            QString customer = empty;
            QString supplier = empty;
            if (m_dice.below(3) != 0) {
                if (type == 1 || type == 3) {
                    customer = QStringLiteral("120 01 %1")
                                       .arg(++customerAccount, 3, 10, QLatin1Char('0'));
                    accounts << QVariantList{ customer, title.trimmed(), 1, tax, empty };
                }
                if (type == 2 || type == 3) {
                    supplier = QStringLiteral("320 01 %1")
                                       .arg(++supplierAccount, 3, 10, QLatin1Char('0'));
                    accounts << QVariantList{ supplier, title.trimmed(), 1, tax, empty };
                }
            }
            cards << QVariantList{ code,     title,      QString::fromUtf8(m_dice.pick(taxOffices)),
                                   tax,      type,       customer,
                                   supplier, specialCode };

            if (i % 10 != 3) // some cards have no identity row
                identities << QVariantList{
                    code, QStringLiteral("%1").arg(10000000000LL + qint64(i) * 104729),
                    currentAccountModule
                };
            if (i == 4) // one card with a second identity row of another module
                identities << QVariantList{ code, QStringLiteral("29999999998"), 3 };
            addresses << QVariantList{ code, currentAccountModule };
            m_cards << Card{ code, type };
        }
        // An employee whose registry code happens to equal a card's code.
        if (!m_cards.isEmpty()) {
            identities << QVariantList{ m_cards.first().code, QStringLiteral("38888888888"),
                                        Tables::payrollModule };
            addresses << QVariantList{ m_cards.first().code, Tables::payrollModule };
        }
        m_db.insert(QStringLiteral("CARKART"),
                    Tables::company(QStringLiteral("CARKART")).columnNames(), cards);
        m_db.insert(QStringLiteral("KIMLIKLER"),
                    { QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO"),
                      QStringLiteral("KIMMODUL") },
                    identities);
        m_db.insert(QStringLiteral("ADRESLER"),
                    { QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") }, addresses);
        m_db.insert(QStringLiteral("MUHHESAP"),
                    Tables::company(QStringLiteral("MUHHESAP")).columnNames(), accounts);
    }

    void writeMovements()
    {
        const QList<CodeColumn> &movementTables = Tables::movementTables();
        if (m_cards.isEmpty())
            return;
        QList<QList<QVariantList>> rows(movementTables.size());
        for (int i = 0; i < m_size.movements; ++i) {
            // Every table gets rows even for small sizes; the rest fall at random.
            const int table =
                    i < movementTables.size() ? i : m_dice.below(int(movementTables.size()));
            rows[table] << QVariantList{ m_cards.at(m_dice.below(int(m_cards.size()))).code };
        }
        for (qsizetype t = 0; t < movementTables.size(); ++t) {
            const TableSpec &table = Tables::company(movementTables.at(t).table);
            m_db.insert(table.name, table.columnNames(), rows.at(t));
        }
    }

    void writeStock()
    {
        QList<QVariantList> stock;
        for (int i = 1; i <= m_size.stockCards; ++i) {
            const QString description =
                    i % 8 == 0 ? empty : QString::fromUtf8(m_dice.pick(stockNames));
            stock << QVariantList{ QStringLiteral("STK%1").arg(i, 5, 10, QLatin1Char('0')),
                                   description, i % 10 };
        }
        m_db.insert(QStringLiteral("STKKART"),
                    Tables::company(QStringLiteral("STKKART")).columnNames(), stock);
        QList<QVariantList> accounts;
        for (const char *code :
             { "153 03 05", "153 03 01", "610 05", "600 01", "620 01", "391 01", "191 01", "100 01",
               "102 01 001", "103 01 001", "103 01 002", "770 01" })
            accounts << QVariantList{ QString::fromLatin1(code),
                                      QStringLiteral("Hesap %1").arg(QLatin1String(code)), 1, empty,
                                      empty };
        m_db.insert(QStringLiteral("MUHHESAP"),
                    Tables::company(QStringLiteral("MUHHESAP")).columnNames(), accounts);
    }

    void writeJournal()
    {
        QList<QVariantList> vouchers, lines;
        const QDate first(2024, 1, 2);
        for (int v = 1; v <= m_size.vouchers; ++v) {
            const int reference = 1000 + v;
            vouchers << QVariantList{ reference };
            const QDateTime date(first.addDays(v / 3), QTime(v % 2 ? 0 : 14, v % 2 ? 0 : 30));
            const int lineCount = 2 + m_dice.below(3);
            for (int line = 1; line <= lineCount; ++line) {
                const QString account = QString::fromLatin1(m_dice.pick(journalAccounts));
                lines << QVariantList{ reference,
                                       line,
                                       line == 1 ? 1 : 2,
                                       account,
                                       QStringLiteral("Fiş %1 satır %2").arg(reference).arg(line),
                                       empty,
                                       date,
                                       QStringLiteral("EVR%1").arg(reference) };
            }
        }
        m_db.insert(QStringLiteral("MUHFIS"), { QStringLiteral("MUHFISREFNO") }, vouchers);
        m_db.insert(QStringLiteral("MUHHAR"),
                    Tables::company(QStringLiteral("MUHHAR")).columnNames(), lines);
    }

    void writePayroll()
    {
        QList<QVariantList> registry, identities, addresses, pictures, logs;
        QList<QList<QVariantList>> details(5);
        static const QStringList detailTables{
            QStringLiteral("BORPUANTAJ"), QStringLiteral("BORKUMULE"), QStringLiteral("BORGENDET"),
            QStringLiteral("BORDETAY"), QStringLiteral("BORPUANDETAY")
        };
        for (int e = 1; e <= m_size.employees; ++e) {
            const QString code = QStringLiteral("P%1").arg(e, 4, 10, QLatin1Char('0'));
            const int leaving = e % 6 == 0 ? 1 + m_dice.below(30) : 0;
            registry << QVariantList{ code, leaving, QString::fromUtf8(m_dice.pick(workplaces)) };
            identities << QVariantList{ code,
                                        QStringLiteral("%1").arg(20000000000LL + qint64(e) * 7877),
                                        Tables::payrollModule };
            addresses << QVariantList{ code, Tables::payrollModule };
            pictures << QVariantList{ code, Tables::payrollModule };
            logs << QVariantList{ code, Tables::payrollModule };
            for (qsizetype t = 0; t < details.size(); ++t) {
                for (int month = 0; month < 1 + m_dice.below(3); ++month)
                    details[t] << QVariantList{ code };
            }
        }
        // Rows of other modules that share an employee's code stay out of payroll renumbering.
        if (m_size.employees > 0) {
            pictures << QVariantList{ QStringLiteral("P0001"), 2 };
            logs << QVariantList{ QStringLiteral("P0001"), 1 };
        }
        m_db.insert(QStringLiteral("BORSICIL"),
                    Tables::company(QStringLiteral("BORSICIL")).columnNames(), registry);
        m_db.insert(QStringLiteral("KIMLIKLER"),
                    { QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO"),
                      QStringLiteral("KIMMODUL") },
                    identities);
        m_db.insert(QStringLiteral("ADRESLER"),
                    { QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") }, addresses);
        m_db.insert(QStringLiteral("RESIMLER"),
                    { QStringLiteral("RESIMKOD"), QStringLiteral("RESIMMODUL") }, pictures);
        m_db.insert(QStringLiteral("SIRKETLOG"),
                    { QStringLiteral("SIRLOGKYTKODU"), QStringLiteral("SIRLOGMODUL") }, logs);
        for (qsizetype t = 0; t < details.size(); ++t) {
            const TableSpec &table = Tables::company(detailTables.at(t));
            m_db.insert(table.name, table.columnNames(), details.at(t));
        }
    }

    DatabaseSeeder &m_db;
    DemoSize m_size;
    Dice m_dice;
    QList<Card> m_cards;
};

// FNV-1a over the name: each company gets its own rows, the same every run.
std::uint64_t seedOf(const QString &name)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const QChar c : name) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

// A handful of rows that the operations would stop at, pass over or merge,
// so that "Denetle" has something to show: a card without a code, rows of a
// deleted card, a link to no account, a type outside 0-3, payroll and link
// rows of a deleted employee and stock card, and a voucher split from its lines.
void writeAuditFindings(DatabaseSeeder &db)
{
    const QStringList cardColumns{ QStringLiteral("CARKOD"),     QStringLiteral("CARUNVAN"),
                                   QStringLiteral("CARMUHTIPI"), QStringLiteral("CARMUHKODU"),
                                   QStringLiteral("CAREKCHAR1"), QStringLiteral("CAROZKOD3") };
    db.insert(QStringLiteral("CARKART"), cardColumns,
              { { QVariant(), QStringLiteral("Kodsuz Ticaret Ltd. Şti."), 1, empty, empty, empty },
                { QStringLiteral("MUS-9001"), QStringLiteral("Kayıp Hesap A.Ş."), 1,
                  QStringLiteral("120 01 999"), empty, empty },
                { QStringLiteral("MUS-9002"), QStringLiteral("Tipsiz Gıda Koll. Şti."), 7, empty,
                  empty, empty } });
    db.insert(QStringLiteral("FATHAR"), { QStringLiteral("FATHARCARKOD") },
              { { QStringLiteral("MUS-0999") }, { QStringLiteral("MUS-0999") } });
    db.insert(QStringLiteral("CARHAR"), { QStringLiteral("CARHARCARKOD") },
              { { QStringLiteral("MUS-0999") } });
    db.insert(QStringLiteral("BORPUANTAJ"), { QStringLiteral("BORPNPERKOD") },
              { { QStringLiteral("P0999") } });
    db.insert(QStringLiteral("STKMUHBAGLANTI"),
              Tables::company(QStringLiteral("STKMUHBAGLANTI")).columnNames(),
              { { QStringLiteral("STK99999"), 1, 1, QStringLiteral("153 03 05") } });
    db.insert(QStringLiteral("MUHFIS"), { QStringLiteral("MUHFISREFNO") }, { { 9998 } });
    db.insert(QStringLiteral("MUHHAR"),
              { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARSIRANO"),
                QStringLiteral("MUHHARBATIPI") },
              { { 9999, 1, 1 }, { 9999, 2, 2 } });
}

void removeDatabaseFiles(const QString &folder, const QString &name)
{
    const QString file = EmbeddedFolder::databaseFile(folder, name);
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(file + suffix);
}

} // namespace

QStringList DemoData::companies()
{
    return { QStringLiteral("ZYM_ORNEK_2024"), QStringLiteral("ZYM_ORNEK_2025"),
             QStringLiteral("ZYM_DENEME ŞUBE") };
}

void DemoData::writeCompany(const QString &folder, const QString &company, const DemoSize &size)
{
    removeDatabaseFiles(folder, company);
    DatabaseSeeder db(folder, company);
    db.createTables(Tables::companyTables());
    CompanyWriter(db, size, seedOf(company)).write();
}

void DemoData::write(const QString &folder, const DemoSize &size, const QString &masterSuffix)
{
    const QString master = masterDatabaseName(masterSuffix);
    removeDatabaseFiles(folder, master);
    {
        DatabaseSeeder db(folder, master);
        db.createTables({ Tables::companyList() });
        QList<QVariantList> rows;
        for (const QString &company : companies())
            rows << QVariantList{ company };
        db.insert(Tables::companyList().name, Tables::companyList().columnNames(), rows);
    }
    const DemoSize small{ 24, 200, 12, 6, 6 };
    const QStringList names = companies();
    for (qsizetype i = 0; i < names.size(); ++i)
        writeCompany(folder, names.at(i), i == 0 ? size : small);
    DatabaseSeeder checked(folder, names.at(1));
    writeAuditFindings(checked);
    QFile file(QDir(folder).filePath(stampFile));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(stamp(size).toUtf8()) < 0)
        throw Error(QStringLiteral("%1 yazılamadı").arg(file.fileName()));
}

} // namespace zym
