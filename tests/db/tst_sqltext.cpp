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
        QTest::newRow("two") << "UPDATE T SET A=:pKod WHERE B=:pCarKod;"
                             << QStringList{ "pKod", "pCarKod" };
        QTest::newRow("repeated once") << "SELECT :pA, :pB, :pA" << QStringList{ "pA", "pB" };
        QTest::newRow("quoted skipped") << "SELECT ':x', \":y\", [a:b], :pZ" << QStringList{ "pZ" };
        QTest::newRow("doubled quote") << "SELECT 'it''s :no', :pYes" << QStringList{ "pYes" };
        QTest::newRow("bracket with ]]") << "SELECT [a]]:b], :pC" << QStringList{ "pC" };
        QTest::newRow("none") << "SELECT 1" << QStringList();
        QTest::newRow("lone colon") << "SELECT a : b" << QStringList();
        QTest::newRow("line comment")
                << "SELECT :pA -- it's 10:30\n, :pB" << QStringList{ "pA", "pB" };
        QTest::newRow("block comment") << "SELECT /* :pNo, it's */ :pA" << QStringList{ "pA" };
        QTest::newRow("comment marks in a literal")
                << "SELECT '--', :pA, '/*', :pB" << QStringList{ "pA", "pB" };
    }

    void parameterNames()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QCOMPARE(SqlText::parameterNames(sql), names);
    }

    void positional_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("name used twice fills two places")
                << "UPDATE T SET A=:pYeni WHERE A=:pEski OR B=:pEski"
                << "UPDATE T SET A=? WHERE A=? OR B=?" << QStringList{ "pYeni", "pEski", "pEski" };
        QTest::newRow("literals and brackets kept")
                << "SELECT ':x', \":y\", [a:b]]c], 'it''s', :pZ"
                << "SELECT ':x', \":y\", [a:b]]c], 'it''s', ?" << QStringList{ "pZ" };
        QTest::newRow("none") << "SELECT a : b"
                              << "SELECT a : b" << QStringList();
    }

    // The text the driver prepares and which value goes to each of its places.
    void positional()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        const SqlText::Positional positional = SqlText::positional(sql);
        QCOMPARE(positional.text, text);
        QCOMPARE(positional.names, names);
    }

    void changeOf_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("table");
        using Kind = SqlText::Change::Kind;
        QTest::newRow("update") << "UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"
                                << int(Kind::Update) << "CARKART";
        QTest::newRow("insert with bracketed columns")
                << "INSERT INTO STKMUHBAGLANTI([SMBSTKKOD],[SMBITEMNO])VALUES(:pKOD,1)"
                << int(Kind::Insert) << "STKMUHBAGLANTI";
        QTest::newRow("delete from")
                << "DELETE FROM MUHHESAP WHERE MUHKOD=:pKod;" << int(Kind::Delete) << "MUHHESAP";
        QTest::newRow("delete without from, lower case")
                << "  delete muhhesap where 1=0" << int(Kind::Delete) << "muhhesap";
        QTest::newRow("bracketed table") << "UPDATE [A]]B] SET X=1" << int(Kind::Update) << "A]B";
        QTest::newRow("insert without into") << "INSERT T(A) VALUES(1)" << int(Kind::Insert) << "T";
        QTest::newRow("query") << "SELECT * FROM CARKART" << int(Kind::None) << "";
        QTest::newRow("pragma") << "PRAGMA foreign_keys=ON" << int(Kind::None) << "";
        QTest::newRow("verb alone") << "UPDATE" << int(Kind::None) << "";
        QTest::newRow("temporary table")
                << "INSERT INTO #KOD_ESLEME(ESKI,YENI) VALUES(:a,:b)" << int(Kind::None) << "";
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

    void columnOf_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("column");
        QTest::newRow("set") << "UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"
                             << "pKod"
                             << "CARKOD";
        QTest::newRow("where, blanks around the sign")
                << "UPDATE CARKART SET CARUNVAN=:pUnvan WHERE CARKOD = :pCarKod"
                << "pCarKod"
                << "CARKOD";
        QTest::newRow("inside a function")
                << "UPDATE CARKART SET CAREKCHAR1=RTRIM(:pKod),CARMUHKODU='' WHERE CARKOD=:pCarKod"
                << "pKod"
                << "CAREKCHAR1";
        QTest::newRow("alias and not-equal") << "SELECT 1 FROM CARHAR h WHERE h.CARKOD<>:pCarKod"
                                             << "pCarKod"
                                             << "CARKOD";
        QTest::newRow("a longer name sharing the start") << "UPDATE T SET A=:pKod2, B=:pKod"
                                                         << "pKod"
                                                         << "B";
        QTest::newRow("insert, by place in the lists")
                << "INSERT INTO MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG])"
                   "VALUES(RTRIM(:pKod),RTRIM(:pAdi),1)"
                << "pAdi"
                << "MUHADI1";
        QTest::newRow("insert, blanks and no brackets")
                << "INSERT INTO CARKART (CARKOD, CARUNVAN) VALUES (:pKod, :pUnvan)"
                << "pUnvan"
                << "CARUNVAN";
        QTest::newRow("in a comment only") << "SELECT 1 -- KOD=:pKod\nWHERE X=1"
                                           << "pKod"
                                           << "";
        QTest::newRow("compared with no column") << "SELECT :pKod"
                                                 << "pKod"
                                                 << "";
    }

    // A refusal names the column its value was meant for.
    void columnOf()
    {
        QFETCH(QString, sql);
        QFETCH(QString, name);
        QFETCH(QString, column);
        QCOMPARE(SqlText::columnOf(sql, name), column);
    }

    void secondStatement_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("second");
        QTest::newRow("one") << "SELECT * FROM CARKART" << false;
        QTest::newRow("ended by a semicolon") << "SELECT * FROM CARKART;" << false;
        QTest::newRow("blanks and lines after it") << "SELECT 1; \n\t " << false;
        QTest::newRow("comments after it") << "SELECT 1; -- son\n /* ; DELETE FROM T */" << false;
        QTest::newRow("a second statement") << "SELECT 1;DELETE FROM CARKART" << true;
        QTest::newRow("after blanks and a comment")
                << "SELECT 1; /* x */ DELETE FROM CARKART" << true;
        QTest::newRow("a literal after it") << "SELECT 1;'x'" << true;
        QTest::newRow("a bracketed name after it") << "SELECT 1;[T]" << true;
        QTest::newRow("semicolon in a literal") << "SELECT 'a;DELETE FROM T' FROM T" << false;
        QTest::newRow("semicolon in brackets") << "SELECT [a;DELETE FROM T] FROM T" << false;
        QTest::newRow("semicolon in a comment") << "SELECT 1 -- ; DELETE FROM T\nFROM T" << false;
        QTest::newRow("two ends") << "SELECT 1;;" << false;
    }

    void secondStatement()
    {
        QFETCH(QString, sql);
        QFETCH(bool, second);
        QCOMPARE(SqlText::holdsSecondStatement(sql), second);
    }

    void commentsBecomeBlanks_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("read");
        QTest::newRow("line comment") << "SELECT 1 -- saat 10:30\nFROM T"
                                      << "SELECT 1  \nFROM T";
        QTest::newRow("block comment") << "SELECT /* :pKod */ 1"
                                       << "SELECT   1";
        QTest::newRow("comment at the end") << "SELECT 1; -- son"
                                            << "SELECT 1;  ";
        QTest::newRow("comment marks in literals and brackets")
                << "SELECT '--', \"/*\", [a--b] FROM T"
                << "SELECT '--', \"/*\", [a--b] FROM T";
    }

    void commentsBecomeBlanks()
    {
        QFETCH(QString, sql);
        QFETCH(QString, read);
        QCOMPARE(SqlText::withoutComments(sql), read);
    }

    void bracketedDoublesTheClosingBracket()
    {
        QCOMPARE(SqlText::bracketed(QStringLiteral("a]; DROP TABLE X --")),
                 QStringLiteral("[a]]; DROP TABLE X --]"));
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
