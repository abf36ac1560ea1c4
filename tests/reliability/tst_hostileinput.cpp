#include "../app/WindowTest.h"
#include "TableDigest.h"

#include "cards/CardList.h"
#include "db/EmbeddedFolder.h"
#include "demo/DemoData.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace zym;
using namespace zym::test;

namespace {

// Every text typed into a number edit that is no whole number.
const QStringList noNumbers{ "abc", "", "1 ", "2147483648", "-2147483649", "1e3", "0x10", "１" };

// Stands for a typed text in a run whose result it must match: rare enough
// to appear nowhere else in the rows.
const QString stand = QStringLiteral("QXZ");

// Texts the connection fields and the company box get, as the operator may
// type them; "/*" holds a path separator, so no file can carry it.
const QStringList connectionTexts{ "a'b",  "a;b",  "a]b",          "a[b",
                                   "a--b", "a/*b", "sonu boşluk ", "ŞİRKET ğüşİı" };

QString missingDatabase(const QString &name)
{
    return QStringLiteral(
                   "Database '%1' does not exist. Make sure that the name is entered correctly.")
            .arg(name);
}

} // namespace

// What a new operator may type into every field, tried from the window:
// each text is refused with a clear message and changes nothing, or is used
// literally and changes only what the operation means to change.
class TestHostileInput : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow();
        // A small company with rows for every operation.
        DemoData::writeCompany(m_server->folder(), TestServer::company, { 24, 200, 12, 6, 6 });
    }

    void cleanup() { closeWindow(); }

    // Refused before anything changes, with the message the row gives.
    void refused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("error");
        for (const WindowOperation &operation : windowOperations()) {
            for (const char *field : operation.numberFields) {
                for (const QString &typed : noNumbers) {
                    QTest::addRow("%s for %s: \"%s\"", field, operation.button, qPrintable(typed))
                            << field << typed << operation.button
                            << QStringLiteral("'%1' is not a valid integer value").arg(typed);
                }
            }
        }
        QTest::newRow("card list, wrong columns") << "Memo1"
                                                  << "SELECT CARKOD FROM CARKART"
                                                  << "BitBtn2"
                                                  << "ADOQuery1: 'CARUNVAN' alanı bulunamadı";
        QTest::newRow("card list, a second statement")
                << "Memo1" << CardList::defaultQuery + ";DELETE FROM CARKART"
                << "BitBtn2" << CardList::secondStatement;
        QTest::newRow("card list, a second statement after a comment")
                << "Memo1" << CardList::defaultQuery + "; /* ; */ UPDATE CARKART SET CARKOD='X'"
                << "BitBtn2" << CardList::secondStatement;
    }

    void refused()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, error);
        connectAndChoose();
        type(field, typed);
        listFor(button);
        const QStringList before = tableDigest(m_server->db());
        click(qPrintable(button));
        QCOMPARE(m_prompter->errors, QStringList{ error });
        QCOMPARE(m_prompter->questions, QStringList());
        QCOMPARE(m_prompter->notices, QStringList());
        QCOMPARE(tableDigest(m_server->db()), before);
        QVERIFY(!m_window->session().connection.inUnit());
    }

    // A picture that writes nothing for a number would give a card, an
    // account or an employee an empty code: the unit fails before it
    // changes anything, with a message saying so.
    void emptyCodeIsRefused_data()
    {
        QTest::addColumn<QStringList>("settings"); // control=text; a check box ticked by "=1"
        QTest::addColumn<QString>("button");
        QTest::newRow("card code, re-coding") << QStringList{ "Edit6=#", "Edit5=0" } << "BitBtn3";
        QTest::newRow("account code, re-coding")
                << QStringList{ "Edit6=#", "Edit7=0", "Edit8=0", "CheckBox2=1" } << "BitBtn3";
        QTest::newRow("card code, controlled change")
                << QStringList{ "Edit6=#", "Edit5=0" } << "BitBtn5";
        QTest::newRow("account code, missing accounts")
                << QStringList{ "Edit9=#", "Edit7=0", "Edit8=0" } << "BitBtn6";
        QTest::newRow("registry code") << QStringList{ "Edit6=#", "Edit5=0" } << "Button6";
        QTest::newRow("registry code, each change shown")
                << QStringList{ "Edit6=#", "Edit5=0", "CheckBox3=1" } << "Button6";
    }

    void emptyCodeIsRefused()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, button);
        connectAndChoose();
        for (const QString &setting : settings) {
            const QString field = setting.section(u'=', 0, 0);
            const QString value = setting.section(u'=', 1);
            if (auto *box = qobject_cast<QCheckBox *>(control<QWidget>(qPrintable(field))))
                box->setChecked(value == QStringLiteral("1"));
            else
                type(field, value);
        }
        listFor(button);
        const QStringList before = tableDigest(m_server->db());
        click(qPrintable(button));
        QCOMPARE(m_prompter->errors,
                 QStringList{ "'#' biçimi 0 sayısından boş bir kod yapıyor; kod boş olamaz." });
        QCOMPARE(m_prompter->notices, QStringList());
        QCOMPARE(tableDigest(m_server->db()), before);
    }

    // Used as typed: the run leaves what a run with `plain` leaves, where
    // the text `plain` puts in the rows (`standsFor`, if any) is the one
    // the typed text puts there. Messages and lists match the same way.
    void usedAsTyped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("standsFor");
        QTest::addColumn<QString>("literal"); // what the typed text puts in place of `standsFor`
        QTest::addColumn<bool>("changes"); // whether the run changes rows at all
        for (const WindowOperation &operation : windowOperations()) {
            const char *button = operation.button;
            for (const char *field : operation.numberFields)
                QTest::addRow("%s for %s: leading blank", field, button)
                        << field << " 1" << button << "1"
                        << ""
                        << "" << true;
            for (const char *field : operation.maskFields) {
                const auto add = [&](const char *name, const QString &typed, const QString &plain,
                                     const QString &literal = {}) {
                    QTest::addRow("%s for %s: %s", field, button, name)
                            << field << typed << button << plain
                            << (literal.isNull() ? QString() : stand) << literal << true;
                };
                add("single quotes", "'K'0000", "K0000");
                add("double quotes", "\"K\"0000", "K0000");
                add("a quote left open", "K'0000", "'K0000'");
                add("\"#\" only", "#", "0");
                add("a very long picture", QString(200, u'#'), "0");
                add("a statement in quotes", "';DROP TABLE CARKART--'0", stand + "0",
                    ";DROP TABLE CARKART--");
                add("Turkish letters", "ŞÇ-0000", stand + "-0000", "ŞÇ");
            }
        }
        // A pattern or code that matches nothing changes nothing, like one that is plain.
        const auto add = [](const char *name, const char *field, const char *button,
                            const QString &typed, const QString &plain,
                            const QString &literal = {}) {
            QTest::addRow("%s: %s", field, name)
                    << field << typed << button << plain << (literal.isNull() ? QString() : stand)
                    << literal << !plain.startsWith(QStringLiteral("YOK"));
        };
        add("a quote", "Edit12", "Button4", "'", "YOKHESAP");
        add("a statement", "Edit12", "Button4", "103' OR '1'='1", "YOKHESAP");
        add("every account", "Edit12", "Button4", "%", "_%");
        add("one character wildcard", "Edit12", "Button4", "103 01 00_", "103 01 %");
        add("a quote", "Edit13", "Button4", "'", stand, "'");
        add("a wildcard", "Edit13", "Button4", "%", stand, "%");
        add("a statement", "Edit13", "Button4", "'; DELETE FROM MUHHAR--", stand,
            "'; DELETE FROM MUHHAR--");
        add("empty", "Edit13", "Button4", "", stand, "");
        add("a wildcard", "Edit11", "Button7", "%", "YOKKOD");
        add("one character wildcard", "Edit11", "Button7", "_ERKEZ", "YOKKOD");
        add("a statement", "Edit11", "Button7", "MERKEZ' OR '1'='1", "YOKKOD");
        add("a wildcard", "Edit10", "Button7", "%", stand, "%");
        add("a statement", "Edit10", "Button7", "'; DELETE FROM BORSICIL--", stand,
            "'; DELETE FROM BORSICIL--");
        add("Turkish letters and a trailing blank", "Edit10", "Button7", "ŞUBE 2 ", stand,
            "ŞUBE 2 ");
        add("comments", "Memo1", "BitBtn3",
            "-- kartlar, saat 10:30\n" + CardList::defaultQuery + " /* :pKod */",
            CardList::defaultQuery);
        add("ended by a semicolon and a comment", "Memo1", "BitBtn3",
            CardList::defaultQuery + "; -- son", CardList::defaultQuery);
    }

    void usedAsTyped()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, plain);
        QFETCH(QString, standsFor);
        QFETCH(QString, literal);
        QFETCH(bool, changes);
        const QStringList before = tableDigest(m_server->db());
        const QStringList asTyped = runWith(field, typed, button);
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(tableDigest(m_server->db()) != before, changes);
        cleanup();
        init();
        QStringList asPlain = runWith(field, plain, button);
        if (!standsFor.isEmpty())
            asPlain.replaceInStrings(standsFor, literal);
        // The texts may sort differently; the rows are what counts.
        std::sort(asPlain.begin(), asPlain.end());
        QCOMPARE(asTyped, asPlain);
    }

    // A folder whose path holds any of these is the server, as typed.
    void serverFolder_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : connectionTexts)
            QTest::newRow(qPrintable(name)) << name;
    }

    void serverFolder()
    {
        QFETCH(QString, name);
        QTemporaryDir parent;
        const QString folder = QDir(parent.path()).filePath(name);
        QVERIFY(QDir().mkpath(folder));
        for (const QString &database :
             { QStringLiteral("ZYM_MASTERV8"), TestServer::company, TestServer::otherCompany })
            QVERIFY(copyDatabase(m_server->folder(), database, folder, database));
        control<QLineEdit>("Edit1")->setText(folder);
        connectAndChoose();
        click("BitBtn2");
        QCOMPARE(m_prompter->errors, QStringList());
        QVERIFY(m_window->session().cardList.rowCount() > 0);
    }

    // The master's suffix names its file as typed; one that no file can
    // carry is a database the server does not have.
    void masterSuffix_data()
    {
        QTest::addColumn<QString>("suffix");
        for (const QString &suffix : connectionTexts)
            QTest::newRow(qPrintable(suffix)) << suffix;
    }

    void masterSuffix()
    {
        QFETCH(QString, suffix);
        const QString master = masterDatabaseName(suffix);
        const bool possible = !suffix.contains(u'/');
        if (possible)
            QVERIFY(copyDatabase(m_server->folder(), QStringLiteral("ZYM_MASTERV8"),
                                 m_server->folder(), master));
        control<QLineEdit>("Edit4")->setText(suffix);
        click("BitBtn1");
        if (!possible) {
            QCOMPARE(m_prompter->errors, QStringList{ missingDatabase(master) });
            QVERIFY(!m_window->session().connection.isOpen());
            return;
        }
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().connection.currentDatabase(), master);
        QCOMPARE(control<QComboBox>("ComboBox1")->count(), 2);
        choose();
    }

    // The login and password reach only SQL Server; the embedded backend
    // connects whatever they hold.
    void loginAndPassword_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        for (const char *field : { "Edit2", "Edit3" }) {
            for (const QString &typed : connectionTexts)
                QTest::addRow("%s: %s", field, qPrintable(typed)) << field << typed;
        }
    }

    void loginAndPassword()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        control<QLineEdit>(qPrintable(field))->setText(typed);
        connectAndChoose();
        QCOMPARE(m_prompter->errors, QStringList());
    }

    // A company typed into the box is the database of that name, as typed;
    // one the server does not have leaves the current database as it was.
    void typedCompany_data()
    {
        QTest::addColumn<QString>("company");
        for (const QString &company : connectionTexts)
            QTest::newRow(qPrintable(company)) << company;
    }

    void typedCompany()
    {
        QFETCH(QString, company);
        const bool possible = !company.contains(u'/');
        if (possible)
            QVERIFY(copyDatabase(m_server->folder(), TestServer::company, m_server->folder(),
                                 company));
        connectAndChoose();
        click("BitBtn2");
        const int listed = m_window->session().cardList.rowCount();
        auto *box = control<QComboBox>("ComboBox1");
        box->lineEdit()->selectAll();
        typeKeys(box->lineEdit(), company);
        QCOMPARE(box->currentText(), company);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        if (!possible) {
            QCOMPARE(m_prompter->errors, QStringList{ missingDatabase(company) });
            QCOMPARE(m_window->session().connection.currentDatabase(), TestServer::company);
            return;
        }
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().connection.currentDatabase(), company);
        click("BitBtn2");
        QCOMPARE(m_prompter->errors, QStringList());
        QCOMPARE(m_window->session().cardList.rowCount(), listed);
    }

