#include "IntegerText.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <QRegularExpression>

#include <cmath>
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

namespace {

// The digits of a whole number however the column stores it: a floating
// point value as a plain number (never "1e+05"), a decimal's zero fraction
// ("100000.00") dropped. Anything else is left for parseInteger to refuse.
QString wholeNumberText(const QVariant &value)
{
    const int type = value.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::trunc(number) && std::abs(number) < 1e15)
            return QString::number(number, 'f', 0);
        return value.toString();
    }
    static const QRegularExpression zeroFraction(QStringLiteral("^(\\s*[-+]?[0-9]+)\\.0*$"));
    const QString text = value.toString();
    const QRegularExpressionMatch match = zeroFraction.match(text);
    return match.hasMatch() ? match.captured(1) : text;
}

qint32 integerOf(const QVariant &value)
{
    const QString text = value.isNull() ? QString() : wholeNumberText(value);
    return text.isEmpty() ? 0 : parseInteger(text);
}

} // namespace

qint32 readInteger(const Statement &list, const QString &column)
{
    return integerOf(list.value(column));
}

qint32 readIntegerKey(const Statement &list, const QString &column)
{
    return integerOf(list.keyValue(column));
}

} // namespace zym
