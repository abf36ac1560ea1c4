#include "ErrorRaised.h"

#include "ops/IntegerText.h"

#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;

class TestIntegerText : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("one") << "1" << true << 1;
        QTest::newRow("leading blanks") << "  42" << true << 42;
        QTest::newRow("signs") << "-7" << true << -7;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("over max") << "2147483648" << false << 0;
        QTest::newRow("under min") << "-2147483649" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("trailing blank") << "5 " << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("decimal") << "1.5" << false << 0;
    }

    void parse()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(int, value);
        if (valid) {
            QCOMPARE(parseInteger(typed), value);
            return;
        }
        QCOMPARE(errorRaisedBy([&] { parseInteger(typed); }),
                 QStringLiteral("'%1' is not a valid integer value").arg(typed));
    }
};

QTEST_GUILESS_MAIN(TestIntegerText)
#include "tst_integertext.moc"
