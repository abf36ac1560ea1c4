#pragma once

#include <QLayout>
#include <QList>

namespace zym {

// Places widgets where the window's design puts them, in pixels at 96 dpi
// (Qt's high-dpi scaling does the rest). The design also fixes the size of
// the parent; when the parent is larger or smaller, a widget anchored to its
// right or bottom edge keeps its distance to that edge, stretching when it is
// anchored to the opposite edge too, moving otherwise.
class AnchorLayout : public QLayout
{
public:
    AnchorLayout(const QSize &designSize, QWidget *parent);
    ~AnchorLayout() override;

    void place(QWidget *widget, const QRect &designPlace,
               Qt::Edges anchors = Qt::LeftEdge | Qt::TopEdge);

    // Items added the generic way keep their current place, anchored top-left.
    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

    // Where an item lies when its parent has `size`.
    static QRect anchored(const QRect &designPlace, Qt::Edges anchors, const QSize &designSize,
                          const QSize &size);

private:
    struct Entry
    {
        QLayoutItem *item;
        QRect designPlace;
        Qt::Edges anchors;
    };

    QSize m_designSize;
    QList<Entry> m_entries;
};

} // namespace zym
