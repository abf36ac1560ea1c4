#include "audit/AuditReport.h"
#include "audit/CompanyAudit.h"
#include "ops/ReportCsv.h"

#include <QTest>

using namespace zym;

// The check's report as the report window and its file show it: heading,
// a summary row a check first, then a row a finding.
class TestAuditReport : public QObject
{
    Q_OBJECT

private slots:
    void summaryComesFirstThenTheFindings()
    {
        const RunReport report = auditReport(outcome(false), heading());
        QCOMPARE(report.title(), QStringLiteral("Denetim"));
        QCOMPARE(report.headingFields().mid(0, 7),
                 (QList<std::pair<QString, QString>>{ { "İşlem", "Denetim" },
                                                      { "Sunucu", "SUNUCU\\SQLEXPRESS" },
                                                      { "Firma", "FIRMA_A" },
                                                      { "Tarih", "10.12.2026 14:05:00" },
                                                      { "Kullanıcı", "sa" },
                                                      { "Tür", "Denetim (veri değiştirmez)" },
                                                      { "Yedek", "Denetimde yedek alınmaz" } }));
        QCOMPARE(report.unitTable().rows,
                 (QList<QStringList>{ { "Kodu boş kartlar", "1", "1" },
                                      { "Kartı olmayan kodlar", "1200", "2" } }));
        QCOMPARE(report.totalTable().header,
                 (QStringList{ "Denetim", "Tablo", "Anahtar", "Sayı", "Açıklama" }));
        QCOMPARE(report.totalTable().rows,
                 (QList<QStringList>{
                         { "Kodu boş kartlar", "CARKART", "NULL", "2", "Kodu boş." },
                         { "Kartı olmayan kodlar", "CARHAR", "X1", "3", "Kartı yok." },
                         { "Kartı olmayan kodlar", "FATHAR", "X2", "1", "Kartı yok." } }));
        QCOMPARE(report.endText(), QStringLiteral("Tamamlandı"));
        QCOMPARE(auditReport(outcome(true), heading()).endText(), QStringLiteral("İptal edildi"));
    }

    // The CSV file holds the summary under the title, then the findings.
    void csvHoldsTheSummaryAndTheFindings()
    {
        const QString csv =
                QString::fromUtf8(reportCsv(auditReport(outcome(false), heading())).mid(3));
        const QStringList lines = csv.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 2), (QStringList{ "Denetim", "Denetim;Bulgu;Listelenen" }));
        QVERIFY(csv.contains(QStringLiteral("\r\nKodu boş kartlar;CARKART;NULL;2;Kodu boş.\r\n")));
    }

private:
    static AuditOutcome outcome(bool cancelled)
    {
        return { { { QStringLiteral("Kodu boş kartlar"),
                     1,
                     { { QStringLiteral("CARKART"), QStringLiteral("NULL"), 2,
                         QStringLiteral("Kodu boş.") } } },
                   { QStringLiteral("Kartı olmayan kodlar"),
                     1200,
                     { { QStringLiteral("CARHAR"), QStringLiteral("X1"), 3,
                         QStringLiteral("Kartı yok.") },
                       { QStringLiteral("FATHAR"), QStringLiteral("X2"), 1,
                         QStringLiteral("Kartı yok.") } } } },
                 cancelled };
    }

    static RunHeading heading()
    {
        return { QString(),
                 QStringLiteral("SUNUCU\\SQLEXPRESS"),
                 QStringLiteral("FIRMA_A"),
                 QDateTime(QDate(2026, 12, 10), QTime(14, 5)),
                 QStringLiteral("sa"),
                 QString() };
    }
};

QTEST_GUILESS_MAIN(TestAuditReport)
#include "tst_auditreport.moc"
