#include "Command.h"

#include "Connection.h"
#include "Error.h"
#include "SqlText.h"

namespace zym {

Command::Command(Connection &connection, QString sql)
    : m_connection(&connection),
      m_text(std::move(sql)),
      m_parameters(SqlText::parameterNames(m_text))
{
    m_parameters.sort();
}

const QVariantMap &Command::checked(const QVariantMap &values) const
{
    // QVariantMap keeps its keys sorted, as the parameters are.
    const auto sameNames = [&] {
        if (values.size() != m_parameters.size())
            return false;
        auto name = m_parameters.cbegin();
        for (auto it = values.keyBegin(); it != values.keyEnd(); ++it, ++name) {
            if (*it != *name)
                return false;
        }
        return true;
    };
    if (!sameNames())
        throw Error(
                QStringLiteral("Komutun parametreleri uyuşmuyor (beklenen: %1; verilen: %2): %3")
                        .arg(m_parameters.join(QStringLiteral(", ")),
                             values.keys().join(QStringLiteral(", ")), m_text));
    return values;
}

int Command::execute(const QVariantMap &values) const
{
    return m_connection->execute(m_text, checked(values));
}

ResultSet Command::fetch(const QVariantMap &values) const
{
    return m_connection->fetch(m_text, checked(values));
}

void Command::requireOneRow(qsizetype rows, const QString &key)
{
    if (rows < 0)
        throw Error(
                QStringLiteral(
                        "Sunucu komutun kaç satırı değiştirdiğini bildirmedi: '%1'. Kaydın bulunup "
                        "bulunmadığı anlaşılamadı.")
                        .arg(key));
    if (rows > 1)
        throw Error(QStringLiteral("Kod birden fazla kayda uyuyor: '%1' (%2 satır). Sunucu bu "
                                   "kodları aynı sayıyor; "
                                   "önce kodları birbirinden ayırın.")
                            .arg(key)
                            .arg(rows));
}

int Command::executeOnOneRow(const QVariantMap &values, const QString &key) const
{
    const int rows = execute(values);
    requireOneRow(rows, key);
    return rows;
}

ResultSet Command::fetchOneRow(const QVariantMap &values, const QString &key) const
{
    ResultSet result = fetch(values);
    requireOneRow(result.rows.size(), key);
    return result;
}

} // namespace zym
