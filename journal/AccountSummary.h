#pragma once

#include <QString>

namespace zym {

class Statement;

// The accounts of a set of journal lines as line descriptions carry them:
// every line's account code followed by "|", and every line's account name
// followed by "|"; an empty or missing value leaves only its "|".
class AccountSummary
{
public:
    // The descriptions keep only the first 80 characters of a summary.
    static constexpr qsizetype descriptionWidth = 80;

    // Reads the lines of `lines` from its current row past its last, taking
    // the code from MUHHARMUHKOD and the name from MUHHARADI.
    static AccountSummary of(Statement &lines);

    // The summaries cut to the description width; empty text, never null,
    // where there were no lines.
    QString codes() const { return cut(m_codes); }
    QString names() const { return cut(m_names); }

private:
    // The first characters of `summary` that fit the width; a character
    // made of two UTF-16 units is never split.
    static QString cut(const QString &summary);

    QString m_codes = QStringLiteral("");
    QString m_names = QStringLiteral("");
};

} // namespace zym
