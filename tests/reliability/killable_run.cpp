// Runs one operation from the window, as the operator would, on an embedded
// folder: connect, choose the company, list, press "Başlat", every question
// answered Yes. The killed-run test starts it and kills it at a random
// moment. Prints, a line each, "started" as the operation's button is
// pressed, "done" when its handler has returned, "notice: " and each notice,
// "error: " and each error the default error display shows.
//
//   zym-killable-run FOLDER COMPANY recoding|payroll

#include "app/DesignFont.h"
#include "app/Menu1.h"
#include "ops/Prompter.h"

#include <QApplication>
#include <QStandardPaths>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTextStream>

#include <cstdio>

namespace {

class YesPrompter : public zym::Prompter
{
public:
    int errors = 0;

    bool confirm(const QString &, const QString &) override { return true; }
    void notify(const QString &text) override
    {
        QTextStream(stdout) << "notice: " << text << Qt::endl;
    }
    void showError(const QString &message) override
    {
        ++errors;
        QTextStream(stdout) << "error: " << message << Qt::endl;
    }
};

template<typename Widget>
Widget *control(zym::TForm8 &window, const char *name)
{
    auto *widget = window.findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

void say(const char *marker)
{
    std::fputs(marker, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The run log of the killed runs goes to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    const QStringList arguments = QApplication::arguments();
    const QString operation = arguments.value(3);
    if (arguments.size() != 4
        || (operation != QStringLiteral("recoding") && operation != QStringLiteral("payroll"))) {
        QTextStream(stderr) << "usage: zym-killable-run FOLDER COMPANY recoding|payroll"
                            << Qt::endl;
        return 2;
    }
    zym::DesignFont::ensureTahoma();
    YesPrompter prompter;
    zym::TForm8 window(prompter, arguments.at(1));
    window.show();

    control<QPushButton>(window, "BitBtn1")->click();
    auto *companies = control<QComboBox>(window, "ComboBox1");
    companies->setCurrentIndex(companies->findText(arguments.at(2)));
    emit companies->activated(companies->currentIndex());
    if (window.session().connection.currentDatabase() != arguments.at(2))
        return 1;

    // The kills are meant for the run's units: no backup goes first.
    control<QCheckBox>(window, "CheckBox6")->setChecked(false);
    if (operation == QStringLiteral("recoding")) {
        // Sequential mode, with the accounts made.
        control<QCheckBox>(window, "CheckBox1")->setChecked(true);
        control<QCheckBox>(window, "CheckBox2")->setChecked(true);
        control<QPushButton>(window, "BitBtn2")->click();
        say("started");
        control<QPushButton>(window, "BitBtn3")->click();
    } else {
        control<QPushButton>(window, "Button5")->click();
        say("started");
        control<QPushButton>(window, "Button6")->click();
    }
    say("done");
    return prompter.errors == 0 ? 0 : 1;
}
