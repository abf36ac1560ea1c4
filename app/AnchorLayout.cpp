#include "AnchorLayout.h"

#include <QWidget>

namespace zym {

AnchorLayout::AnchorLayout(const QSize &designSize, QWidget *parent)
    : QLayout(parent), m_designSize(designSize)
{
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout()
{
    for (const Entry &entry : std::as_const(m_entries))
        delete entry.item;
}

void AnchorLayout::place(QWidget *widget, const QRect &designPlace, Qt::Edges anchors)
{
    addChildWidget(widget);
    widget->setGeometry(designPlace);
    m_entries.append({ new QWidgetItem(widget), designPlace, anchors });
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem *item)
{
    m_entries.append({ item, item->geometry(), Qt::LeftEdge | Qt::TopEdge });
    invalidate();
}

QLayoutItem *AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index).item : nullptr;
}

QLayoutItem *AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return nullptr;
    QLayoutItem *item = m_entries.takeAt(index).item;
    invalidate();
    return item;
}

int AnchorLayout::count() const
{
    return int(m_entries.size());
}

QSize AnchorLayout::sizeHint() const
{
    return m_designSize;
}

void AnchorLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    for (const Entry &entry : std::as_const(m_entries)) {
        const QRect place = anchored(entry.designPlace, entry.anchors, m_designSize, rect.size())
                                    .translated(rect.topLeft());
        // Straight to the widget: a layout item would cap the height of
        // buttons and edits at their size hint, and the design's are taller.
        if (QWidget *widget = entry.item->widget())
            widget->setGeometry(place);
        else
            entry.item->setGeometry(place);
    }
}

QRect AnchorLayout::anchored(const QRect &designPlace, Qt::Edges anchors, const QSize &designSize,
                             const QSize &size)
{
    const int dx = size.width() - designSize.width();
    const int dy = size.height() - designSize.height();
    QRect place = designPlace;
    if (anchors.testFlag(Qt::RightEdge)) {
        if (anchors.testFlag(Qt::LeftEdge))
            place.setWidth(place.width() + dx);
        else
            place.translate(dx, 0);
    }
    if (anchors.testFlag(Qt::BottomEdge)) {
        if (anchors.testFlag(Qt::TopEdge))
            place.setHeight(place.height() + dy);
        else
            place.translate(0, dy);
    }
    return place;
}

} // namespace zym
