#include "Transactions.h"

#include "Connection.h"
#include "Error.h"

namespace zym {

namespace {

QString previewLost(const QString &failure)
{
    return QStringLiteral("Önizleme geri alınamadı, bağlantı kapatıldı; hiçbir değişiklik "
                          "kaydedilmedi: %1")
            .arg(failure);
}

} // namespace

void Transactions::beginUnit()
{
    if (m_inUnit)
        throw Error(QStringLiteral("İç içe işlem açılamaz."));
    if (m_inPreview)
        m_connection.executeDirect(m_connection.dialect().previewStatements().unitBegin);
    else
        m_connection.beginTransaction();
    m_inUnit = true;
}

void Transactions::commitUnit()
{
    if (!m_inUnit)
        throw Error(QStringLiteral("Onaylanacak açık bir işlem yok."));
    if (m_inPreview) {
        commitPreviewUnit();
        return;
    }
    QString cause;
    try {
        m_connection.commitTransaction();
        endUnit(true);
        return;
    } catch (const Error &refused) {
        cause = refused.text();
    }
    if (m_connection.dialect().refusedCommitEndedTheTransaction()) {
        endUnit(false);
        throw Error(cause);
    }
    rollbackRealUnit(cause);
    throw Error(cause);
}

void Transactions::rollbackRefused(const Error &refused)
{
    try {
        rollbackUnit();
    } catch (const Error &failure) {
        throw Error(refused.text() + u'\n' + failure.text());
    }
    throw refused;
}

void Transactions::commitPreviewUnit()
{
    try {
        for (const QString &sql : m_connection.dialect().previewStatements().unitKept)
            m_connection.executeDirect(sql);
    } catch (const Error &refused) {
        rollbackRefused(refused);
    }
    endUnit(true);
}

void Transactions::rollbackUnit()
{
    if (!m_inUnit)
        return;
    try {
        if (m_inPreview) {
            for (const QString &sql : m_connection.dialect().previewStatements().unitTakenBack)
                m_connection.executeDirect(sql);
            endUnit(false);
            return;
        }
    } catch (const Error &failure) {
        failUnit(QString(), failure);
    }
    rollbackRealUnit(QString());
}

void Transactions::rollbackRealUnit(const QString &cause)
{
    try {
        m_connection.rollbackTransaction();
    } catch (const Error &failure) {
        if (!endedByTheServer(failure))
            failUnit(cause, failure);
    }
    endUnit(false);
}

bool Transactions::endedByTheServer(const Error &refusal) const
{
    try {
        return m_connection.dialect().rollbackFoundNoTransaction(refusal);
    } catch (const Error &) {
        return false;
    }
}

void Transactions::beginPreview()
{
    if (m_inUnit || m_inPreview)
        throw Error(QStringLiteral("İç içe işlem açılamaz."));
    m_connection.executeDirect(m_connection.dialect().previewStatements().begin);
    m_inPreview = true;
}

void Transactions::endPreview()
{
    if (!m_inPreview)
        return;
    if (m_inUnit)
        endUnit(false);
    try {
        m_connection.executeDirect(m_connection.dialect().previewStatements().end);
    } catch (const Error &failure) {
        m_connection.close();
        throw Error(previewLost(failure.text()));
    }
    m_inPreview = false;
}

bool Transactions::closing()
{
    const bool realUnit = m_inUnit && !m_inPreview;
    if (m_inUnit)
        endUnit(false);
    m_inPreview = false;
    return realUnit;
}

void Transactions::endUnit(bool kept)
{
    m_inUnit = false;
    m_connection.observers().unitEnded(kept);
}

void Transactions::failUnit(const QString &cause, const Error &failure)
{
    // A closed connection keeps nothing of a preview; nor does the server
    // keep the open transaction of a connection that is gone. Otherwise a
    // real unit's rows may be anywhere between its start and its end.
    const bool previewed = m_inPreview;
    const bool lost = failure.cause() == Error::Cause::ConnectionLost || m_connection.lost();
    endUnit(false);
    m_connection.close();
    const QString &text = failure.text();
    QString message;
    if (previewed)
        message = previewLost(text);
    else if (lost)
        message = QStringLiteral("Sunucuyla bağlantı koptu; açık işlem kaydedilmedi: %1").arg(text);
    else
        message = QStringLiteral(
                          "İşlem geri alınamadı, bağlantı kapatıldı; verinin durumu bilinmiyor: %1")
                          .arg(text);
    if (!cause.isEmpty())
        message = cause + u'\n' + message;
    throw Error(message);
}

} // namespace zym
