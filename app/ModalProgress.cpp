#include "ModalProgress.h"

#include "MessageText.h"

#include <QProgressDialog>

namespace zym {

ModalProgress::ModalProgress(QWidget *window)
    : m_window(window)
{
}

ModalProgress::~ModalProgress() = default;

void ModalProgress::start(int total)
{
    m_dialog = std::make_unique<QProgressDialog>(QString(), QStringLiteral("İptal"), 0, total, m_window);
    m_dialog->setWindowTitle(applicationTitle());
    m_dialog->setWindowModality(Qt::WindowModal);
    // The cancel state must outlive the last step: no reset at the maximum.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
}

bool ModalProgress::step(int done)
{
    // A window-modal dialog processes events here, so a click on cancel lands.
    m_dialog->setValue(done);
    return !m_dialog->wasCanceled();
}

void ModalProgress::finish()
{
    m_dialog.reset();
}

} // namespace zym
