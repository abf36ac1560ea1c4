#include "app/GridDates.h"

#include <QDateTime>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTest>

using namespace zym;

namespace {

// Reads what the grid would show in a cell.
class ShownText : public GridDates
{
public:
    using GridDates::GridDates;

    QString at(const QModelIndex &index) const
    {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option.text;
    }
};

} // namespace

// Dates in the grids in one Turkish form, with the time only in a column
// that holds one.
class TestGridDates : public QObject
{
    Q_OBJECT

private slots:
    void shown_data()
    {
        QTest::addColumn<QVariantList>("column");
        QTest::addColumn<QString>("first");
        const QDateTime january3(QDate(2024, 1, 3), QTime(0, 0));
        const QDateTime january7(QDate(2024, 1, 7), QTime(0, 0));
        QTest::newRow("a date") << QVariantList{ QDate(2024, 1, 3) } << "03.01.2024";
        QTest::newRow("midnights only") << QVariantList{ january3, january7 } << "03.01.2024";
        QTest::newRow("a NULL among midnights")
                << QVariantList{ january3, QString(), january7 } << "03.01.2024";
        QTest::newRow("one value with a time")
                << QVariantList{ january3, QDateTime(QDate(2024, 1, 7), QTime(13, 45, 10)) }
                << "03.01.2024 00:00:00";
        QTest::newRow("a text stays as it is")
                << QVariantList{ QStringLiteral("2024-01-07") } << "2024-01-07";
    }

    void shown()
    {
        QFETCH(QVariantList, column);
        QFETCH(QString, first);
        QStandardItemModel model(int(column.size()), 1);
        for (int row = 0; row < column.size(); ++row)
            model.setData(model.index(row, 0), column.at(row));
        const ShownText grid(&model);
        QCOMPARE(grid.at(model.index(0, 0)), first);
    }
};

QTEST_MAIN(TestGridDates)
#include "tst_griddates.moc"
