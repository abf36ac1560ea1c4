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
        QTest::newRow("line comment") << "SELECT :pA -- it's 10:30\n, :pB" << QStringList{"pA", "pB"};
        QTest::newRow("block comment") << "SELECT /* :pNo, it's */ :pA" << QStringList{"pA"};
        QTest::newRow("comment marks in a literal") << "SELECT '--', :pA, '/*', :pB" << QStringList{"pA", "pB"};
    }

    void parameterNames()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QCOMPARE(SqlText::parameterNames(sql), names);
    }

    void bracketedDoublesTheClosingBracket()
    {
        QCOMPARE(SqlText::bracketed(QStringLiteral("a]; DROP TABLE X --")), QStringLiteral("[a]]; DROP TABLE X --]"));
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
