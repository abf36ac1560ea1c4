#include "MessageBoxPrompter.h"

#include "MessageText.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace zym {

namespace {

// Where a box stands: over its owner, or in the middle of the screen.
enum class Place { OverOwner, ScreenCentre };

// Server and driver messages are shown as they are: never read as markup.
// The box is owned by the window in front, a run's progress dialog
// included, so that it is never hidden behind it and takes the keyboard.
int showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons, Place place = Place::OverOwner)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner && place == Place::OverOwner)
        owner = QApplication::activeWindow();
    QMessageBox box(icon, title, text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    if (buttons.testFlag(QMessageBox::Yes))
        box.setDefaultButton(QMessageBox::Yes);
    if (place == Place::ScreenCentre) {
        box.adjustSize();
        const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
    return box.exec();
}

} // namespace

bool MessageBoxPrompter::confirm(const QString &text, const QString &title)
{
    return showBox(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
}

void MessageBoxPrompter::notify(const QString &text)
{
    showBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, Place::ScreenCentre);
}

void MessageBoxPrompter::showError(const QString &message)
{
    showBox(QMessageBox::Critical, applicationTitle(), withFullStop(message), QMessageBox::Ok);
}

} // namespace zym
