#pragma once

#include "Operations.h"
#include "RecordingPrompter.h"
#include "TestServer.h"

#include "app/DesignFont.h"
#include "app/Menu1.h"
#include "app/ReportWindow.h"

#include <QComboBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace zym::test {

// A test of the main window: the window shown on a fresh test server,
// answering through a recording prompter, its controls found by name.
class WindowTest : public QObject
{
protected:
    // Opens the window with `serverText` in its server edit; an empty text
    // stands for the test server's folder.
    void openWindow(const QString &serverText = QString())
    {
        // The run log goes to the test's own data folder, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        DesignFont::ensureTahoma();
        m_server = std::make_unique<TestServer>();
        m_prompter = std::make_unique<RecordingPrompter>();
        m_window = std::make_unique<TForm8>(*m_prompter,
                                            serverText.isEmpty() ? m_server->folder() : serverText);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void closeWindow()
    {
        m_window.reset();
        m_prompter.reset();
        m_server.reset();
    }

    // A control by its name; a missing one ends the test run.
    template<typename Widget>
    Widget *control(const char *name) const
    {
        auto *widget = m_window->findChild<Widget *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    void click(const char *button) { control<QPushButton>(button)->click(); }

    // Loads the list the operation `button` walks, as the operator does
    // first; nothing for an operation that needs no listing.
    void listFor(const QString &button)
    {
        if (const char *listing = listingBefore(button))
            click(listing);
    }

    // Customer cards K1, K2, ... titled "Kart 1", "Kart 2", ... in the company.
    void seedCustomerCards(int count)
    {
        QList<QVariantList> cards;
        for (int i = 1; i <= count; ++i)
            cards << QVariantList{ QStringLiteral("K%1").arg(i), QStringLiteral("Kart %1").arg(i),
                                   1, QStringLiteral("") };
        m_server->db().insert(QStringLiteral("CARKART"),
                              { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                                QStringLiteral("CARMUHTIPI"), QStringLiteral("CAROZKOD3") },
                              cards);
    }

    // Connects to the test server and chooses its first company, as the
    // operator does.
    void connectAndChoose()
    {
        click("BitBtn1");
        choose();
    }

    void choose()
    {
        auto *box = control<QComboBox>("ComboBox1");
        box->setCurrentIndex(box->findText(TestServer::company));
        emit box->activated(box->currentIndex());
        QCOMPARE(m_window->session().connection.currentDatabase(), TestServer::company);
    }

    ReportWindow *reportWindow() const
    {
        return m_window->findChild<ReportWindow *>(QStringLiteral("ReportWindow"));
    }

    // The company's card codes, in order.
    QStringList cardCodes() const
    {
        QStringList codes;
        for (const auto &row :
             m_server->db().select(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD")))
            codes << row.first().toString();
        return codes;
    }

    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<RecordingPrompter> m_prompter;
    std::unique_ptr<TForm8> m_window;
};

} // namespace zym::test
