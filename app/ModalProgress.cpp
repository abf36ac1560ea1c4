#include "ModalProgress.h"

#include "MessageText.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace zym {

namespace {
// A run that ends sooner shows no dialog.
constexpr int showAfterMs = 50;
// Shown, the dialog takes the events of the window this often.
constexpr int updateEveryMs = 25;
} // namespace

ModalProgress::ModalProgress(QWidget *window) : m_window(window) { }

ModalProgress::~ModalProgress() = default;

void ModalProgress::makeDialog()
{
    m_dialog = std::make_unique<QProgressDialog>(m_note, QStringLiteral("İptal"), 0, 0, m_window);
    m_dialog->setWindowTitle(applicationTitle());
    m_dialog->setWindowModality(Qt::WindowModal);
    // The cancel state must outlive the last step: no reset at the maximum.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(showAfterMs);
}

void ModalProgress::start(int total)
{
    if (!m_dialog)
        makeDialog();
    m_dialog->setLabelText(m_note);
    m_dialog->setMaximum(total);
    m_dialog->setValue(0);
    m_sinceUpdate.start();
}

void ModalProgress::note(const QString &text)
{
    m_note = text;
    if (text.isEmpty()) {
        m_dialog.reset();
        return;
    }
    if (!m_dialog)
        makeDialog();
    m_dialog->setLabelText(text);
    m_dialog->show();
    // What follows may hold the thread for long: the note is painted first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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

void ModalProgress::busy()
{
    if (m_sinceUpdate.elapsed() < updateEveryMs)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceUpdate.restart();
}

void ModalProgress::finish()
{
    m_dialog.reset();
}

} // namespace zym
