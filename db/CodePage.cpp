#include "CodePage.h"

#include <algorithm>
#include <iterator>

namespace zym {

namespace {

// Windows-1252 where it differs from Latin-1: 0x80-0x9F, five of which are
// unassigned.
constexpr char16_t upperControls1252[] = { 0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                           0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                           0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178 };
// Windows-1254 has the same but Ž and ž, and six Turkish letters in place
// of Ð Ý Þ ð ý þ.
constexpr char16_t missingIn1254[] = { 0x017D, 0x017E, 0x00D0, 0x00DD,
                                       0x00DE, 0x00F0, 0x00FD, 0x00FE };
constexpr char16_t turkishLetters[] = { 0x011E, 0x0130, 0x015E, 0x011F, 0x0131, 0x015F };

bool among(char16_t character, const auto &set)
{
    return std::find(std::begin(set), std::end(set), character) != std::end(set);
}

} // namespace

// CONVERT to int: the property comes as sql_variant, which not every driver reads.
const QString CodePage::query =
        QStringLiteral("SELECT CONVERT(int, COLLATIONPROPERTY(CONVERT(sysname, "
                       "DATABASEPROPERTYEX(DB_NAME(), 'Collation')), 'CodePage'))"
                       " AS CODEPAGE");

bool CodePage::holds(const QString &text) const
{
    return m_number == utf8 || std::all_of(text.cbegin(), text.cend(), [this](QChar c) {
               return holds(c.unicode());
           });
}

bool CodePage::holds(char16_t character) const
{
    if (character < 0x80)
        return true;
    const bool latin1 =
            among(character, upperControls1252) || (character >= 0xA0 && character <= 0xFF);
    if (m_number == 1252)
        return latin1;
    if (m_number == 1254)
        return (latin1 && !among(character, missingIn1254)) || among(character, turkishLetters);
    return false;
}

} // namespace zym
