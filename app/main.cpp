#include "DesignFont.h"
#include "HandlerGuard.h"
#include "InitialServer.h"
#include "Menu1.h"
#include "MessageBoxPrompter.h"
#include "QtTurkish.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    zym::installQtTurkish();
    zym::MessageBoxPrompter prompter;
    // A failure while starting is shown like any other; the program then ends.
    zym::runGuarded(prompter, [&] {
        zym::DesignFont::ensureTahoma();
        zym::TForm8 Form8(prompter, zym::initialServerText(QApplication::arguments()));
        Form8.show();
        QApplication::exec();
    });
    return 0;
}
