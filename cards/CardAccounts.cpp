#include "CardAccounts.h"

namespace zym {

namespace {
const QString removeSql = QStringLiteral("DELETE FROM MUHHESAP WHERE MUHKOD=:pKod;");
const QString insertSql = QStringLiteral(
    "INSERT INTO MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG])VALUES(RTRIM(:pKod),RTRIM(:pAdi),1);");
const QString customerLinkSql = QStringLiteral("UPDATE CARKART SET CARMUHKODU=:pKod,CAREKCHAR1='' WHERE CARKOD=:pCarKod;");
const QString supplierLinkSql = QStringLiteral("UPDATE CARKART SET CAREKCHAR1=:pKod,CARMUHKODU='' WHERE CARKOD=:pCarKod;");
const QString doubleLinkSql = QStringLiteral("UPDATE CARKART SET CARMUHKODU=:pKod,CAREKCHAR1=:pKod2 WHERE CARKOD=:pCarKod;");
}

const QString CardAccounts::customerPrefix = QStringLiteral("120 ");
const QString CardAccounts::supplierPrefix = QStringLiteral("320 ");

CardAccounts::CardAccounts(Connection &connection)
    : m_remove(connection, removeSql)
    , m_insert(connection, insertSql)
    , m_customerLink(connection, customerLinkSql)
    , m_supplierLink(connection, supplierLinkSql)
    , m_doubleLink(connection, doubleLinkSql)
{
}

void CardAccounts::remove(const QString &accountCode) const
{
    m_remove.execute({{QStringLiteral("pKod"), accountCode}});
}

void CardAccounts::insert(const QString &accountCode, const QString &name) const
{
    m_insert.execute({{QStringLiteral("pKod"), accountCode}, {QStringLiteral("pAdi"), name}});
}

void CardAccounts::linkCustomer(const QString &cardCode, const QString &customerAccount) const
{
    m_customerLink.execute({{QStringLiteral("pKod"), customerAccount}, {QStringLiteral("pCarKod"), cardCode}});
}

void CardAccounts::linkSupplier(const QString &cardCode, const QString &supplierAccount) const
{
    m_supplierLink.execute({{QStringLiteral("pKod"), supplierAccount}, {QStringLiteral("pCarKod"), cardCode}});
}

void CardAccounts::linkBoth(const QString &cardCode, const QString &customerAccount, const QString &supplierAccount) const
{
    m_doubleLink.execute({{QStringLiteral("pKod"), customerAccount},
                          {QStringLiteral("pKod2"), supplierAccount},
                          {QStringLiteral("pCarKod"), cardCode}});
}

} // namespace zym
