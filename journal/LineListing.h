#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace zym {

struct Session;
class Statement;

// What the operator set for a listing of journal lines, as set.
struct LineListingRequest
{
    std::optional<QDate> startDate; // none: every date
    QString accountPattern; // matched with LIKE, as typed
};

// The journal lines of the selected vouchers in qMUHHAR. A voucher is
// selected when it has a header and a line (of any date) on an account that
// matches the pattern; of those, the lines dated on or after the start date
// are listed, by date, voucher and line number.
//
// The start date and the pattern live on as qMUHHAR's parameters pTar and
// pHeskod, for the renumbering that follows the listing; another text on
// qMUHHAR that does not name them drops them.
namespace LineListing {

extern const QString query;

void open(Session &session, const LineListingRequest &request);

// Whether `lines` still carries the start date and pattern of a listing.
bool selectionBound(const Statement &lines);

} // namespace LineListing

} // namespace zym
