#include "CodeMask.h"

#include "db/Error.h"

#include <QList>

namespace zym {

namespace {

struct Piece
{
    QString literal; // copied as it is
    QChar place = u'\0'; // '0' or '#' for a digit place
};

QList<Piece> parse(const QString &picture)
{
    QList<Piece> pieces;
    for (qsizetype pos = 0; pos < picture.size(); ++pos) {
        const QChar c = picture.at(pos);
        if (c == u'0' || c == u'#') {
            pieces << Piece{ {}, c };
        } else if (c == u'\'' || c == u'"') {
            const qsizetype close = picture.indexOf(c, pos + 1);
            const qsizetype end = close < 0 ? picture.size() : close;
            pieces << Piece{ picture.mid(pos + 1, end - pos - 1) };
            pos = end;
        } else {
            pieces << Piece{ QString(c) };
        }
    }
    return pieces;
}

} // namespace

QString CodeMask::render(const QString &picture, qint32 number)
{
    const QString sign = number < 0 ? QStringLiteral("-") : QString();
    // Zero has no significant digit: "#" places stay empty for it.
    const QString digits = number == 0 ? QString() : QString::number(qAbs(qint64(number)));
    if (picture.isEmpty())
        return number == 0 ? QStringLiteral("0") : sign + digits;

    const QList<Piece> pieces = parse(picture);
    const qsizetype places = std::count_if(pieces.begin(), pieces.end(),
                                           [](const Piece &p) { return p.place != u'\0'; });
    const qsizetype extra = qMax<qsizetype>(0, digits.size() - places);

    QString result;
    qsizetype placeIndex = 0;
    for (const Piece &piece : pieces) {
        if (piece.place == u'\0') {
            result += piece.literal;
            continue;
        }
        if (placeIndex == 0)
            result += digits.left(extra);
        // Places take the digits from the right: the last place the units.
        const qsizetype fromRight = places - 1 - placeIndex++;
        if (fromRight < digits.size())
            result += digits.at(digits.size() - 1 - fromRight);
        else if (piece.place == u'0')
            result += u'0';
    }
    if (places == 0)
        result += digits;
    return sign + result;
}

QString CodeMask::renderCode(const QString &picture, qint32 number)
{
    const QString code = render(picture, number);
    if (code.trimmed().isEmpty())
        throw Error(QStringLiteral("'%1' biçimi %2 sayısından boş bir kod yapıyor; kod boş olamaz.")
                            .arg(picture)
                            .arg(number));
    return code;
}

} // namespace zym
