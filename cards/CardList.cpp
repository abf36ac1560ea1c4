#include "CardList.h"

#include "db/Command.h"
#include "db/Error.h"
#include "db/SqlText.h"
#include "db/UnitOfWork.h"
#include "ops/Session.h"

namespace zym {

const QString CardList::defaultQuery = QStringLiteral(
        "SELECT "
        "CARKOD,CARUNVAN,CARVERDAIRE,CARVERHESNO,ISNULL(KIMMERNISNO,'')KIMLIKNO,CARMUHTIPI,"
        "CARMUHKODU,"
        "ISNULL((SELECT MUHADI1 FROM MUHHESAP \n"
        "WHERE MUHKOD=CARMUHKODU),'')AS HESALICI,CAREKCHAR1,ISNULL((SELECT MUHADI1 FROM MUHHESAP "
        "WHERE "
        "MUHKOD=CAREKCHAR1),'')AS HESSATICI  FROM CARKART \n"
        "LEFT JOIN KIMLIKLER ON CARKART.CARKOD=KIMLIKLER.KIMKOD WHERE CARKART.CAROZKOD3<>'SK' AND "
        "CARKART.CAROZKOD3<>'IHR' ORDER BY CARKOD");

const QString CardList::secondStatement = QStringLiteral(
        "Kart listesi sorgusu tek bir komut olmalı: ';' işaretinden sonra ikinci bir komut var.");

QString CardList::notAQuery(const QString &word)
{
    return QStringLiteral(
                   "Kart listesi metni yalnızca bir sorgu (SELECT) olabilir: '%1' kullanılamaz.")
            .arg(word);
}

namespace {

// Whole numbers may be stored as decimal or floating point values.
bool isNumber(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// A column whose values are all empty may come back without a kind; it
// reads as any kind.
bool matches(CardList::Kind kind, QMetaType type)
{
    if (!type.isValid())
        return true;
    return kind == CardList::Kind::Integer ? isNumber(type) : type.id() == QMetaType::QString;
}

QString kindName(CardList::Kind kind)
{
    return kind == CardList::Kind::Integer ? QStringLiteral("tamsayı") : QStringLiteral("metin");
}

} // namespace

const QList<CardList::Column> &CardList::columns()
{
    static const QList<Column> list{
        { QStringLiteral("CARKOD"), Kind::Text, 93 },
        { QStringLiteral("CARUNVAN"), Kind::Text, 131 },
        { QStringLiteral("CARVERDAIRE"), Kind::Text, 80 },
        { QStringLiteral("CARVERHESNO"), Kind::Text, 82 },
        { QStringLiteral("KIMLIKNO"), Kind::Text, 67 },
        { QStringLiteral("CARMUHTIPI"), Kind::Integer, 0 },
        { QStringLiteral("CARMUHKODU"), Kind::Text, 90 },
        { QStringLiteral("HESALICI"), Kind::Text, 61 },
        { QStringLiteral("CAREKCHAR1"), Kind::Text, 75 },
        { QStringLiteral("HESSATICI"), Kind::Text, 73 },
    };
    return list;
}

void CardList::load(Session &session, const QString &query)
{
    Statement &list = session.cardList;
    // Loading the list reads; a second statement would run too, and may write.
    if (SqlText::holdsSecondStatement(query)) {
        list.close();
        throw Error(secondStatement);
    }
    if (const QString word = SqlText::beyondOneQuery(query); !word.isEmpty()) {
        list.close();
        throw Error(notAQuery(word));
    }
    list.setText(query);
    {
        UnitOfWork takenBack(session.connection);
        list.open();
        takenBack.rollback();
    }
    const ResultSet &result = list.result();
    for (const Column &column : columns()) {
        const qsizetype index = result.columnIndex(column.name);
        if (index < 0) {
            list.close();
            throw Error(QStringLiteral("%1: '%2' alanı bulunamadı")
                                .arg(list.objectName(), column.name));
        }
        if (!matches(column.kind, result.types.at(index))) {
            list.close();
            throw Error(QStringLiteral("%1: '%2' alanının türü uyuşmuyor: %3 bekleniyordu")
                                .arg(list.objectName(), column.name, kindName(column.kind)));
        }
    }
}

Walk CardList::walk(const OperationContext &context)
{
    Walk cards(context, context.session.cardList);
    cards.skipRepeated(QStringLiteral("CARKOD"));
    return cards;
}

QString CardList::cardNotFound(const QString &listedCode)
{
    return QStringLiteral("Kart bulunamadı: %1. Kart listesini CariKart ile yeniden yükleyin.")
            .arg(listedCode);
}

void CardList::changeCard(const Command &command, const QVariantMap &values,
                          const QString &cardCode)
{
    if (command.executeOnOneRow(values, cardCode) == 0)
        throw Error(cardNotFound(cardCode));
}

QVariantList CardList::readCard(const Command &query, const QVariantMap &values,
                                const QString &cardCode)
{
    const ResultSet card = query.fetchOneRow(values, cardCode);
    if (card.rows.isEmpty())
        throw Error(cardNotFound(cardCode));
    return card.rows.constFirst();
}

} // namespace zym
