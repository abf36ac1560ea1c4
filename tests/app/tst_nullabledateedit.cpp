#include "app/NullableDateEdit.h"

#include <QAction>
#include <QCalendarWidget>
#include <QTest>

using namespace zym;

using OptionalDate = std::optional<QDate>;
Q_DECLARE_METATYPE(OptionalDate)

// The date editor that may hold no date.
class TestNullableDateEdit : public QObject
{
    Q_OBJECT

private slots:
    void startsEmpty()
    {
        NullableDateEdit edit;
        QCOMPARE(edit.text(), QString());
        QCOMPARE(edit.date(), OptionalDate());
    }

    void typed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<OptionalDate>("date");
        QTest::newRow("full date") << "05.01.2024"
                                   << "05.01.2024" << OptionalDate(QDate(2024, 1, 5));
        QTest::newRow("short day and month") << "5.1.2024"
                                             << "5.1.2024" << OptionalDate(QDate(2024, 1, 5));
        QTest::newRow("leap day") << "29.02.2024"
                                  << "29.02.2024" << OptionalDate(QDate(2024, 2, 29));
        QTest::newRow("no such day") << "31.02.2024"
                                     << "31.02.2024" << OptionalDate();
        QTest::newRow("half typed") << "05.01."
                                    << "05.01." << OptionalDate();
        QTest::newRow("letters refused") << "ab"
                                         << "" << OptionalDate();
        QTest::newRow("letters after a date refused")
                << "05.01.2024x"
                << "05.01.2024" << OptionalDate(QDate(2024, 1, 5));
    }

    void typed()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(OptionalDate, date);
        NullableDateEdit edit;
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), shown);
        QCOMPARE(edit.date(), date);
    }

    void unfinishedTextIsDroppedOnLeaving()
    {
        NullableDateEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("31.02.2024"));
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(edit.text(), QString());
    }

    void canBeEmptiedAgain()
    {
        NullableDateEdit edit;
        edit.setDate(QDate(2024, 3, 1));
        QCOMPARE(edit.text(), QStringLiteral("01.03.2024"));
        QCOMPARE(edit.date(), OptionalDate(QDate(2024, 3, 1)));
        edit.setDate(std::nullopt);
        QCOMPARE(edit.date(), OptionalDate());
        edit.setDate(QDate(2024, 3, 1));
        edit.clear(); // what the clear button does
        QCOMPARE(edit.date(), OptionalDate());
    }

    void datePickedFromTheCalendar()
    {
        NullableDateEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QList<QAction *> actions = edit.actions();
        QVERIFY(!actions.isEmpty());
        actions.constLast()->trigger();
        auto *calendar = edit.findChild<QCalendarWidget *>();
        QVERIFY(calendar);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
        emit calendar->clicked(QDate(2023, 12, 31));
        QCOMPARE(edit.date(), OptionalDate(QDate(2023, 12, 31)));
        QVERIFY(!calendar->isVisible());
    }
};

QTEST_MAIN(TestNullableDateEdit)
#include "tst_nullabledateedit.moc"
