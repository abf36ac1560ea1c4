#include "db/CodePage.h"

#include <QTest>

using zym::CodePage;

// Which texts a database's code page holds, as the tool decides before it
// sends a text parameter.
class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void holds_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("held");
        QTest::newRow("Turkish letters in 1254") << 1254 << "ĞğİıŞşÇçÖöÜü" << true;
        QTest::newRow("Turkish letters in 1252") << 1252 << "Ağaç İnşaat" << false;
        QTest::newRow("Latin-1 letters 1254 lacks") << 1254 << "Ð" << false;
        QTest::newRow("Latin-1 letters in 1252") << 1252 << "ÐÝÞðýþ Café" << true;
        QTest::newRow("euro and quotes in 1254") << 1254 << "€ “x” …" << true;
        QTest::newRow("Ž in 1252") << 1252 << "Žž" << true;
        QTest::newRow("Ž in 1254") << 1254 << "Ž" << false;
        QTest::newRow("Greek in 1254") << 1254 << "Ω" << false;
        QTest::newRow("ASCII in a page without a table") << 1251 << "ABC-01 x" << true;
        QTest::newRow("beyond ASCII in a page without a table") << 1251 << "Ж" << false;
        QTest::newRow("anything in UTF-8") << 65001 << "Ω Ж Ş 😀" << true;
        QTest::newRow("empty") << 1252 << "" << true;
    }

    void holds()
    {
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QFETCH(bool, held);
        QCOMPARE(CodePage(codePage).holds(text), held);
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
