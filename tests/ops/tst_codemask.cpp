#include "ErrorRaised.h"

#include "ops/CodeMask.h"

#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;

class TestCodeMask : public QObject
{
    Q_OBJECT

private slots:
    void render_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("code");
        QTest::newRow("0000 7") << "0000" << 7 << "0007";
        QTest::newRow("0000 123") << "0000" << 123 << "0123";
        QTest::newRow("0000 12345") << "0000" << 12345 << "12345";
        QTest::newRow("0000 1") << "0000" << 1 << "0001";
        QTest::newRow("0000 10") << "0000" << 10 << "0010";
        QTest::newRow("0000 999") << "0000" << 999 << "0999";
        QTest::newRow("0000 10000") << "0000" << 10000 << "10000";
        QTest::newRow("0000 0") << "0000" << 0 << "0000";
        QTest::newRow("C0000 7") << "C0000" << 7 << "C0007";
        QTest::newRow("C0000 123456") << "C0000" << 123456 << "C123456";
        QTest::newRow("# places") << "####" << 42 << "42";
        QTest::newRow("# and 0") << "##00" << 5 << "05";
        QTest::newRow("# zero") << "#" << 0 << "";
        QTest::newRow("literal after") << "000-A" << 3 << "003-A";
        QTest::newRow("single quotes") << "'M0'00" << 4 << "M004";
        QTest::newRow("double quotes") << "\"K#\"000" << 4 << "K#004";
        QTest::newRow("negative") << "0000" << -7 << "-0007";
        QTest::newRow("negative prefixed") << "C000" << -12 << "-C012";
        QTest::newRow("empty picture") << "" << 42 << "42";
        QTest::newRow("empty picture zero") << "" << 0 << "0";
        QTest::newRow("empty picture negative") << "" << -5 << "-5";
        QTest::newRow("no digit places") << "ABC" << 5 << "ABC5";
        QTest::newRow("minimum") << "0" << int(-2147483648LL) << "-2147483648";
    }

    void render()
    {
        QFETCH(QString, picture);
        QFETCH(int, number);
        QFETCH(QString, code);
        QCOMPARE(CodeMask::render(picture, number), code);
    }

    // A code is refused where the picture leaves nothing of it but blanks.
    void codeNamesSomething_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("error"); // empty: the code is made
        QTest::newRow("# zero") << "#" << 0
                                << "'#' biçimi 0 sayısından boş bir kod yapıyor; kod boş olamaz.";
        QTest::newRow("blanks and # zero")
                << "  ##" << 0 << "'  ##' biçimi 0 sayısından boş bir kod yapıyor; kod boş olamaz.";
        QTest::newRow("# one") << "#" << 1 << "";
        QTest::newRow("0 zero") << "0" << 0 << "";
        QTest::newRow("literal and # zero") << "K#" << 0 << "";
    }

    void codeNamesSomething()
    {
        QFETCH(QString, picture);
        QFETCH(int, number);
        QFETCH(QString, error);
        const QString refused = errorRaisedBy([&] {
            QCOMPARE(CodeMask::renderCode(picture, number), CodeMask::render(picture, number));
        });
        QCOMPARE(refused, error);
    }
};

QTEST_GUILESS_MAIN(TestCodeMask)
#include "tst_codemask.moc"
