#include "ErrorRaised.h"
#include "XlsxSheet.h"

#include "ops/ReportXlsx.h"
#include "ops/RunReport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;
using zym::test::XlsxSheet;

namespace {

const QString changes = QStringLiteral("UPDATE CARKART 1, INSERT MUHHESAP 1");

RunReport recoding()
{
    RunReport report;
    report.heading = { QStringLiteral("Sıralı Cari Kod Düzenleme"),
                       QStringLiteral("./demo-data"),
                       QStringLiteral("FIRMA_A"),
                       QDateTime(QDate(2024, 1, 3), QTime(14, 5, 6)),
                       QStringLiteral("operator"),
                       QStringLiteral("Yedek/FIRMA_A_20240103_140506.sqlite") };
    const StatementEffect renamed{ SqlText::Change::Kind::Update, QStringLiteral("CARKART"), 1 };
    const StatementEffect account{ SqlText::Change::Kind::Insert, QStringLiteral("MUHHESAP"), 1 };
    report.units << UnitRecord{
        0,
        { QStringLiteral("0001"), QStringLiteral("0002"), { QStringLiteral("120 0002") }, {} },
        { renamed, account }
    } << UnitRecord{ 1, { QStringLiteral("K2"), QStringLiteral("0003"), {}, {} }, { renamed } };
    return report;
}

} // namespace

// The Excel report read back from its file: which cells are text and which
// numbers, the heading above the units, the bold titles kept in view, the
// fitted widths and the totals' sheet.
class TestReportXlsx : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_path = m_folder.filePath(QStringLiteral("rapor.xlsx"));
        writeReportXlsx(recoding(), m_path);
    }

    void cells_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::newRow("title") << 1 << "A1"
                               << "s"
                               << "Rapor: kaydedilen değişiklikler" << true;
        QTest::newRow("heading's first name") << 1 << "A2"
                                              << "s"
                                              << "İşlem" << true;
        QTest::newRow("operation") << 1 << "B2"
                                   << "s"
                                   << "Sıralı Cari Kod Düzenleme" << false;
        QTest::newRow("server") << 1 << "B3"
                                << "s"
                                << "./demo-data" << false;
        QTest::newRow("date and time") << 1 << "B5"
                                       << "s"
                                       << "03.01.2024 14:05:06" << false;
        QTest::newRow("kind of run") << 1 << "B7"
                                     << "s"
                                     << "Gerçek çalıştırma" << false;
        QTest::newRow("backup") << 1 << "B8"
                                << "s"
                                << "Yedek/FIRMA_A_20240103_140506.sqlite" << false;
        QTest::newRow("how it ended") << 1 << "B9"
                                      << "s"
                                      << "Tamamlandı" << false;
        QTest::newRow("column title") << 1 << "B11"
                                      << "s"
                                      << "Kod" << true;
        QTest::newRow("a code of digits stays text") << 1 << "B12"
                                                     << "s"
                                                     << "0001" << false;
        QTest::newRow("new code") << 1 << "C12"
                                  << "s"
                                  << "0002" << false;
        QTest::newRow("account made") << 1 << "D12"
                                      << "s"
                                      << "120 0002" << false;
        QTest::newRow("list row is a number") << 1 << "A13"
                                              << "n"
                                              << "2" << false;
        QTest::newRow("totals' title") << 2 << "C1"
                                       << "s"
                                       << "Güncellenen" << true;
        QTest::newRow("table") << 2 << "A2"
                               << "s"
                               << "CARKART" << false;
        QTest::newRow("rows updated are a number") << 2 << "C2"
                                                   << "n"
                                                   << "2" << false;
        QTest::newRow("rows inserted") << 2 << "B3"
                                       << "n"
                                       << "1" << false;
    }

    void cells()
    {
        QFETCH(int, sheet);
        QFETCH(QString, reference);
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        const XlsxSheet read(m_path, sheet);
        QCOMPARE(read.error, QString());
        QVERIFY2(read.cells.contains(reference), qPrintable(reference));
        const XlsxSheet::Cell cell = read.cells.value(reference);
        QCOMPARE(cell.type, type);
        QCOMPARE(cell.text, text);
        QCOMPARE(cell.bold, bold);
    }

    void titlesStayInViewAndColumnsFit_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("frozenRows");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("longest");
        QTest::newRow("units") << 1 << "Rapor" << 11 << 5 << int(changes.size());
        QTest::newRow("totals") << 2 << "Tablo Toplamları" << 1 << 3
                                << int(QStringLiteral("Güncellenen").size());
    }

    void titlesStayInViewAndColumnsFit()
    {
        QFETCH(int, sheet);
        QFETCH(QString, name);
        QFETCH(int, frozenRows);
        QFETCH(int, column);
        QFETCH(int, longest);
        const XlsxSheet read(m_path, sheet);
        QCOMPARE(read.name, name);
        QCOMPARE(read.frozenRows, frozenRows);
        QVERIFY2(read.widths.value(column) >= longest && read.widths.value(column) <= longest + 4,
                 qPrintable(QString::number(read.widths.value(column))));
    }

    // A file that cannot be written raises and leaves nothing behind.
    void unwritableFileRaises()
    {
        const QString nowhere = m_folder.filePath(QStringLiteral("yok/rapor.xlsx"));
        QVERIFY(!errorRaisedBy([&] { writeReportXlsx(recoding(), nowhere); }).isNull());
        QVERIFY(!QFile::exists(nowhere));
    }

private:
    QTemporaryDir m_folder;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestReportXlsx)
#include "tst_reportxlsx.moc"
