#include "ModalProgress.h"

#include "MessageText.h"

#include <QProgressDialog>

namespace zym {

namespace {
// A run that ends sooner shows no dialog.
constexpr int showAfterMs = 50;
// Shown, the dialog takes the events of the window this often.
constexpr int updateEveryMs = 25;
}

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
    m_dialog->setMinimumDuration(showAfterMs);
    m_dialog->setValue(0);
    m_sinceUpdate.start();
}

bool ModalProgress::step(int done)
{
    // A window-modal dialog processes events in setValue, so the window is
    // repainted and a click on cancel lands.
    if (m_sinceUpdate.elapsed() >= updateEveryMs || done >= m_dialog->maximum()) {
        m_dialog->setValue(done);
        m_sinceUpdate.restart();
    }
    return !m_dialog->wasCanceled();
}

void ModalProgress::finish()
{
    m_dialog.reset();
}

} // namespace zym
