#pragma once

#include "db/ConnectionSettings.h"

#include <functional>

namespace zym {

class Prompter;

// Connects with the typed settings. Where the driver refuses the server's
// certificate (a self-signed Express installation), the operator is asked
// whether to connect anyway; on Yes the connect is tried once more, trusting
// the certificate for this connect only. Certificate checking stays on for
// everyone else.
class ServerLogin
{
public:
    using Open = std::function<void(const ConnectionSettings &)>;

    static const QString
            untrustedQuestion; // "Sunucu sertifikası doğrulanamadı. Yine de bağlanılsın mı?"

    static void connect(const ConnectionSettings &settings, Prompter &prompter, const Open &open);
};

} // namespace zym
