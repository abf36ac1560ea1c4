#include "DescriptionTransfer.h"

#include "AccountSummary.h"

#include "db/Command.h"
#include "ops/IntegerText.h"
#include "ops/Session.h"
#include "ops/Walk.h"

namespace zym {

namespace {

// The lines of one voucher and one line type, with their accounts' names.
const QString type1Reading =
        QStringLiteral("SELECT *,(SELECT MUHHESAP.MUHADI1 FROM MUHHESAP WHERE "
                       "MUHHESAP.MUHKOD=MUHHARMUHKOD)AS MUHHARADI FROM MUHHAR "
                       "WHERE MUHHARREFNO=:pMuhref AND MUHHARBATIPI=1  ORDER BY MUHHARSIRANO");
const QString type2Reading =
        QStringLiteral("SELECT *,(SELECT MUHHESAP.MUHADI1 FROM MUHHESAP WHERE "
                       "MUHHESAP.MUHKOD=MUHHARMUHKOD)AS MUHHARADI FROM MUHHAR "
                       "WHERE MUHHARREFNO=:pMuhref AND MUHHARBATIPI=2  ORDER BY MUHHARSIRANO");
const QString type2Update =
        QStringLiteral("UPDATE MUHHAR SET MUHHARACIKLAMA1=:pAcik1,MUHHARACIKLAMA2=:pAcik2 WHERE "
                       "MUHHARREFNO=:pREFNO and MUHHARBATIPI=2 ");
const QString type1Update =
        QStringLiteral("UPDATE MUHHAR SET MUHHARACIKLAMA1=:pAcik1,MUHHARACIKLAMA2=:pAcik2 WHERE "
                       "MUHHARREFNO=:pREFNO and MUHHARBATIPI=1");

AccountSummary readLines(Statement &lines, const QString &reading, qint32 voucher)
{
    lines.setText(reading);
    lines.bindInteger(QStringLiteral("pMuhref"), voucher);
    lines.open();
    return AccountSummary::of(lines);
}

void describe(const Command &update, const AccountSummary &accounts, qint32 voucher)
{
    update.execute({ { QStringLiteral("pAcik1"), accounts.codes() },
                     { QStringLiteral("pAcik2"), accounts.names() },
                     { QStringLiteral("pREFNO"), voucher } });
}

} // namespace

void DescriptionTransfer::run(const DescriptionTransferRequest &)
{
    Session &session = m_context.session;
    const Command describeType2(session.connection, type2Update);
    const Command describeType1(session.connection, type1Update);
    Statement &vouchers = session.voucherList;
    const Statement::ControlsHold gridHeld(vouchers);
    Walk(m_context, vouchers).run([&] {
        const qint32 voucher = readIntegerKey(vouchers, QStringLiteral("MUHFISREFNO"));
        describe(describeType2, readLines(session.journalLines, type1Reading, voucher), voucher);
        describe(describeType1, readLines(session.journalLines, type2Reading, voucher), voucher);
        return UnitResult::done({ .key = QString::number(voucher) });
    });
}

} // namespace zym
