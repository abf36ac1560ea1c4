#include "CardDeletion.h"

#include "CardList.h"

#include "db/Command.h"
#include "db/Tables.h"
#include "ops/Prompter.h"
#include "ops/Session.h"
#include "ops/SingleUnit.h"

namespace zym {

namespace {
const QString cardSql = QStringLiteral("DELETE FROM CARKART WHERE CARKOD=:pCarKod;");
QString sharedRowsSql(const CodeColumn &carrier)
{
    return QStringLiteral("DELETE FROM %1 WHERE %2=:pCarKod%3;")
            .arg(carrier.table, carrier.column, Tables::outsidePayroll(carrier));
}
const QString identitiesSql = sharedRowsSql(Tables::sharedTables().at(0));
const QString addressesSql = sharedRowsSql(Tables::sharedTables().at(1));
} // namespace

const QString CardDeletion::question = QStringLiteral("Kayıt Silinecek");
const QString CardDeletion::noSelection = QStringLiteral("Seçili kart yok.");

void CardDeletion::run(const CardDeletionRequest &request)
{
    Statement &list = m_context.session.cardList;
    if (list.atEnd()) {
        m_context.prompter.notify(noSelection);
        return;
    }
    if (!m_context.prompter.confirm(question, OperatorTexts::warningTitle))
        return;

    Connection &connection = m_context.session.connection;
    const Command deleteCard(connection, cardSql);
    const Command deleteAddresses(connection, addressesSql);
    const Command deleteIdentities(connection, identitiesSql);
    const QString code = list.readKey(QStringLiteral("CARKOD"));
    const QVariantMap card{ { QStringLiteral("pCarKod"), code } };
    runAsOneUnit(m_context, { .key = code }, [&] {
        CardList::changeCard(deleteCard, card, code);
        deleteAddresses.execute(card);
        deleteIdentities.execute(card);
    });
    CardList::load(m_context.session, request.listQuery);
}

} // namespace zym
