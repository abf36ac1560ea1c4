#include "db/DatabaseBackup.h"

#include <QTest>

using namespace zym;

// Where a SQL Server backup goes and what it is called, from what the
// server says of its folders.
class TestDatabaseBackup : public QObject
{
    Q_OBJECT

private slots:
    void serverFile_data()
    {
        QTest::addColumn<QString>("defaultFolder");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("file");
        QTest::newRow("the instance's backup folder")
                << "C:\\Program Files\\MSSQL\\Backup"
                << "D:\\Veri\\FIRMA_A.mdf"
                << "C:\\Program Files\\MSSQL\\Backup\\FIRMA_A_20240103_140506.bak";
        QTest::newRow("ending in a separator") << "E:\\Yedek\\"
                                               << ""
                                               << "E:\\Yedek\\FIRMA_A_20240103_140506.bak";
        QTest::newRow("no backup folder: the data file's")
                << ""
                << "D:\\Veri\\FIRMA_A.mdf"
                << "D:\\Veri\\FIRMA_A_20240103_140506.bak";
        QTest::newRow("SQL Server on Linux") << ""
                                             << "/var/opt/mssql/data/FIRMA_A.mdf"
                                             << "/var/opt/mssql/data/FIRMA_A_20240103_140506.bak";
        QTest::newRow("no folder known") << ""
                                         << ""
                                         << "";
    }

    void serverFile()
    {
        QFETCH(QString, defaultFolder);
        QFETCH(QString, dataFile);
        QFETCH(QString, file);
        const QString folder = DatabaseBackup::sqlServerFolder(defaultFolder, dataFile);
        const QString name = DatabaseBackup::fileName(QStringLiteral("FIRMA_A"),
                                                      QDateTime(QDate(2024, 1, 3), QTime(14, 5, 6)),
                                                      QStringLiteral(".bak"));
        QCOMPARE(folder.isEmpty() ? QString() : DatabaseBackup::serverPath(folder, name), file);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseBackup)
#include "tst_databasebackup.moc"
