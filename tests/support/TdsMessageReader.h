#pragma once

#include <QByteArray>

#include <optional>

namespace zym::test {

// Joins the TDS packets of a byte stream, however the stream is cut into
// pieces, into whole messages: each packet's 8-byte header gives its length,
// and the status bit "end of message" marks a message's last packet.
class TdsMessageReader
{
public:
    struct Message
    {
        quint8 type = 0;
        QByteArray payload; // the packets' bodies, headers removed
    };

    void append(const QByteArray &bytes);

    // The next whole message, once all its packets are in.
    std::optional<Message> next();

    // A header gave a length shorter than the header itself: the stream is
    // not TDS, and nothing more can be read from it.
    bool isBroken() const { return m_broken; }

private:
    QByteArray m_pending;
    Message m_message;
    bool m_broken = false;
};

} // namespace zym::test
