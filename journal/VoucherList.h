#pragma once

#include <QString>

namespace zym {

struct Session;

// The voucher list: every journal voucher header in qMUHFIS, by reference
// number. The description transfer walks it from its current row.
namespace VoucherList {

extern const QString query; // "SELECT * FROM MUHFIS ORDER BY MUHFISREFNO "

// Replaces qMUHFIS's text with the query and opens it on its first row.
void load(Session &session);

} // namespace VoucherList

} // namespace zym
