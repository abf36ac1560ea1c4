#include "RecordingPrompter.h"

#include "app/HandlerGuard.h"
#include "app/MessageBoxPrompter.h"
#include "app/MessageText.h"
#include "app/ModalProgress.h"
#include "app/QtTurkish.h"

#include "db/Error.h"
#include "ops/IntegerText.h"

#include <QPushButton>
#include <QApplication>
#include <QProgressDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace zym;
using zym::test::RecordingPrompter;

namespace {

struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next message box with `answer` once it is up, keeping what it
// showed in `shown`.
void answerNextBox(QMessageBox::StandardButton answer, ShownBox &shown)
{
    QTimer::singleShot(0, [answer, &shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = { box->windowTitle(),
                  box->text(),
                  box->icon(),
                  box->standardButtons(),
                  box->standardButton(box->defaultButton()),
                  box->textFormat() };
        box->button(answer)->click();
    });
}

} // namespace

// The three message conventions: the full-stop rule, the handler edge that
// catches every error, and the message boxes themselves.
class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letter") << "Syntax error"
                                << "Syntax error.";
        QTest::newRow("full stop") << "Bitti."
                                   << "Bitti.";
        QTest::newRow("digit") << "Hata 42"
                               << "Hata 42.";
        QTest::newRow("slash, code 47") << "a/"
                                        << "a/.";
        QTest::newRow("hyphen, code 45") << "a-"
                                         << "a-";
        QTest::newRow("blank") << "a "
                               << "a ";
        QTest::newRow("quote, code 39") << "'x'"
                                        << "'x'";
        QTest::newRow("Turkish letter") << "bağlantı açık değil"
                                        << "bağlantı açık değil.";
        QTest::newRow("newline") << "satır\n"
                                 << "satır\n";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    void applicationTitleIsTheProgramName()
    {
        QCOMPARE(applicationTitle(), QStringLiteral("tst_messages"));
    }

    void guardedHandlerShowsWhatEndedIt_data()
    {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("nothing") << 0 << QStringList();
        QTest::newRow("tool error") << 1 << QStringList{ "Database 'X' does not exist." };
        QTest::newRow("conversion") << 2 << QStringList{ "'abc' is not a valid integer value" };
        QTest::newRow("standard exception") << 3 << QStringList{ "kötü" };
        QTest::newRow("no exception object") << 4 << QStringList{ "" };
    }

    void guardedHandlerShowsWhatEndedIt()
    {
        QFETCH(int, thrown);
        QFETCH(QStringList, errors);
        RecordingPrompter prompter;
        bool finished = false;
        runGuarded(prompter, [&] {
            switch (thrown) {
            case 1:
                throw Error(QStringLiteral("Database 'X' does not exist."));
            case 2:
                parseInteger(QStringLiteral("abc"));
                break;
            case 3:
                throw std::runtime_error("kötü");
            case 4:
                throw 42;
            }
            finished = true;
        });
        QCOMPARE(prompter.errors, errors);
        QCOMPARE(finished, errors.isEmpty());
    }

    void confirmationPrompt_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("result");
        QTest::newRow("yes") << QMessageBox::Yes << true;
        QTest::newRow("no") << QMessageBox::No << false;
    }

    void confirmationPrompt()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, result);
        MessageBoxPrompter prompter;
        ShownBox shown;
        answerNextBox(answer, shown);
        QCOMPARE(prompter.confirm(QStringLiteral("İşlem Başlayacak Emin misiniz?"),
                                  QStringLiteral("Uyarı")),
                 result);
        QCOMPARE(shown.title, QStringLiteral("Uyarı"));
        QCOMPARE(shown.text, QStringLiteral("İşlem Başlayacak Emin misiniz?"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(shown.defaultButton, QMessageBox::Yes);
    }

    void noticeBox()
    {
        MessageBoxPrompter prompter;
        ShownBox shown;
        answerNextBox(QMessageBox::Ok, shown);
        prompter.notify(QStringLiteral("Önce sunucuya bağlanın."));
        QCOMPARE(shown.title, QStringLiteral("tst_messages"));
        QCOMPARE(shown.text, QStringLiteral("Önce sunucuya bağlanın."));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, QMessageBox::Ok);
    }

    // The conversion of a typed number, failing in a handler, as the operator
    // sees it: the runtime's message with the display's full stop.
    void conversionErrorReachesTheErrorBox()
    {
        MessageBoxPrompter prompter;
        ShownBox shown;
        answerNextBox(QMessageBox::Ok, shown);
        runGuarded(prompter, [] { parseInteger(QStringLiteral("abc")); });
        QCOMPARE(shown.title, QStringLiteral("tst_messages"));
        QCOMPARE(shown.text, QStringLiteral("'abc' is not a valid integer value."));
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.buttons, QMessageBox::Ok);
    }

    void serverTextIsNeverMarkup()
    {
        MessageBoxPrompter prompter;
        ShownBox shown;
        answerNextBox(QMessageBox::Ok, shown);
        prompter.showError(QStringLiteral("Incorrect syntax near <b>"));
        QCOMPARE(shown.format, Qt::PlainText);
        QCOMPARE(shown.text, QStringLiteral("Incorrect syntax near <b>."));
    }

    // A notice, a question or an error shown while a run's progress dialog
    // is up stands in front of it and has the keyboard.
    void boxesStandInFrontOfTheProgressDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("notice") << 0;
        QTest::newRow("question") << 1;
        QTest::newRow("error") << 2;
    }

    void boxesStandInFrontOfTheProgressDialog()
    {
        QFETCH(int, kind);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ModalProgress progress(&window);
        progress.note(QStringLiteral("Yedek alınıyor: FIRMA_A"));
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog && dialog->isVisible());

        QWidget *owner = nullptr;
        bool focused = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            owner = box->parentWidget();
            focused = QTest::qWaitFor([box] { return box->isActiveWindow(); })
                    && box->isAncestorOf(QApplication::focusWidget());
            box->button(kind == 1 ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
        MessageBoxPrompter prompter;
        if (kind == 0)
            prompter.notify(QStringLiteral("15->0001"));
        else if (kind == 1)
            prompter.confirm(
                    QStringLiteral("Yedek alınamadı: disk dolu. Yedeksiz devam edilsin mi?"),
                    QStringLiteral("Uyarı"));
        else
            prompter.showError(QStringLiteral("CARKART kilitli"));
        QCOMPARE(owner, dialog);
        QVERIFY(focused);
    }

    // Qt's own texts in Turkish, where Qt's translations are installed.
    void buttonsSpeakTurkish_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << QMessageBox::Yes << "Evet";
        QTest::newRow("no") << QMessageBox::No << "Hayır";
        QTest::newRow("ok") << QMessageBox::Ok << "Tamam";
    }

    void buttonsSpeakTurkish()
    {
        QFETCH(QMessageBox::StandardButton, button);
        QFETCH(QString, text);
        static const bool installed = installQtTurkish();
        QVERIFY(installed);
        QMessageBox box(QMessageBox::NoIcon, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
        QCOMPARE(box.button(button)->text().remove(u'&'), text);
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
