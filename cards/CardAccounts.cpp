#include "CardAccounts.h"

#include "db/Session.h"

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

void CardAccounts::remove(const QString &accountCode)
{
    Statement &statement = m_session.ADOQuery5;
    statement.setText(removeSql);
    statement.bindText(QStringLiteral("pKod"), accountCode);
    statement.execute();
}

void CardAccounts::insert(const QString &accountCode, const QString &name)
{
    Statement &statement = m_session.ADOQuery5;
    statement.setText(insertSql);
    statement.bindText(QStringLiteral("pKod"), accountCode);
    statement.bindText(QStringLiteral("pAdi"), name);
    statement.execute();
}

void CardAccounts::linkCustomer(const QString &cardCode, const QString &customerAccount)
{
    linkOne(customerLinkSql, cardCode, customerAccount);
}

void CardAccounts::linkSupplier(const QString &cardCode, const QString &supplierAccount)
{
    linkOne(supplierLinkSql, cardCode, supplierAccount);
}

void CardAccounts::linkOne(const QString &sql, const QString &cardCode, const QString &account)
{
    Statement &statement = m_session.ADOQuery2;
    statement.setText(sql);
    statement.bindText(QStringLiteral("pKod"), account);
    statement.bindText(QStringLiteral("pCarKod"), cardCode);
    statement.execute();
}

void CardAccounts::linkBoth(const QString &cardCode, const QString &customerAccount, const QString &supplierAccount)
{
    Statement &statement = m_session.ADOQuery2;
    statement.setText(doubleLinkSql);
    statement.bindText(QStringLiteral("pKod"), customerAccount);
    statement.bindText(QStringLiteral("pKod2"), supplierAccount);
    statement.bindText(QStringLiteral("pCarKod"), cardCode);
    statement.execute();
}

} // namespace zym
