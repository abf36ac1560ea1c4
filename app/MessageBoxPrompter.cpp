#include "MessageBoxPrompter.h"

#include "MessageText.h"

#include <QApplication>
#include <QMessageBox>

namespace zym {

namespace {

// Server and driver messages are shown as they are: never read as markup.
int showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons, QWidget *owner)
{
    QMessageBox box(icon, title, text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    if (buttons.testFlag(QMessageBox::Yes))
        box.setDefaultButton(QMessageBox::Yes);
    return box.exec();
}

} // namespace

bool MessageBoxPrompter::confirm(const QString &text, const QString &title)
{
    return showBox(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                   QApplication::activeWindow())
           == QMessageBox::Yes;
}

void MessageBoxPrompter::notify(const QString &text)
{
    showBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, nullptr);
}

void MessageBoxPrompter::showError(const QString &message)
{
    showBox(QMessageBox::Critical, applicationTitle(), withFullStop(message), QMessageBox::Ok,
            QApplication::activeWindow());
}

} // namespace zym
