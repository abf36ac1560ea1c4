#include "IntegerText.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <limits>

namespace zym {

qint32 parseInteger(const QString &typed)
{
    const auto invalid = [&typed] {
        return Error(QStringLiteral("'%1' is not a valid integer value").arg(typed));
    };

    qsizetype pos = 0;
    while (pos < typed.size() && typed.at(pos) == u' ')
        ++pos;
    bool negative = false;
    if (pos < typed.size() && (typed.at(pos) == u'-' || typed.at(pos) == u'+'))
        negative = typed.at(pos++) == u'-';
    if (pos == typed.size())
        throw invalid();

    qint64 magnitude = 0;
    const qint64 limit = qint64(std::numeric_limits<qint32>::max()) + (negative ? 1 : 0);
    for (; pos < typed.size(); ++pos) {
        const QChar c = typed.at(pos);
        if (c < u'0' || c > u'9')
            throw invalid();
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > limit)
            throw invalid();
    }
    return qint32(negative ? -magnitude : magnitude);
}

qint32 readInteger(const Statement &list, const QString &column)
{
    const QVariant &value = list.value(column);
    const QString text = value.isNull() ? QString() : value.toString();
    return text.isEmpty() ? 0 : parseInteger(text);
}

} // namespace zym
