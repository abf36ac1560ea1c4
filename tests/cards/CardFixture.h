#pragma once

#include "TestServer.h"

#include "cards/CardCodePropagation.h"

#include <QStringList>

namespace zym::test {

struct CardRow
{
    QString code;
    QString title;
    int type;
    QString specialCode = QStringLiteral("");
};

// Seeds cards into a company file, each with one identity row, one address
// row and one row in every movement table, plus rows of a card "DIGER" the
// operations must never touch.
inline void seedCards(EmbeddedDatabase &db, const QList<CardRow> &cards)
{
    QList<QVariantList> cardRows;
    for (const CardRow &card : cards) {
        cardRows << QVariantList{card.code, card.title, card.type, card.specialCode, QString(""), QString("")};
        db.insert(QStringLiteral("KIMLIKLER"), {QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO"), QStringLiteral("KIMMODUL")},
                  {{card.code, QStringLiteral("TC-") + card.code, 1}});
    }
    db.insert(QStringLiteral("CARKART"),
              {QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"), QStringLiteral("CARMUHTIPI"), QStringLiteral("CAROZKOD3"),
               QStringLiteral("CARMUHKODU"), QStringLiteral("CAREKCHAR1")},
              cardRows);
    const auto &steps = CardCodePropagation::steps();
    for (qsizetype i = 1; i < steps.size(); ++i) { // the card rows are above
        QList<QVariantList> rows{{QStringLiteral("DIGER")}};
        for (const CardRow &card : cards) {
            if (steps.at(i).table != QStringLiteral("KIMLIKLER"))
                rows << QVariantList{card.code};
        }
        db.insert(steps.at(i).table, {steps.at(i).column}, rows);
    }
}

// The codes a table's code column holds, sorted.
inline QStringList codesIn(EmbeddedDatabase &db, const QString &table, const QString &column)
{
    QStringList codes;
    for (const auto &row : db.select(QStringLiteral("SELECT %2 FROM %1 ORDER BY %2").arg(table, column)))
        codes << row.first().toString();
    return codes;
}

} // namespace zym::test