private:
    // Key by key, Turkish letters too, as a keyboard sends them.
    static void typeKeys(QWidget *widget, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    void type(const QString &field, const QString &text)
    {
        QWidget *widget = control<QWidget>(qPrintable(field));
        if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
            memo->setPlainText(text);
        else
            qobject_cast<QLineEdit *>(widget)->setText(text);
    }

    // Every row of the company, what the lists show, and what the window
    // said, after a run with `text` typed into `field`.
    QStringList runWith(const QString &field, const QString &text, const QString &button)
    {
        connectAndChoose();
        type(field, text);
        listFor(button);
        click(qPrintable(button));
        QStringList seen = tableDigest(m_server->db());
        Session &session = m_window->session();
        for (const Statement *list : { &session.cardList, &session.voucherList,
                                       &session.journalLines, &session.registryList }) {
            for (const QVariantList &row : list->result().rows) {
                QStringList values;
                for (const QVariant &value : row)
                    values << value.toString();
                seen << list->objectName() + u'|' + values.join(u'|');
            }
        }
        for (const QString &error : m_prompter->errors)
            seen << QStringLiteral("error: ") + error;
        for (const QString &notice : m_prompter->notices)
            seen << QStringLiteral("notice: ") + notice;
        for (const QString &question : m_prompter->questions)
            seen << QStringLiteral("question: ") + question;
        std::sort(seen.begin(), seen.end());
        return seen;
    }

    // A database's file as another name, with what its write-ahead log
    // still holds.
    static bool copyDatabase(const QString &fromFolder, const QString &from,
                             const QString &toFolder, const QString &to)
    {
        const QString source = EmbeddedFolder::databaseFile(fromFolder, from);
        const QString target = EmbeddedFolder::databaseFile(toFolder, to);
        const QString log = QStringLiteral("-wal");
        return QFile::copy(source, target)
                && (!QFile::exists(source + log) || QFile::copy(source + log, target + log));
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
