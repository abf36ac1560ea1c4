#include "TdsMessageReader.h"

#include <QtEndian>

#include <utility>

namespace zym::test {

namespace {
constexpr qsizetype headerSize = 8;
constexpr quint8 endOfMessage = 0x01;
} // namespace

void TdsMessageReader::append(const QByteArray &bytes)
{
    m_pending += bytes;
}

std::optional<TdsMessageReader::Message> TdsMessageReader::next()
{
    while (!m_broken && m_pending.size() >= headerSize) {
        const qsizetype length = qFromBigEndian<quint16>(m_pending.constData() + 2);
        if (length < headerSize) {
            m_broken = true;
            break;
        }
        if (m_pending.size() < length)
            break;
        const auto type = quint8(m_pending.at(0));
        const auto status = quint8(m_pending.at(1));
        m_message.type = type;
        m_message.payload += m_pending.mid(headerSize, length - headerSize);
        m_pending.remove(0, length);
        if (status & endOfMessage)
            return std::exchange(m_message, {});
    }
    return std::nullopt;
}

} // namespace zym::test
