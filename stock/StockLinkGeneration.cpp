#include "StockLinkGeneration.h"

#include "StockAccountSets.h"

#include "db/Command.h"
#include "ops/IntegerText.h"
#include "ops/Session.h"
#include "ops/Walk.h"

#include <QSet>

namespace zym {

namespace {

const QString stockCardQuery = QStringLiteral("select * from STKKART WHERE STKACIK1<>'' ;");
const QString existingItemsQuery =
        QStringLiteral("SELECT SMBITEMNO FROM STKMUHBAGLANTI WHERE SMBSTKKOD=:pKOD");

QSet<int> itemsOf(const Command &existingItems, const QString &stockCode)
{
    QSet<int> items;
    for (const QVariantList &row :
         existingItems.fetch({ { QStringLiteral("pKOD"), stockCode } }).rows)
        items.insert(row.first().toInt());
    return items;
}

} // namespace

void StockLinkGeneration::run(const StockLinkRequest &)
{
    Connection &connection = m_context.session.connection;
    Statement cards(connection, QStringLiteral("ADOQuery5"));
    cards.setText(stockCardQuery);
    cards.open();

    const Command existingItems(connection, existingItemsQuery);
    Walk(m_context, cards).run([&] {
        const QString code = cards.readKey(QStringLiteral("STKKOD"));
        const QList<StockAccountSets::Item> set =
                StockAccountSets::items(readInteger(cards, QStringLiteral("STKGENKDVNO")));
        if (set.isEmpty())
            return UnitResult::done({ .key = code });
        const QSet<int> present = itemsOf(existingItems, code);
        for (const StockAccountSets::Item &item : set) {
            if (!present.contains(item.number))
                Command(connection, item.insert).execute({ { QStringLiteral("pKOD"), code } });
        }
        return UnitResult::done({ .key = code });
    });
}

} // namespace zym
