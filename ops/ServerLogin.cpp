#include "ServerLogin.h"

#include "Operation.h"
#include "Prompter.h"

#include "db/Connection.h"

namespace zym {

const QString ServerLogin::untrustedQuestion =
        QStringLiteral("Sunucu sertifikası doğrulanamadı. Yine de bağlanılsın mı?");

void ServerLogin::connect(const ConnectionSettings &settings, Prompter &prompter, const Open &open)
{
    try {
        open(settings);
    } catch (const UntrustedCertificate &) {
        if (!prompter.confirm(untrustedQuestion, OperatorTexts::warningTitle))
            return;
        ConnectionSettings trusting = settings;
        trusting.trustServerCertificate = true;
        open(trusting);
    }
}

} // namespace zym
