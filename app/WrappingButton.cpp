#include "WrappingButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace zym {

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(contents, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(),
                         caption, QPalette::ButtonText);
}

} // namespace zym
