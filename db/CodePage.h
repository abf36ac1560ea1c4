#pragma once

#include <QString>

namespace zym {

// The code page a SQL Server database keeps VARCHAR text in, as far as the
// tool needs it: whether a text can be written without a character lost.
// The product's databases are Turkish (1254) or Latin1 (1252); for another
// single-byte page the tool holds no table and takes ASCII alone as safe.
class CodePage
{
public:
    // The statement that reads the current database's code page.
    static const QString query;

    // UTF-8 (65001): every text is held, as on the embedded backend.
    CodePage() = default;
    explicit CodePage(int number) : m_number(number) { }

    int number() const { return m_number; }
    bool holds(const QString &text) const;

private:
    bool holds(char16_t character) const;

    int m_number = utf8;
    static constexpr int utf8 = 65001;
};

} // namespace zym
