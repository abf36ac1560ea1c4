#include "DocumentRenumbering.h"

#include "LineListing.h"

#include "db/Command.h"
#include "ops/IntegerText.h"
#include "ops/Prompter.h"
#include "ops/RunningNumber.h"
#include "ops/Session.h"
#include "ops/Walk.h"

namespace zym {

const QString DocumentRenumbering::listFirst =
        QStringLiteral("Önce Listele ile kayıtları listeleyin.");
const QString DocumentRenumbering::finished = QStringLiteral("İşlem Tamamlandı");

namespace {

// The selection of the line listing, one row per voucher: a voucher whose
// listed lines carry several dates or old numbers still takes one number.
// It shows the earliest date and the lowest old number among them.
const QString voucherListing = QStringLiteral(
        "SELECT MUHHARREFNO,MIN(MUHHARTAR) AS MUHHARTAR,MIN(MUHHAREVRAKNO) AS "
        "MUHHAREVRAKNO,SUM(MUHHARSIRANO) FROM MUHHAR "
        "WHERE MUHHARTAR>=:pTar AND MUHHARREFNO IN(SELECT MUHFISREFNO FROM MUHFIS WHERE "
        "MUHFISREFNO IN (select "
        "MUHHARREFNO FROM MUHHAR WHERE MUHHARMUHKOD LIKE :pHeskod )) GROUP BY MUHHARREFNO ORDER BY "
        "MIN(MUHHARTAR),MUHHARREFNO");
const QString numberUpdate =
        QStringLiteral("UPDATE MUHHAR SET MUHHAREVRAKNO=:pKods  WHERE MUHHARREFNO=:pREFNO ");

} // namespace

void DocumentRenumbering::run(const RenumberingRequest &request)
{
    Statement &vouchers = m_context.session.journalLines;
    if (!LineListing::selectionBound(vouchers)) {
        m_context.prompter.notify(listFirst);
        return;
    }
    vouchers.setText(voucherListing);
    vouchers.open();
    RunningNumber number(parseInteger(request.firstNumber));

    const Command renumber(m_context.session.connection, numberUpdate);
    const WalkEnd end = Walk(m_context, vouchers).run(number, [&](RunningNumber &n) {
        const QString documentNumber = request.prefix + QString::number(n.next());
        const qint32 voucher = readIntegerKey(vouchers, QStringLiteral("MUHHARREFNO"));
        renumber.execute({ { QStringLiteral("pKods"), documentNumber },
                           { QStringLiteral("pREFNO"), voucher } });
        return UnitResult::done({ .key = QString::number(voucher), .newCode = documentNumber });
    });
    if (end == WalkEnd::End)
        m_context.prompter.notify(finished);
}

} // namespace zym
