#include "CardDeletion.h"

#include "CardCodePropagation.h"
#include "CardList.h"

#include "db/Command.h"
#include "db/Error.h"
#include "db/Session.h"
#include "ops/Prompter.h"
#include "ops/SingleUnit.h"

namespace zym {

namespace {
const QString cardSql = QStringLiteral("DELETE FROM CARKART WHERE CARKOD=:pCarKod;");
const QString addressesSql =
    QStringLiteral("DELETE FROM ADRESLER WHERE ADRKOD1=:pCarKod AND (ADRMODUL IS NULL OR ADRMODUL<>8);");
const QString identitiesSql =
    QStringLiteral("DELETE FROM KIMLIKLER WHERE KIMKOD=:pCarKod AND (KIMMODUL IS NULL OR KIMMODUL<>8);");
}

const QString CardDeletion::question = QStringLiteral("Kayıt Silinecek");
const QString CardDeletion::noSelection = QStringLiteral("Seçili kart yok.");

void CardDeletion::run(const CardDeletionRequest &request)
{
    Statement &list = m_context.session.ADOQuery1;
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
    const QVariantMap card{{QStringLiteral("pCarKod"), code}};
    runAsOneUnit(m_context, {.key = code}, [&] {
        if (deleteCard.executeOnOneRow(card, code) == 0)
            throw Error(CardCodePropagation::cardNotFound(code));
        deleteAddresses.execute(card);
        deleteIdentities.execute(card);
    });
    CardList::load(m_context.session, request.listQuery);
}

} // namespace zym
