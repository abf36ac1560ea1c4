#pragma once

#include "ops/Prompter.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace zym {

// Progress of a long operation in a window-modal progress dialog: it shows
// once the operation takes a while, keeps the window from starting another
// operation meanwhile, and its cancel button asks the operation to stop.
// The window is repainted and the cancel button heard a few dozen times a
// second, however many units a second the operation handles. A note about
// the run stands over the bar.
class ModalProgress : public Progress
{
public:
    explicit ModalProgress(QWidget *window);
    ~ModalProgress() override;

    void start(int total) override;
    bool step(int done) override;
    void finish() override;
    void busy() override;
    // Shown at once, before the run's units if need be, with a bar that
    // only says the tool is busy; an empty note takes that dialog down.
    void note(const QString &text) override;

private:
    void makeDialog();

    QWidget *m_window;
    QString m_note;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
};

} // namespace zym
