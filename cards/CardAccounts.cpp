#include "CardAccounts.h"

#include "CardList.h"

#include "db/Error.h"

namespace zym {

namespace {
const QString removeSql = QStringLiteral("DELETE FROM MUHHESAP WHERE MUHKOD=RTRIM(:pKod);");
const QString insertSql = QStringLiteral(
        "INSERT INTO "
        "MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG])VALUES(RTRIM(:pKod),RTRIM(:pAdi),1);");
const QString insertWithTaxIdsSql = QStringLiteral(
        "INSERT INTO MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG],[MUHVERGIKIMLIKNO],[MUHTCKIMLIKNO])"
        "VALUES(RTRIM(:pKod),RTRIM(:pAdi),1,RTRIM(:pVNO),RTRIM(:pTCNO));");
const QString existsSql =
        QStringLiteral("SELECT COUNT(*) AS SAYI FROM MUHHESAP WHERE MUHKOD=RTRIM(:pKod)");
// A link carries the code exactly as the account row stores it: trimmed.
const QString customerLinkSql = QStringLiteral(
        "UPDATE CARKART SET CARMUHKODU=RTRIM(:pKod),CAREKCHAR1='' WHERE CARKOD=:pCarKod;");
const QString supplierLinkSql = QStringLiteral(
        "UPDATE CARKART SET CAREKCHAR1=RTRIM(:pKod),CARMUHKODU='' WHERE CARKOD=:pCarKod;");
const QString doubleLinkSql =
        QStringLiteral("UPDATE CARKART SET CARMUHKODU=RTRIM(:pKod),CAREKCHAR1=RTRIM(:pKod2) WHERE "
                       "CARKOD=:pCarKod;");
const QString customerColumnSql =
        QStringLiteral("UPDATE CARKART SET CARMUHKODU=RTRIM(:pKod) WHERE CARKOD=:pCarKod;");
const QString supplierColumnSql =
        QStringLiteral("UPDATE CARKART SET CAREKCHAR1=RTRIM(:pKod) WHERE CARKOD=:pCarKod;");

void updateCard(const Command &update, const QString &cardCode, QVariantMap values)
{
    values.insert(QStringLiteral("pCarKod"), cardCode);
    CardList::changeCard(update, values, cardCode);
}

} // namespace

QStringList AccountCodes::given() const
{
    QStringList codes;
    for (const QString &code : { customer, supplier }) {
        if (!code.isEmpty())
            codes << code;
    }
    return codes;
}

const QString CardAccounts::customerPrefix = QStringLiteral("120 ");
const QString CardAccounts::supplierPrefix = QStringLiteral("320 ");

CardAccounts::CardAccounts(Connection &connection)
    : m_remove(connection, removeSql),
      m_insert(connection, insertSql),
      m_insertWithTaxIds(connection, insertWithTaxIdsSql),
      m_exists(connection, existsSql),
      m_customerLink(connection, customerLinkSql),
      m_supplierLink(connection, supplierLinkSql),
      m_doubleLink(connection, doubleLinkSql),
      m_customerColumn(connection, customerColumnSql),
      m_supplierColumn(connection, supplierColumnSql)
{
}

void CardAccounts::remove(const QString &accountCode) const
{
    m_remove.executeOnOneRow({ { QStringLiteral("pKod"), accountCode } }, accountCode);
}

void CardAccounts::insert(const QString &accountCode, const QString &name) const
{
    m_insert.execute({ { QStringLiteral("pKod"), accountCode }, { QStringLiteral("pAdi"), name } });
}

void CardAccounts::insertWithTaxIds(const QString &accountCode, const QString &name,
                                    const QString &taxNumber, const QString &identityNumber) const
{
    m_insertWithTaxIds.execute({ { QStringLiteral("pKod"), accountCode },
                                 { QStringLiteral("pAdi"), name },
                                 { QStringLiteral("pVNO"), taxNumber },
                                 { QStringLiteral("pTCNO"), identityNumber } });
}

bool CardAccounts::exists(const QString &accountCode) const
{
    const ResultSet result = m_exists.fetch({ { QStringLiteral("pKod"), accountCode } });
    return !result.rows.isEmpty() && result.rows.constFirst().constFirst().toInt() != 0;
}

void CardAccounts::linkCustomer(const QString &cardCode, const QString &customerAccount) const
{
    updateCard(m_customerLink, cardCode, { { QStringLiteral("pKod"), customerAccount } });
}

void CardAccounts::linkSupplier(const QString &cardCode, const QString &supplierAccount) const
{
    updateCard(m_supplierLink, cardCode, { { QStringLiteral("pKod"), supplierAccount } });
}

void CardAccounts::linkBoth(const QString &cardCode, const QString &customerAccount,
                            const QString &supplierAccount) const
{
    updateCard(m_doubleLink, cardCode,
               { { QStringLiteral("pKod"), customerAccount },
                 { QStringLiteral("pKod2"), supplierAccount } });
}

void CardAccounts::link(int type, const QString &cardCode, const AccountCodes &codes) const
{
    if (type == customerType)
        linkCustomer(cardCode, codes.customer);
    else if (type == supplierType)
        linkSupplier(cardCode, codes.supplier);
    else
        linkBoth(cardCode, codes.customer, codes.supplier);
}

void CardAccounts::setCustomer(const QString &cardCode, const QString &customerAccount) const
{
    updateCard(m_customerColumn, cardCode, { { QStringLiteral("pKod"), customerAccount } });
}

void CardAccounts::setSupplier(const QString &cardCode, const QString &supplierAccount) const
{
    updateCard(m_supplierColumn, cardCode, { { QStringLiteral("pKod"), supplierAccount } });
}

} // namespace zym
