#include "app/CompanyChoice.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace zym;

// What counts as choosing a company in the editable company box.
class TestCompanyChoice : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_window.get());
        m_box = new QComboBox;
        m_box->setEditable(true);
        m_box->setInsertPolicy(QComboBox::NoInsert);
        m_box->addItems({ QStringLiteral("FIRMA_A"), QStringLiteral("FIRMA_B") });
        m_box->setCurrentIndex(-1);
        m_other = new QLineEdit;
        layout->addWidget(m_box);
        layout->addWidget(m_other);
        m_choice = new CompanyChoice(*m_box);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_box->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return m_box->lineEdit()->hasFocus(); }));
    }

    void cleanup() { m_window.reset(); }

    void choices_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("text");
        QTest::newRow("picked with the arrow key") << ""
                                                   << "down" << 1 << "FIRMA_A";
        QTest::newRow("picked, then the box is left") << ""
                                                      << "down,leave" << 1 << "FIRMA_A";
        QTest::newRow("typed only") << "YENI"
                                    << "" << 0 << "YENI";
        QTest::newRow("typed and Enter") << "YENI"
                                         << "enter" << 1 << "YENI";
        QTest::newRow("typed and left") << "YENI"
                                        << "leave" << 1 << "YENI";
        QTest::newRow("listed name typed and Enter") << "FIRMA_B"
                                                     << "enter" << 1 << "FIRMA_B";
        QTest::newRow("typed, Enter, then left") << "YENI"
                                                 << "enter,leave" << 1 << "YENI";
        QTest::newRow("left without typing") << ""
                                             << "leave" << 0 << "";
        QTest::newRow("typed, then the list opened") << "YENI"
                                                     << "popup" << 0 << "YENI";
    }

    void choices()
    {
        QFETCH(QString, typed);
        QFETCH(QString, then);
        QFETCH(int, chosen);
        QFETCH(QString, text);
        QSignalSpy spy(m_choice, &CompanyChoice::chosen);
        QTest::keyClicks(m_box->lineEdit(), typed);
        QCOMPARE(spy.count(), 0);
        for (const QString &step : then.split(u',', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("down"))
                QTest::keyClick(m_box, Qt::Key_Down);
            else if (step == QLatin1String("enter"))
                QTest::keyClick(m_box->lineEdit(), Qt::Key_Return);
            else if (step == QLatin1String("popup"))
                m_box->showPopup();
            else if (step == QLatin1String("leave")) {
                m_other->setFocus();
                QVERIFY(QTest::qWaitFor([this] { return m_other->hasFocus(); }));
            }
        }
        QCOMPARE(spy.count(), chosen);
        QCOMPARE(m_box->currentText(), text);
        m_box->hidePopup();
    }

private:
    std::unique_ptr<QWidget> m_window;
    QComboBox *m_box = nullptr;
    QLineEdit *m_other = nullptr;
    CompanyChoice *m_choice = nullptr;
};

QTEST_MAIN(TestCompanyChoice)
#include "tst_companychoice.moc"
