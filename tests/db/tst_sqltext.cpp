#include "db/SqlText.h"

#include <QTest>

using namespace zym;

class TestSqlText : public QObject
{
    Q_OBJECT

private slots:
    void parameterNames_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("two") << "UPDATE T SET A=:pKod WHERE B=:pCarKod;" << QStringList{"pKod", "pCarKod"};
        QTest::newRow("repeated once") << "SELECT :pA, :pB, :pA" << QStringList{"pA", "pB"};
        QTest::newRow("quoted skipped") << "SELECT ':x', \":y\", [a:b], :pZ" << QStringList{"pZ"};
        QTest::newRow("doubled quote") << "SELECT 'it''s :no', :pYes" << QStringList{"pYes"};
        QTest::newRow("bracket with ]]") << "SELECT [a]]:b], :pC" << QStringList{"pC"};
        QTest::newRow("none") << "SELECT 1" << QStringList();
        QTest::newRow("lone colon") << "SELECT a : b" << QStringList();
    }

    void parameterNames()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QCOMPARE(SqlText::parameterNames(sql), names);
    }

    void useTarget_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("isUse");
        QTest::newRow("plain") << "USE FIRMA" << "FIRMA" << true;
        QTest::newRow("bracketed") << "USE [FİRMA 2024]" << "FİRMA 2024" << true;
        QTest::newRow("doubled bracket") << "USE [a]]b];" << "a]b" << true;
        QTest::newRow("lower case") << "use firma;" << "firma" << true;
        QTest::newRow("not use") << "UPDATE USE SET A=1" << "" << false;
        QTest::newRow("two statements") << "USE [a]; DROP TABLE X" << "" << false;
    }

    void useTarget()
    {
        QFETCH(QString, sql);
        QFETCH(QString, target);
        QFETCH(bool, isUse);
        const auto found = SqlText::useTarget(sql);
        QCOMPARE(found.has_value(), isUse);
        if (isUse)
            QCOMPARE(*found, target);
    }

    void bracketedDoublesTheClosingBracket()
    {
        QCOMPARE(SqlText::bracketed(QStringLiteral("a]; DROP TABLE X --")), QStringLiteral("[a]]; DROP TABLE X --]"));
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
