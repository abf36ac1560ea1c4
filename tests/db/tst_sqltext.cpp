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

    void changeOf_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("table");
        using Kind = SqlText::Change::Kind;
        QTest::newRow("update") << "UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;" << int(Kind::Update) << "CARKART";
        QTest::newRow("insert with bracketed columns")
            << "INSERT INTO STKMUHBAGLANTI([SMBSTKKOD],[SMBITEMNO])VALUES(:pKOD,1)" << int(Kind::Insert) << "STKMUHBAGLANTI";
        QTest::newRow("delete from") << "DELETE FROM MUHHESAP WHERE MUHKOD=:pKod;" << int(Kind::Delete) << "MUHHESAP";
        QTest::newRow("delete without from, lower case") << "  delete muhhesap where 1=0" << int(Kind::Delete) << "muhhesap";
        QTest::newRow("bracketed table") << "UPDATE [A]]B] SET X=1" << int(Kind::Update) << "A]B";
        QTest::newRow("insert without into") << "INSERT T(A) VALUES(1)" << int(Kind::Insert) << "T";
        QTest::newRow("query") << "SELECT * FROM CARKART" << int(Kind::None) << "";
        QTest::newRow("pragma") << "PRAGMA foreign_keys=ON" << int(Kind::None) << "";
        QTest::newRow("verb alone") << "UPDATE" << int(Kind::None) << "";
    }

    void changeOf()
    {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QFETCH(QString, table);
        const SqlText::Change change = SqlText::changeOf(sql);
        QCOMPARE(int(change.kind), kind);
        QCOMPARE(change.table, table);
    }

    void bracketedDoublesTheClosingBracket()
    {
        QCOMPARE(SqlText::bracketed(QStringLiteral("a]; DROP TABLE X --")), QStringLiteral("[a]]; DROP TABLE X --]"));
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
