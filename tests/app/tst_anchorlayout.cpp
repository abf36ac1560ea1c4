#include "app/AnchorLayout.h"

#include <QTest>
#include <QWidget>

using namespace zym;

Q_DECLARE_METATYPE(Qt::Edges)

// Design places and anchoring to the parent's edges.
class TestAnchorLayout : public QObject
{
    Q_OBJECT

private slots:
    void anchored_data()
    {
        QTest::addColumn<Qt::Edges>("anchors");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("place");
        const Qt::Edges topLeft = Qt::LeftEdge | Qt::TopEdge;
        const Qt::Edges all = topLeft | Qt::RightEdge | Qt::BottomEdge;
        // Design: a 100 x 50 parent, the item at 10, 5, 60 x 20.
        QTest::newRow("design size") << all << QSize(100, 50) << QRect(10, 5, 60, 20);
        QTest::newRow("top-left stays") << topLeft << QSize(130, 80) << QRect(10, 5, 60, 20);
        QTest::newRow("all edges stretch") << all << QSize(130, 80) << QRect(10, 5, 90, 50);
        QTest::newRow("all edges shrink") << all << QSize(90, 40) << QRect(10, 5, 50, 10);
        QTest::newRow("left, top, right")
                << (topLeft | Qt::RightEdge) << QSize(130, 80) << QRect(10, 5, 90, 20);
        QTest::newRow("right only moves")
                << (Qt::TopEdge | Qt::RightEdge) << QSize(130, 80) << QRect(40, 5, 60, 20);
        QTest::newRow("top, right, bottom") << (Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge)
                                            << QSize(130, 80) << QRect(40, 5, 60, 50);
        QTest::newRow("bottom only moves")
                << (Qt::LeftEdge | Qt::BottomEdge) << QSize(130, 80) << QRect(10, 35, 60, 20);
    }

    void anchored()
    {
        QFETCH(Qt::Edges, anchors);
        QFETCH(QSize, size);
        QFETCH(QRect, place);
        QCOMPARE(AnchorLayout::anchored(QRect(10, 5, 60, 20), anchors, QSize(100, 50), size),
                 place);
    }

    // Heights the design gives beyond a widget's size hint are kept, and
    // resizing the parent applies the anchors.
    void placesWidgetsAndFollowsTheParent()
    {
        QWidget parent;
        auto *layout = new AnchorLayout(QSize(300, 200), &parent);
        auto *tall = new QWidget;
        auto *grid = new QWidget;
        layout->place(tall, QRect(5, 6, 120, 48));
        layout->place(grid, QRect(-4, -6, 250, 150),
                      Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
        QCOMPARE(tall->parentWidget(), &parent);
        QCOMPARE(tall->geometry(), QRect(5, 6, 120, 48));

        parent.resize(340, 260);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QCOMPARE(tall->geometry(), QRect(5, 6, 120, 48));
        QCOMPARE(grid->geometry(), QRect(-4, -6, 290, 210));
        QCOMPARE(layout->count(), 2);
    }
};

QTEST_MAIN(TestAnchorLayout)
#include "tst_anchorlayout.moc"
