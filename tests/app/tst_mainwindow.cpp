#include "WindowTest.h"

#include "app/AnchorLayout.h"
#include "app/DesignFont.h"
#include "app/InitialServer.h"
#include "app/Menu1.h"
#include "app/NullableDateEdit.h"

#include "cards/CardList.h"
#include "db/Command.h"
#include "ops/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QSysInfo>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace zym;
using zym::test::RecordingPrompter;
using zym::test::TestServer;

Q_DECLARE_METATYPE(Qt::Edges)

namespace {

using StatementOf = Statement Session::*;

QString textOf(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *box = qobject_cast<const QComboBox *>(widget))
        return box->currentText();
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(widget))
        return memo->toPlainText();
    return QString();
}

QStringList entriesOf(const QComboBox *box)
{
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    return entries;
}

} // namespace

// The main window: its controls as designed, the connection and the company
// choice on the embedded backend, and their failures.
class TestMainWindow : public zym::test::WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(QStringLiteral("SUNUCU\\SQLEXPRESS")); }
    void cleanup() { closeWindow(); }

    void windowAsDesigned()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("Form8"));
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("PLX V.1.9  ZYM CARİ KOD DÜZENLEYİCİ      (HESAP PLAN DAHİL)"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlı değil"));
        QCOMPARE(m_window->findChild<QStatusBar *>(QStringLiteral("StatusBar1"))->height(), 19);
        QCOMPARE(m_window->width(), 1170);
        QCOMPARE(m_window->height(),
                 TForm8::openingClientHeight(m_window->screen()->availableGeometry().height()));
        QCOMPARE(control<QTabWidget>("PageControl1")->currentWidget()->objectName(),
                 QStringLiteral("TabSheet3"));
        QCOMPARE(control<QLineEdit>("Edit3")->echoMode(), QLineEdit::Password);
        QCOMPARE(control<QComboBox>("ComboBox1")->count(), 0);
        QCOMPARE(control<NullableDateEdit>("cxDateEdit1")->date(), std::optional<QDate>());
        const QStringList ticked{ QStringLiteral("CheckBox1"), QStringLiteral("CheckBox6") };
        for (const char *name :
             { "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6" })
            QCOMPARE(control<QCheckBox>(name)->isChecked(), ticked.contains(QLatin1String(name)));
        // No run has a report yet.
        QVERIFY(!control<QPushButton>("BitBtn8")->isEnabled());
    }

    // Bold grid titles, 2 points larger than the window's 8, on the journal
    // and payroll pages; the card list's are plain.
    void gridTitles()
    {
        QCOMPARE(m_window->font().pointSize(), 8);
        for (const char *name : { "DBGrid2", "DBGrid3", "DBGrid4" }) {
            const QFont titles = control<QTableView>(name)->horizontalHeader()->font();
            QVERIFY2(titles.bold() && titles.pointSize() == 10, name);
        }
        QVERIFY(!control<QTableView>("DBGrid1")->horizontalHeader()->font().bold());
    }

    // Debian's Tahoma is loaded where the system has none: the window and its
    // bold controls are drawn in Tahoma's own regular and bold faces.
    void tahomaFromTheWineFonts()
    {
        const bool filesThere =
                QFileInfo::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));
        if (!DesignFont::ensureTahoma() && !filesThere)
            QSKIP("no Tahoma on this machine (Debian package fonts-wine)");
        QVERIFY(DesignFont::ensureTahoma());
        QCOMPARE(QFontInfo(control<QLabel>("Label5")->font()).family(), QStringLiteral("Tahoma"));
        QVERIFY(!QFontInfo(control<QLabel>("Label5")->font()).bold());
        for (const char *name : { "Label1", "Edit1", "BitBtn1", "Edit11" }) {
            const QFontInfo info(control<QWidget>(name)->font());
            QVERIFY2(info.family() == QStringLiteral("Tahoma") && info.bold(), name);
        }
        QVERIFY(QFontDatabase::styles(QStringLiteral("Tahoma")).contains(QStringLiteral("Bold")));
    }

    // Controls at fixed places: objectName, caption or default text, place
    // (a label's width follows its text), bold or not.
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("bold");
        const auto row = [](const char *name, const QString &text, QRect place, bool bold = false) {
            QTest::newRow(name) << QString::fromLatin1(name) << text << place << bold;
        };
        const auto label = [](int x, int y) { return QRect(x, y, -1, 13); };
        const auto edit = [](int x, int y, int width) { return QRect(x, y, width, 21); };
        // Left strip
        row("Label1", "Sunucu:", label(23, 11), true);
        row("Edit1", "SUNUCU\\SQLEXPRESS", edit(73, 8, 121), true);
        row("Label2", "Kullanıcı:", label(18, 38), true);
        row("Edit2", "sa", edit(73, 35, 55));
        row("Edit3", "vyx", edit(139, 35, 55));
        row("Label3", "Parola:", label(28, 65), true);
        row("Edit4", "MASTERV8", edit(73, 62, 121), true);
        row("BitBtn1", "Bağlan", { 71, 89, 123, 48 }, true);
        row("Label4", "Firma:", label(30, 146), true);
        row("ComboBox1", "Firma Seç", edit(71, 143, 127));
        row("CheckBox5", "Önizleme", { 8, 167, 84, 17 });
        row("CheckBox6", "Yedek al", { 8, 184, 84, 17 });
        row("BitBtn9", "Denetle", { 94, 172, 52, 25 });
        row("BitBtn8", "Rapor", { 148, 172, 46, 25 });
        row("CheckBox2", "Muh Hesap Planı açılsın", { 58, 202, 97, 17 });
        row("Label5", "Başlangıç:", label(8, 227));
        row("Edit5", "1", edit(62, 224, 79));
        row("Label7", "Format:", label(17, 254));
        row("Edit6", "0000", edit(61, 251, 79));
        row("BitBtn2", "CariKart", { 58, 278, 132, 25 });
        row("CheckBox1", "Hesap Planı Sıralı açılsın", { 58, 411, 97, 17 });
        row("Edit9", "0000", edit(58, 431, 121));
        row("Edit7", "1", edit(58, 458, 57));
        row("Label6", "120", label(119, 463));
        row("Edit8", "1", edit(58, 485, 57));
        row("Label8", "320 Sıra No", label(119, 488));
        // "SQL SORGU"
        row("Memo1", CardList::defaultQuery, { 14, 12, 874, 546 });
        // "MUHHAR  1-2 AÇIKLAMA1 TRANSFER4"
        row("Button1", "Listele", { 16, 36, 75, 25 });
        // "MUHHAR EVRAKNO "
        row("Label14", "Başlangıç Tarihi", label(97, 14));
        row("Label11", "Hesap Kodu", label(297, 14));
        row("Label12", "Ön Takı", label(401, 14));
        row("Label13", "Sıra No", label(513, 14));
        row("cxDateEdit1", "", edit(97, 33, 121));
        row("Edit12", "103 01 %", edit(297, 33, 79));
        row("Edit13", "22FCB0", edit(401, 33, 79));
        row("Edit14", "1", edit(513, 33, 79));
        row("Button3", "Listele", { 16, 65, 75, 25 });
        // "BORDRO Sicil No "
        row("CheckBox4", "Çalışanlar", { 26, 18, 72, 17 });
        row("Button5", "Listele", { 24, 41, 75, 25 });
        row("CheckBox3", "Çevrim Göster", { 4, 249, 95, 17 });
        row("Memo2", "SELECT * FROM BORSICIL ", { 104, 303, 713, 155 });
        row("Label9", "İŞYERİ KODU", label(499, 19));
        row("Edit11", "MERKEZ", edit(567, 14, 80), true);
        row("Label10", "->", label(649, 18));
        row("Edit10", "MERKEZ", edit(665, 14, 80), true);
        row("Shape1", "", { 64, 112, 1, 109 });
        row("Shape2", "", { -7, 203, 72, 40 });
        // The operations' buttons
        for (const zym::test::WindowOperation &operation : zym::test::windowOperations())
            row(operation.button, operation.caption, operation.place);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, place);
        QFETCH(bool, bold);
        auto *widget = m_window->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(textOf(widget), text);
        QCOMPARE(widget->font().bold(), bold);
        QRect geometry = widget->geometry();
        if (place.width() < 0) // sized to its text
            geometry.setWidth(place.width());
        QCOMPARE(geometry, place);
    }

    // Controls anchored to edges of their parent keep their distance to them.
    void anchoredControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<Qt::Edges>("anchors");
        QTest::addColumn<QSize>("designParent");
        const Qt::Edges leftTopRight = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge;
        const QSize page(962, 478);
        QTest::newRow("PageControl1")
                << "PageControl1" << QRect(200, 0, 970, 506)
                << (Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge) << QSize(1170, 506);
        QTest::newRow("DBGrid1") << "DBGrid1" << QRect(-4, -6, 922, 457)
                                 << (leftTopRight | Qt::BottomEdge) << page;
        QTest::newRow("DBGrid2") << "DBGrid2" << QRect(97, 3, 714, 144) << leftTopRight << page;
        QTest::newRow("DBGrid3") << "DBGrid3" << QRect(97, 65, 714, 265) << leftTopRight << page;
        QTest::newRow("DBGrid4") << "DBGrid4" << QRect(105, 41, 714, 256) << leftTopRight << page;
    }

    void anchoredControls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(Qt::Edges, anchors);
        QFETCH(QSize, designParent);
        auto *tabs = control<QTabWidget>("PageControl1");
        auto *widget = m_window->findChild<QWidget *>(name);
        QVERIFY(widget);
        // Only the shown page has its size.
        tabs->setCurrentWidget(widget->parentWidget() == m_window->centralWidget()
                                       ? tabs->currentWidget()
                                       : widget->parentWidget());
        for (const QSize &client : { QSize(1170, 674), QSize(1300, 560) }) {
            m_window->resize(client);
            QTest::qWait(0);
            const QSize parent = widget->parentWidget()->size();
            QCOMPARE(widget->geometry(),
                     AnchorLayout::anchored(place, anchors, designParent, parent));
        }
    }

    void pages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1") << 0 << "TabSheet1"
                           << "         VERİ         ";
        QTest::newRow("2") << 1 << "SORGU"
                           << "SQL SORGU";
        QTest::newRow("3") << 2 << "TabSheet2"
                           << "MUHHAR  1-2 AÇIKLAMA1 TRANSFER4";
        QTest::newRow("4") << 3 << "TabSheet3"
                           << "MUHHAR EVRAKNO ";
        QTest::newRow("5") << 4 << "TabSheet4"
                           << "BORDRO Sicil No ";
    }

    void pages()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        auto *tabs = control<QTabWidget>("PageControl1");
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->widget(index)->objectName(), name);
        QCOMPARE(tabs->tabText(index), caption);
    }

    void tabOrderOfTheLeftStrip()
    {
        const QStringList expected{ "Edit1",     "Edit2",     "Edit3",   "Edit4",
                                    "BitBtn1",   "BitBtn2",   "Edit5",   "Edit6",
                                    "BitBtn3",   "BitBtn4",   "BitBtn5", "PageControl1",
                                    "CheckBox1", "Edit7",     "BitBtn6", "Edit8",
                                    "Edit9",     "CheckBox2", "BitBtn7", "ComboBox1",
                                    "CheckBox5", "CheckBox6", "BitBtn9", "BitBtn8" };
        QStringList order;
        QWidget *widget = control<QWidget>("Edit1");
        do {
            if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != control<QWidget>("Edit1"));
        QCOMPARE(order, expected);
        QCOMPARE(m_window->focusWidget(), control<QWidget>("Edit1"));
    }

    void openingHeight_data()
    {
        QTest::addColumn<int>("available");
        QTest::addColumn<int>("height");
        // BitBtn7 ends at 649; a 6-pixel margin and the 19-pixel status bar follow.
        QTest::newRow("tall screen") << 1040 << 674;
        QTest::newRow("just tall enough") << 714 << 674;
        QTest::newRow("bounded by the screen") << 600 << 560;
    }

    void openingHeight()
    {
        QFETCH(int, available);
        QFETCH(int, height);
        QCOMPARE(TForm8::openingClientHeight(available), height);
    }

    void initialServerText_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("server");
        QTest::newRow("none") << QStringList{ "ZymCariKod" }
                              << QSysInfo::machineHostName() + "\\SQLEXPRESS";
        QTest::newRow("folder") << QStringList{ "ZymCariKod", "/srv/demo" } << "/srv/demo";
        QTest::newRow("only the first counts")
                << QStringList{ "ZymCariKod", "SUNUCU\\SQL", "x" } << "SUNUCU\\SQL";
    }

    void initialServerText()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, server);
        QCOMPARE(zym::initialServerText(arguments), server);
    }

    // Each grid shows its statement, read-only and by rows; selecting a row
    // makes it the statement's current row, and a walk moves the selection.
    void gridsFollowTheirStatements_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<StatementOf>("statement");
        QTest::newRow("cards") << "DBGrid1" << &Session::cardList;
        QTest::newRow("vouchers") << "DBGrid2" << &Session::voucherList;
        QTest::newRow("journal lines") << "DBGrid3" << &Session::journalLines;
        QTest::newRow("payroll") << "DBGrid4" << &Session::registryList;
    }

    void gridsFollowTheirStatements()
    {
        QFETCH(QString, grid);
        QFETCH(StatementOf, statement);
        seedCards(QStringLiteral("FIRMA_A"), { "C1", "C2", "C3" });
        m_server->connect(m_window->session());
        Statement &list = m_window->session().*statement;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
        list.open();

        auto *view = m_window->findChild<QTableView *>(grid);
        QVERIFY(view);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(view->model()->index(2, 0).data().toString(), QStringLiteral("C3"));
        QCOMPARE(view->currentIndex().row(), 0);

        view->selectRow(2);
        QCOMPARE(list.currentRow(), 2);
        QCOMPARE(list.readText(QStringLiteral("CARKOD")), QStringLiteral("C3"));

        list.setCurrentRow(1);
        QCOMPARE(view->currentIndex().row(), 1);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(view->selectionModel()->selectedRows().constFirst().row(), 1);

        list.next();
        list.next();
        QVERIFY(list.atEnd());
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    // The journal and payroll grids show their titles whole: bold 10-point
    // titles are wider than a column's default width.
    void gridTitlesShowWhole_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<StatementOf>("statement");
        QTest::newRow("vouchers") << "DBGrid2" << &Session::voucherList;
        QTest::newRow("journal lines") << "DBGrid3" << &Session::journalLines;
        QTest::newRow("payroll") << "DBGrid4" << &Session::registryList;
    }

    void gridTitlesShowWhole()
    {
        QFETCH(QString, grid);
        QFETCH(StatementOf, statement);
        m_server->connect(m_window->session());
        Statement &list = m_window->session().*statement;
        list.setText(QStringLiteral("SELECT MUHHARREFNO, MUHHARACIKLAMA1 FROM MUHHAR"));
        list.open();
        auto *view = m_window->findChild<QTableView *>(grid);
        for (int column = 0; column < 2; ++column) {
            const int title = view->horizontalHeader()->fontMetrics().horizontalAdvance(
                    view->model()->headerData(column, Qt::Horizontal).toString());
            QVERIFY2(view->columnWidth(column) > title, qPrintable(grid));
        }
    }

    // The payroll page's shapes are drawn beneath its buttons.
    void shapesLieBeneathTheButtons()
    {
        auto *page = control<QTabWidget>("PageControl1");
        page->setCurrentWidget(control<QWidget>("TabSheet4"));
        QWidget *button = control<QWidget>("Button6");
        // Shape1 runs down through the button at x 64 of the page.
        QCOMPARE(button->parentWidget()->childAt(QPoint(64, button->y() + button->height() - 3)),
                 button);
    }

    // A held grid stays on its row while the list walks, and follows it
    // again when the hold ends.
    void heldGridFollowsOnRelease()
    {
        seedCards(QStringLiteral("FIRMA_A"), { "C1", "C2", "C3" });
        m_server->connect(m_window->session());
        Statement &list = m_window->session().voucherList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
        list.open();
        auto *view = control<QTableView>("DBGrid2");
        {
            const Statement::ControlsHold hold(list);
            list.next();
            QCOMPARE(view->currentIndex().row(), 0);
        }
        QCOMPARE(view->currentIndex().row(), 1);
        {
            const Statement::ControlsHold hold(list);
            list.next();
            list.next();
            QCOMPARE(view->selectionModel()->selectedRows().constFirst().row(), 1);
        }
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    void cardGridColumnWidths()
    {
        seedCards(QStringLiteral("FIRMA_A"), { "C1" });
        m_server->connect(m_window->session());
        Statement &cards = m_window->session().cardList;
        auto *view = control<QTableView>("DBGrid1");
        cards.setText(control<QPlainTextEdit>("Memo1")->toPlainText());
        cards.open();
        view->setColumnWidth(0, 200); // the operator widens a column; a reload sets it back
        cards.open();
        QCOMPARE(view->model()->columnCount(), 10);
        QStringList shown;
        for (int column = 0; column < 10; ++column)
            shown << QStringLiteral("%1 %2")
                             .arg(view->model()->headerData(column, Qt::Horizontal).toString())
                             .arg(view->columnWidth(column));
        const int defaultWidth = view->horizontalHeader()->defaultSectionSize();
        QCOMPARE(shown,
                 (QStringList{ "CARKOD 93", "CARUNVAN 131", "CARVERDAIRE 80", "CARVERHESNO 82",
                               "KIMLIKNO 67", QStringLiteral("CARMUHTIPI %1").arg(defaultWidth),
                               "CARMUHKODU 90", "HESALICI 61", "CAREKCHAR1 75", "HESSATICI 73" }));
    }

    void connectChooseDisconnectCycle()
    {
        seedCards(QStringLiteral("FIRMA_B"), { "B1" });
        connectToTestServer();
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlı"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlandı"));
        QCOMPARE(entriesOf(control<QComboBox>("ComboBox1")), (QStringList{ "FIRMA_A", "FIRMA_B" }));
        QCOMPARE(control<QComboBox>("ComboBox1")->currentText(), QString());
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("ZYM_MASTERV8"));

        pick(QStringLiteral("FIRMA_B"));
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("FIRMA_B"));
        QCOMPARE(firstCard(), QStringLiteral("B1"));

        click("BitBtn1");
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlan"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlı değil..."));
        QCOMPARE(control<QComboBox>("ComboBox1")->count(), 0);
        QCOMPARE(control<QComboBox>("ComboBox1")->currentText(), QString());
        QVERIFY(!m_window->session().connection.isOpen());

        // Connecting again lists the companies anew, once, and starts in the master.
        click("BitBtn1");
        QCOMPARE(entriesOf(control<QComboBox>("ComboBox1")), (QStringList{ "FIRMA_A", "FIRMA_B" }));
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("ZYM_MASTERV8"));
        QCOMPARE(m_prompter->errors, QStringList());
    }

    // A list belongs to the company it was loaded in. Once the connection
    // moves to another company, or closes, the four lists are closed and
    // their grids empty, and the operations find no list: deleting the
    // selected card and renumbering the payroll touch nothing of the other
    // company, which holds rows under the same codes.
    void listsCloseWhenTheCompanyChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("another company chosen") << "choose";
        QTest::newRow("disconnected and connected again") << "reconnect";
        QTest::newRow("disconnected") << "disconnect";
    }

    void listsCloseWhenTheCompanyChanges()
    {
        QFETCH(QString, change);
        for (const QString company : { QStringLiteral("FIRMA_A"), QStringLiteral("FIRMA_B") }) {
            m_server->db(company).insert(QStringLiteral("CARKART"),
                                         { QStringLiteral("CARKOD"), QStringLiteral("CAROZKOD3") },
                                         { { QStringLiteral("A1"), QStringLiteral("") },
                                           { QStringLiteral("A2"), QStringLiteral("") } });
            m_server->db(company).insert(
                    QStringLiteral("BORSICIL"),
                    { QStringLiteral("BORSCLKOD"), QStringLiteral("BORSCLISCIKKOD") },
                    { { QStringLiteral("P1"), 0 }, { QStringLiteral("P2"), 0 } });
        }
        connectToTestServer();
        pick(QStringLiteral("FIRMA_A"));
        click("BitBtn2");
        click("Button5");
        Session &session = m_window->session();
        for (Statement *list : { &session.voucherList, &session.journalLines }) {
            list->setText(QStringLiteral("SELECT CARKOD FROM CARKART"));
            list->open();
        }
        QCOMPARE(m_prompter->errors, QStringList());
        for (const char *grid : { "DBGrid1", "DBGrid2", "DBGrid3", "DBGrid4" })
            QVERIFY2(control<QTableView>(grid)->model()->rowCount() == 2, grid);

        if (change == QStringLiteral("choose")) {
            pick(QStringLiteral("FIRMA_B"));
        } else {
            click("BitBtn1");
            if (change == QStringLiteral("reconnect")) {
                click("BitBtn1");
                pick(QStringLiteral("FIRMA_B"));
            }
        }
        QCOMPARE(m_prompter->errors, QStringList());
        for (const Statement *list : { &session.cardList, &session.voucherList,
                                       &session.journalLines, &session.registryList })
            QVERIFY2(!list->isOpen(), qPrintable(list->objectName()));
        for (const char *grid : { "DBGrid1", "DBGrid2", "DBGrid3", "DBGrid4" })
            QCOMPARE(control<QTableView>(grid)->model()->rowCount(), 0);
        if (change == QStringLiteral("disconnect"))
            return;

        click("BitBtn4");
        QCOMPARE(m_prompter->notices, QStringList{ "Seçili kart yok." });
        click("Button6");
        QCOMPARE(m_prompter->errors, QStringList());
        for (const QString company : { QStringLiteral("FIRMA_A"), QStringLiteral("FIRMA_B") }) {
            QCOMPARE(m_server->db(company).select(
                             QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD")),
                     (QList<QVariantList>{ { QStringLiteral("A1") }, { QStringLiteral("A2") } }));
            QCOMPARE(m_server->db(company).select(
                             QStringLiteral("SELECT BORSCLKOD FROM BORSICIL ORDER BY BORSCLKOD")),
                     (QList<QVariantList>{ { QStringLiteral("P1") }, { QStringLiteral("P2") } }));
        }
    }

    void companyListKeepsTheServersOrderDuplicatesAndBlanks()
    {
        m_server->db(QStringLiteral("ZYM_MASTERV8"))
                .insert(QStringLiteral("SIRKET"), { QStringLiteral("SIRDBNAME") },
                        { { QStringLiteral("FIRMA_A") },
                          { QString() },
                          { QVariant() },
                          { QStringLiteral("ŞUBE 2") } });
        connectToTestServer();
        QCOMPARE(entriesOf(control<QComboBox>("ComboBox1")),
                 (QStringList{ "FIRMA_A", "FIRMA_B", "FIRMA_A", "", "", "ŞUBE 2" }));
    }

    void companyChosenByTyping_data()
    {
        QTest::addColumn<bool>("withEnter");
        QTest::newRow("confirmed with Enter") << true;
        QTest::newRow("confirmed by leaving the box") << false;
    }

    void companyChosenByTyping()
    {
        QFETCH(bool, withEnter);
        seedCards(QStringLiteral("FIRMA_B"), { "B1" });
        connectToTestServer();
        auto *box = control<QComboBox>("ComboBox1");
        activate(box);
        QTest::keyClicks(box->lineEdit(), QStringLiteral("FIRMA_B"));
        // Keystrokes alone switch nothing, and a half-typed name raises nothing.
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("ZYM_MASTERV8"));
        if (withEnter)
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        else
            activate(control<QWidget>("Edit1"));
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("FIRMA_B"));
        QCOMPARE(firstCard(), QStringLiteral("B1"));
    }

    void refusedConnectionChangesNothing()
    {
        control<QLineEdit>("Edit4")->setText(QStringLiteral("YOK"));
        connectToTestServer();
        QCOMPARE(m_prompter->errors,
                 QStringList{ "Database 'ZYM_YOK' does not exist. Make sure that the name is "
                              "entered correctly." });
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlan"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlı değil"));
        QCOMPARE(control<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Firma Seç"));
        QVERIFY(!m_window->session().connection.isOpen());

        // A further click tries again with the texts as they are then.
        control<QLineEdit>("Edit4")->setText(QStringLiteral("MASTERV8"));
        click("BitBtn1");
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlı"));
        QCOMPARE(m_prompter->errors.size(), 1);
    }

    void failingCompanyListLeavesTheBoxAsItWas()
    {
        m_server->db(QStringLiteral("ZYM_BOS")).exec(QStringLiteral("CREATE TABLE BASKA (A TEXT)"));
        control<QLineEdit>("Edit4")->setText(QStringLiteral("BOS"));
        connectToTestServer();
        QCOMPARE(m_prompter->errors.size(), 1);
        QVERIFY2(m_prompter->errors.constFirst().contains(QStringLiteral("SIRKET")),
                 qPrintable(m_prompter->errors.constFirst()));
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlı"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Bağlandı"));
        QCOMPARE(control<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Firma Seç"));
        QCOMPARE(control<QComboBox>("ComboBox1")->count(), 0);

        click("BitBtn1");
        QCOMPARE(textOf(control<QWidget>("BitBtn1")), QStringLiteral("Bağlan"));
        QVERIFY(!m_window->session().connection.isOpen());
    }

    void failingUseKeepsTheCurrentDatabase()
    {
        connectToTestServer();
        pick(QStringLiteral("FIRMA_A"));
        auto *box = control<QComboBox>("ComboBox1");
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("YOK"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(m_prompter->errors,
                 QStringList{ "Database 'YOK' does not exist. Make sure that the name is entered "
                              "correctly." });
        QCOMPARE(m_window->session().connection.currentDatabase(), QStringLiteral("FIRMA_A"));
    }

    void choosingWithoutConnectionAsksToConnect()
    {
        auto *box = control<QComboBox>("ComboBox1");
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("FIRMA_A"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(m_prompter->notices, QStringList{ "Önce sunucuya bağlanın." });
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(!m_window->session().connection.isOpen());
    }

private:
    // The operator types the test server's folder as the server and connects.
    void connectToTestServer()
    {
        control<QLineEdit>("Edit1")->setText(m_server->folder());
        click("BitBtn1");
    }

    // As the operator picks an entry: with the arrow keys on the box.
    void pick(const QString &company)
    {
        auto *box = control<QComboBox>("ComboBox1");
        const int index = box->findText(company);
        QVERIFY(index >= 0);
        while (box->currentIndex() != index)
            QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }

    void activate(QWidget *widget)
    {
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        widget->setFocus();
        QVERIFY(QTest::qWaitFor([widget] {
            return widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget());
        }));
    }

    void seedCards(const QString &company, const QStringList &codes)
    {
        QList<QVariantList> rows;
        for (const QString &code : codes)
            rows << QVariantList{ code, QStringLiteral("Unvan ") + code, QString() };
        m_server->db(company).insert(QStringLiteral("CARKART"),
                                     { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                                       QStringLiteral("CAROZKOD3") },
                                     rows);
    }

    // The first card code in the current database, read through a statement of the window.
    QString firstCard()
    {
        const ResultSet rows = Command(m_window->session().connection,
                                       QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"))
                                       .fetch();
        return rows.rows.isEmpty() ? QString() : rows.rows.constFirst().constFirst().toString();
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
