#include "LineListing.h"

#include "ops/Session.h"

namespace zym {

const QString LineListing::query =
        QStringLiteral("SELECT * FROM MUHHAR WHERE MUHHARTAR>=:pTar AND MUHHARREFNO IN(SELECT "
                       "MUHFISREFNO FROM MUHFIS WHERE MUHFISREFNO "
                       "IN (select MUHHARREFNO FROM MUHHAR WHERE MUHHARMUHKOD LIKE :pHeskod )) "
                       "ORDER BY MUHHARTAR,MUHHARREFNO,MUHHARSIRANO");

namespace {

const QString startDateParameter = QStringLiteral("pTar");
const QString patternParameter = QStringLiteral("pHeskod");

// No start date: the earliest date SQL Server's datetime holds, so that no
// dated line is left out.
const QDateTime everyDate(QDate(1753, 1, 1), QTime(0, 0));

} // namespace

void LineListing::open(Session &session, const LineListingRequest &request)
{
    Statement &lines = session.journalLines;
    lines.setText(query);
    lines.bindDateTime(startDateParameter,
                       request.startDate ? QDateTime(*request.startDate, QTime(0, 0)) : everyDate);
    lines.bindText(patternParameter, request.accountPattern);
    lines.open();
}

bool LineListing::selectionBound(const Statement &lines)
{
    return lines.isBound(startDateParameter) && lines.isBound(patternParameter);
}

} // namespace zym
