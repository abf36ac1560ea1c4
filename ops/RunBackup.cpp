#include "RunBackup.h"

#include "Operation.h"
#include "Prompter.h"

#include "db/Connection.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>

namespace zym {

RunBackup::RunBackup(Connection &connection, Prompter &prompter)
    : m_connection(connection), m_prompter(prompter), m_outcome(QStringLiteral("Yedek alınmadı"))
{
}

QString RunBackup::refusedQuestion(const QString &serverText)
{
    QString text = serverText.trimmed();
    // The question's own full stop follows the server's text.
    while (text.endsWith(u'.'))
        text.chop(1);
    return QStringLiteral("Yedek alınamadı: %1. Yedeksiz devam edilsin mi?").arg(text);
}

void RunBackup::make(Progress &progress)
{
    progress.note(QStringLiteral("Yedek alınıyor: %1").arg(m_connection.currentDatabase()));
    QElapsedTimer took;
    took.start();
    try {
        const QString file = m_connection.backUp(QDateTime::currentDateTime());
        m_outcome = file;
    } catch (const Error &failure) {
        m_outcome = QStringLiteral("Yedek alınamadı: ") + failure.text().simplified();
        progress.note(QString());
        if (!m_prompter.confirm(refusedQuestion(failure.text()), OperatorTexts::warningTitle))
            throw RunDeclined();
        return;
    }
    const QString seconds =
            QLocale(QLocale::Turkish, QLocale::Turkey).toString(took.elapsed() / 1000.0, 'f', 1);
    progress.note(QStringLiteral("Yedek alındı (%1 sn): %2").arg(seconds, m_outcome));
}

} // namespace zym
