#include "app/ModalProgress.h"

#include <QProgressDialog>
#include <QTest>
#include <QWidget>

using namespace zym;

// Progress of a long operation in a modal dialog that can stop it.
class TestModalProgress : public QObject
{
    Q_OBJECT

private slots:
    void stepsUntilCancelled()
    {
        QWidget window;
        window.show();
        ModalProgress progress(&window);
        progress.start(3);
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->maximum(), 3);
        QVERIFY(dialog->windowModality() == Qt::WindowModal);
        QTest::qWait(30);
        QVERIFY(progress.step(1));
        QCOMPARE(dialog->value(), 1);
        // Steps in quick succession do not each take the window's events.
        QVERIFY(progress.step(2));
        QCOMPARE(dialog->value(), 1);
        dialog->cancel();
        QVERIFY(!progress.step(2));
        QVERIFY(!progress.step(3));
        QCOMPARE(dialog->value(), 3); // the last step always shows
        progress.finish();
        QVERIFY(!window.findChild<QProgressDialog *>());
    }

    void reachingTheEndIsNoCancel()
    {
        QWidget window;
        ModalProgress progress(&window);
        progress.start(2);
        QVERIFY(progress.step(1));
        QVERIFY(progress.step(2));
        progress.finish();
    }
};

QTEST_MAIN(TestModalProgress)
#include "tst_modalprogress.moc"
