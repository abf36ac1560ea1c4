#include "AuditChecks.h"

#include "cards/CardCodePropagation.h"
#include "db/Tables.h"
#include "payroll/RegistryCodePropagation.h"
#include "stock/StockAccountSets.h"

namespace zym {

namespace {

// The findings of `parts` (selects joined by UNION ALL, each answering TUR,
// TABLO, ANAHTAR, DETAY and SAYI), the first :pSinir of them in a fixed
// order, each with the count of them all. Window functions count and cut on
// the server, so a check is one request whatever it finds.
QString limited(const QStringList &parts)
{
    return QStringLiteral(
                   "SELECT TUR, TABLO, ANAHTAR, DETAY, SAYI, TOPLAM FROM ("
                   "SELECT b.TUR, b.TABLO, b.ANAHTAR, b.DETAY, b.SAYI, COUNT(*) OVER () AS TOPLAM, "
                   "ROW_NUMBER() OVER (ORDER BY b.TUR, b.TABLO, b.ANAHTAR) AS SIRA FROM (%1) b) s "
                   "WHERE s.SIRA<=:pSinir ORDER BY s.SIRA")
            .arg(parts.join(QStringLiteral(" UNION ALL ")));
}

// The head of a part: its kind, its table, and the key, detail and count
// expressions.
QString select(int kind, const QString &table, const QString &key, const QString &detail,
               const QString &count)
{
    return QStringLiteral("SELECT %1 AS TUR, '%2' AS TABLO, %3 AS ANAHTAR, %4 AS DETAY, %5 AS SAYI")
            .arg(kind)
            .arg(table, key, detail, count);
}

// Rows whose code is NULL (kind `kind`) and rows whose code is empty as the
// server compares it (kind `kind` + 1): one finding for each.
QStringList emptyCodes(int kind, const QString &table, const QString &column)
{
    const auto part = [&](int partKind, const QString &condition) {
        return select(partKind, table, column, QStringLiteral("NULL"), QStringLiteral("COUNT(*)"))
                + QStringLiteral(" FROM %1 WHERE %2%3 GROUP BY %2").arg(table, column, condition);
    };
    return { part(kind, QStringLiteral(" IS NULL")), part(kind + 1, QStringLiteral("=''")) };
}

// Codes that several rows hold as the server compares them: GROUP BY groups
// with the column's own collation.
QString alikeCodes(int kind, const QString &table, const QString &column)
{
    return select(kind, table, column, QStringLiteral("NULL"), QStringLiteral("COUNT(*)"))
            + QStringLiteral(" FROM %1 WHERE %2<>'' GROUP BY %2 HAVING COUNT(*)>1")
                      .arg(table, column);
}

// Codes of `table` (those `condition` keeps) that no row of the owner table
// holds, as the owner's column compares them, with the rows carrying each.
QString ownerless(int kind, const QString &table, const QString &column, const QString &condition,
                  const QString &ownerTable, const QString &ownerColumn)
{
    return select(kind, table, QStringLiteral("m.") + column, QStringLiteral("NULL"),
                  QStringLiteral("COUNT(*)"))
            + QStringLiteral(" FROM %1 m WHERE m.%2<>''%3 AND NOT EXISTS(SELECT 1 FROM %4 o WHERE "
                             "o.%5=m.%2) GROUP BY m.%2")
                      .arg(table, column, condition, ownerTable, ownerColumn);
}

AuditCheck emptyCards()
{
    return {
        QStringLiteral("Kodu boş kartlar"),
        limited(emptyCodes(1, QStringLiteral("CARKART"), QStringLiteral("CARKOD"))),
        { QStringLiteral("Kodu NULL: işlemler bu satırda durur, kodu boş bir kayıt işlenemez."),
          QStringLiteral(
                  "Kodu boş (''): kodu değişirse boş kodlu bütün satırlar bu karta geçer.") }
    };
}

AuditCheck alikeCards()
{
    return { QStringLiteral("Sunucunun eş saydığı kart kodları"),
             limited({ alikeCodes(1, QStringLiteral("CARKART"), QStringLiteral("CARKOD")) }),
             { QStringLiteral("Sunucu bu kartların kodlarını eş sayar: bu koda dokunan işlem "
                              "birden çok satırı değiştireceği için durur.") } };
}

// The card-code propagation's tables beyond the card row, payroll rows left out.
AuditCheck cardlessCodes()
{
    QStringList parts;
    const auto &steps = CardCodePropagation::steps();
    for (qsizetype i = 1; i < steps.size(); ++i) {
        parts << ownerless(1, steps.at(i).table, steps.at(i).column, steps.at(i).outsidePayroll(),
                           QStringLiteral("CARKART"), QStringLiteral("CARKOD"));
    }
    return { QStringLiteral("Kartı olmayan kodlar"),
             limited(parts),
             { QStringLiteral("Hiçbir kartın kodu değil: bu kodu yeni kod olarak veren işlem "
                              "çakışmayla durur.") } };
}

QString missingAccount(int kind, const QString &linkColumn)
{
    return select(kind, QStringLiteral("CARKART"), QStringLiteral("c.CARKOD"),
                  QStringLiteral("c.") + linkColumn, QStringLiteral("1"))
            + QStringLiteral(" FROM CARKART c WHERE c.%1<>'' AND NOT EXISTS(SELECT 1 FROM MUHHESAP "
                             "h WHERE h.MUHKOD=c.%1)")
                      .arg(linkColumn);
}

// A card that names one account in both columns links it once.
AuditCheck accountLinks()
{
    const QString sharedAccounts =
            select(3, QStringLiteral("MUHHESAP"), QStringLiteral("h.MUHKOD"),
                   QStringLiteral("NULL"), QStringLiteral("COUNT(*)"))
            + QStringLiteral(
                    " FROM (SELECT CARMUHKODU AS KOD FROM CARKART WHERE CARMUHKODU<>'' UNION ALL "
                    "SELECT CAREKCHAR1 FROM CARKART WHERE CAREKCHAR1<>'' AND (CARMUHKODU IS NULL "
                    "OR CAREKCHAR1<>CARMUHKODU)) l "
                    "JOIN MUHHESAP h ON h.MUHKOD=l.KOD GROUP BY h.MUHKOD HAVING COUNT(*)>1");
    return {
        QStringLiteral("Kartların hesap bağlantıları"),
        limited({ missingAccount(1, QStringLiteral("CARMUHKODU")),
                  missingAccount(2, QStringLiteral("CAREKCHAR1")), sharedAccounts }),
        { QStringLiteral("CARMUHKODU %1 hesap planında yok: kart var olmayan bir hesaba bağlı."),
          QStringLiteral("CAREKCHAR1 %1 hesap planında yok: kart var olmayan bir hesaba bağlı."),
          QStringLiteral("Birden çok kart bu hesaba bağlı: bir kartın hesabı silinir ya da "
                         "değişirse öbürleri de etkilenir.") }
    };
}

AuditCheck cardTypes()
{
    return { QStringLiteral("Kart hesap tipleri"),
             limited({ select(1, QStringLiteral("CARKART"), QStringLiteral("CARKOD"),
                              QStringLiteral("CARMUHTIPI"), QStringLiteral("1"))
                       + QStringLiteral(" FROM CARKART WHERE CARMUHTIPI NOT IN (0, 1, 2, 3)") }),
             { QStringLiteral("Hesap tipi %1, 0-3 dışında: işlemler bu karta hesap açmaz.") } };
}

// The registry-code propagation's tables beyond the registry, payroll rows only.
AuditCheck registry()
{
    QStringList parts{ alikeCodes(1, QStringLiteral("BORSICIL"), QStringLiteral("BORSCLKOD")) };
    const auto &steps = RegistryCodePropagation::steps();
    for (qsizetype i = 1; i < steps.size(); ++i) {
        const auto &step = steps.at(i);
        const QString payrollOnly = Tables::payrollRowsOnly(
                { step.table, step.column, step.moduleColumn }, QStringLiteral("m"));
        parts << ownerless(2, step.table, step.column, payrollOnly, QStringLiteral("BORSICIL"),
                           QStringLiteral("BORSCLKOD"));
    }
    parts << emptyCodes(3, QStringLiteral("BORSICIL"), QStringLiteral("BORSCLKOD"));
    return { QStringLiteral("Bordro sicilleri"),
             limited(parts),
             { QStringLiteral("Sunucu bu sicil kodlarını eş sayar: numaralandırma birden çok "
                              "satırı değiştireceği için durur."),
               QStringLiteral("Hiçbir çalışanın sicil kodu değil: bu kodu yeni sicil kodu olarak "
                              "veren numaralandırma çakışmayla durur."),
               QStringLiteral("Sicil kodu NULL: numaralandırma bu satırda durur."),
               QStringLiteral("Sicil kodu boş (''): kodu değişirse boş kodlu bütün bordro "
                              "satırları bu çalışana geçer.") } };
}

// The group numbers are the tool's own table of account sets, not values.
AuditCheck stock()
{
    QStringList groups;
    for (const int group : StockAccountSets::groups())
        groups << QString::number(group);
    const QString setless = select(4, QStringLiteral("STKKART"), QStringLiteral("STKKOD"),
                                   QStringLiteral("STKGENKDVNO"), QStringLiteral("1"))
            + QStringLiteral(" FROM STKKART WHERE STKGENKDVNO IS NULL OR STKGENKDVNO NOT IN (%1)")
                      .arg(groups.join(QStringLiteral(", ")));
    return { QStringLiteral("Stok kartları"),
             limited(emptyCodes(1, QStringLiteral("STKKART"), QStringLiteral("STKKOD"))
                     << ownerless(3, QStringLiteral("STKMUHBAGLANTI"), QStringLiteral("SMBSTKKOD"),
                                  QString(), QStringLiteral("STKKART"), QStringLiteral("STKKOD"))
                     << setless),
             { QStringLiteral("Stok kodu NULL: bağlantı oluşturma bu satırda durur."),
               QStringLiteral("Stok kodu boş (''): bağlantıları boş stok koduyla yazılır."),
               QStringLiteral("Hiçbir stok kartının kodu değil: bu bağlantı satırları sahipsiz."),
               QStringLiteral("Grup %1 için hesap takımı yok: \"STOK MUH OLUŞTUR\" bu karta "
                              "bağlantı yazmaz.") } };
}

AuditCheck journal()
{
    const QString headerless = select(1, QStringLiteral("MUHHAR"), QStringLiteral("h.MUHHARREFNO"),
                                      QStringLiteral("NULL"), QStringLiteral("COUNT(*)"))
            + QStringLiteral(" FROM MUHHAR h WHERE NOT EXISTS(SELECT 1 FROM MUHFIS f WHERE "
                             "f.MUHFISREFNO=h.MUHHARREFNO) "
                             "GROUP BY h.MUHHARREFNO");
    const QString lineless = select(2, QStringLiteral("MUHFIS"), QStringLiteral("f.MUHFISREFNO"),
                                    QStringLiteral("NULL"), QStringLiteral("1"))
            + QStringLiteral(" FROM MUHFIS f WHERE NOT EXISTS(SELECT 1 FROM MUHHAR h WHERE "
                             "h.MUHHARREFNO=f.MUHFISREFNO)");
    return { QStringLiteral("Muhasebe fişleri"),
             limited({ headerless, lineless }),
             { QStringLiteral("Fişin başlığı yok: fiş listesinde görünmez, aktarma ve "
                              "numaralandırma bu satırlara ulaşmaz."),
               QStringLiteral(
                       "Fişin satırı yok: aktarma ve numaralandırma bu fişte bir şey yapmaz.") } };
}

} // namespace

const QList<AuditCheck> &AuditChecks::all()
{
    static const QList<AuditCheck> checks{ emptyCards(),   alikeCards(), cardlessCodes(),
                                           accountLinks(), cardTypes(),  registry(),
                                           stock(),        journal() };
    return checks;
}

} // namespace zym
